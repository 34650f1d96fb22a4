// The program's one message loop, shared by the main loop and by the waits
// for started tools, so that dialog-style keyboard navigation works the same
// in both.
#pragma once

#include <windows.h>

namespace roamwise {
namespace win32 {

// Top-level windows whose keyboard navigation (Tab, Shift+Tab, Enter on a
// button) goes through IsDialogMessageW.
void RegisterDialogWindow(HWND window);
void UnregisterDialogWindow(HWND window);

// Gives one retrieved message to the dialog navigation of its registered
// top-level window, or else translates and dispatches it.
void DispatchOne(MSG& msg);

// GetMessageW loop until WM_QUIT; gives its exit code.
int RunMessageLoop();

// Dispatches every message that is waiting now. Returns true, with the exit
// code in *quitCode (when not null), if WM_QUIT was among them; the quit
// message is consumed, so a caller that keeps it must post it again.
bool PumpPending(int* quitCode);

}  // namespace win32
}  // namespace roamwise
