// Roamwise.exe: creates the main window hidden, lets the core start up, and
// shows the window unless the start was refused.
#include <windows.h>

#include "main_controller.h"
#include "main_window.h"
#include "message_pump.h"
#include "system_library.h"
#include "viewer_window.h"
#include "win32_platform.h"

using namespace roamwise;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win32::KeepCurrentFolderOutOfDllSearch();
    win32::InitCommonControlClasses();

    win32::Win32Platform platform;
    win32::MainWindow mainWindow(instance);
    win32::ViewerWindow viewer(instance, mainWindow);
    MainController controller(platform, mainWindow, viewer);
    mainWindow.Attach(controller);
    viewer.Attach(controller.Viewer());
    if (!mainWindow.Create()) return 1;

    // A second copy started from this folder brings this window forward.
    platform.SetMainWindow(mainWindow.Handle());
    const LRESULT started = win32::WindowBase::Guard(mainWindow.Handle(), [&] {
        controller.StartUp();
        return TRUE;
    });
    if (!started || controller.Refused()) {
        // No window was ever shown.
        viewer.Destroy();
        mainWindow.Destroy();
        return 0;
    }
    mainWindow.Show();
    return win32::RunMessageLoop();
}
