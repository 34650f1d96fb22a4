// The program's one message loop, shared by the main loop and by the waits
// for started tools, so that dialog-style keyboard navigation works the same
// in both. It also knows where the thread is: at the top of the main loop,
// or inside some other loop (a box, a menu, a move, a wait) below it.
#pragma once

#include <windows.h>

namespace roamwise {
namespace win32 {

// Top-level windows whose keyboard navigation (Tab, Shift+Tab, Enter on a
// button) goes through IsDialogMessageW, after their keyboard accelerators.
void RegisterDialogWindow(HWND window, HACCEL accelerators);
void UnregisterDialogWindow(HWND window);

// GetMessageW loop until WM_QUIT; gives its exit code.
int RunMessageLoop();

// Whether the message being handled now came straight from the main loop:
// taken from the queue by it, or sent by another thread while it waited,
// with no other loop having taken or received anything since.
bool AtTopOfMessageLoop();

// Marks, for its lifetime, the handling of one message by a window
// procedure of the program's; every window procedure holds one.
class MessageHandling {
public:
    MessageHandling();
    ~MessageHandling();
    MessageHandling(const MessageHandling&) = delete;
    MessageHandling& operator=(const MessageHandling&) = delete;

private:
    bool fromMainWait_;
};

// Waits until one of the objects is signalled (its index in signalled) or
// timeoutMs has passed (WAIT_TIMEOUT) while dispatching the program's
// messages. A quit that arrives meanwhile is posted again afterwards, for
// the main loop. Gives ERROR_SUCCESS, WAIT_TIMEOUT or the error that ended
// the wait.
DWORD WaitPumping(const HANDLE* objects, DWORD count, DWORD& signalled, DWORD timeoutMs = INFINITE);

}  // namespace win32
}  // namespace roamwise
