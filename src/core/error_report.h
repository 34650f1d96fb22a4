// The error report every trapped procedure shares: a modal OK-only box,
// "Error: " + number + ". " + description, titled with the procedure's name.
// After the box the procedure ends and its caller goes on.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "platform.h"
#include "view.h"

namespace roamwise {

// Thrown after a failure has been reported already, to end the operation
// around it without a second box.
struct AlreadyReported {};

class ErrorReport {
public:
    explicit ErrorReport(MainView& view) : view_(view) {}

    // Once the windows are closing, an operation still waiting for its tool
    // finishes its file work without showing anything.
    void Silence() { silenced_ = true; }

    // Runs body; a failure inside it is reported under title and swallowed.
    // Gives false when body failed.
    template <typename Body>
    bool Trap(const wchar_t* title, Body&& body) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (const Failure& failure) {
            Show(title, failure);
        } catch (const AlreadyReported&) {
        } catch (const std::exception& e) {
            Show(title, FromException(e));
        }
        return false;
    }

private:
    void Show(const wchar_t* title, const Failure& failure);
    static Failure FromException(const std::exception& e);

    MainView& view_;
    bool silenced_ = false;
};

}  // namespace roamwise
