// Roamwise.exe: creates the main window hidden, lets the core start up, and
// shows the window unless the start was refused.
#include <windows.h>
#include <commctrl.h>

#include "frm_roamwise.h"
#include "message_pump.h"
#include "win32_platform.h"
#include "win32_view.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    if (!InitCommonControlsEx(&icc)) {
        icc.dwICC = ICC_BAR_CLASSES;  // older comctl32 knows no standard classes
        InitCommonControlsEx(&icc);
    }

    roamwise::win32::Win32Platform platform;
    roamwise::win32::Win32View view(instance);
    roamwise::frmRoamwise form(platform, view);
    view.Attach(form);
    if (!view.CreateMainWindow()) return 1;

    form.Form_Load();
    if (form.Refused()) {
        // The core has shown its refusal; no window was ever shown.
        view.DestroyWindows();
        return 0;
    }
    view.ShowMainWindow();
    return roamwise::win32::RunMessageLoop();
}
