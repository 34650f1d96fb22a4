// The program's one message loop, shared by the main loop and by the waits
// for started tools, so that dialog-style keyboard navigation works the same
// in both.
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

// Waits until one of the objects is signalled (its index in signalled)
// while dispatching the program's messages. A quit that arrives meanwhile is
// posted again afterwards, for the main loop. Gives ERROR_SUCCESS or the
// error that ended the wait.
DWORD WaitPumping(const HANDLE* objects, DWORD count, DWORD& signalled);

}  // namespace win32
}  // namespace roamwise
