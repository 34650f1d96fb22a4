// The error report every trapped procedure shares: a modal OK-only box,
// "Error: " + number + ". " + description, titled with the procedure's name.
// After the box the procedure ends and its caller goes on.
#pragma once

#include <functional>
#include <string>

#include "platform.h"
#include "view.h"

namespace roamwise {

// Inside a catch block: the failure being handled, as the report numbers it.
Failure CurrentFailure();
// "Error: " + number + ". " + description.
std::wstring ReportText(const Failure& failure);

class ErrorReport {
public:
    explicit ErrorReport(MainView& view) : view_(view) {}

    // Once the windows are closing, an operation still waiting for its tool
    // finishes its file work without showing anything.
    void Silence() { silenced_ = true; }

    // Runs body; a failure inside it is reported under title and swallowed,
    // after beforeReport (whose caller must hear of it before the box).
    // Gives false when body failed.
    template <typename Body>
    bool Trap(const wchar_t* title, Body&& body, const std::function<void()>& beforeReport = nullptr) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (...) {
            const Failure failure = CurrentFailure();
            if (beforeReport) beforeReport();
            Show(title, failure);
        }
        return false;
    }

private:
    void Show(const wchar_t* title, const Failure& failure);

    MainView& view_;
    bool silenced_ = false;
};

}  // namespace roamwise
