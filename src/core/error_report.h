// The error report every trapped procedure shares: a modal OK-only box,
// "Error: " + number + ". " + description, titled with the procedure's name.
// After the box the procedure ends and its caller goes on.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform.h"
#include "view.h"

namespace roamwise {

// Thrown after a failure has been reported already, to end the operation
// around it without a second box.
struct AlreadyReported {};

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
    // Runs before each failure is reported, shown or not.
    void BeforeEachReport(std::function<void()> hook) { beforeReport_ = std::move(hook); }

    // Runs body; a failure inside it is reported under title and swallowed.
    // Gives false when body failed.
    template <typename Body>
    bool Trap(const wchar_t* title, Body&& body) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (const AlreadyReported&) {
        } catch (...) {
            Show(title, CurrentFailure());
        }
        return false;
    }

private:
    void Show(const wchar_t* title, const Failure& failure);

    MainView& view_;
    std::function<void()> beforeReport_;
    bool silenced_ = false;
};

}  // namespace roamwise
