// The error report every trapped procedure shares: a modal OK-only box,
// "Error: " + number + ". " + description, titled with the procedure's name.
// After the box the procedure ends and its caller goes on.
#pragma once

#include <string>
#include <utility>

#include "failure.h"
#include "view.h"

namespace roamwise {

class ErrorReport {
public:
    explicit ErrorReport(View& view) : view_(view) {}

    static std::wstring Text(const Failure& failure);
    void Show(const std::wstring& title, const Failure& failure);

    // Once the main window has closed, an operation that was still waiting
    // finishes its file work without showing anything.
    void Silence() { silenced_ = true; }
    bool Silenced() const { return silenced_; }

    // Runs body; a failure inside it is reported under title and swallowed.
    // Returns false when a failure was reported.
    template <typename Body>
    bool Trap(const std::wstring& title, Body&& body) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (const Failure& failure) {
            Show(title, failure);
        } catch (const std::exception& e) {
            Show(title, FromException(e));
        }
        return false;
    }

private:
    static Failure FromException(const std::exception& e);
    View& view_;
    bool silenced_ = false;
};

}  // namespace roamwise
