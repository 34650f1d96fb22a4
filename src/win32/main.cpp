// Roamwise.exe: the version gate first, then either a load from the command
// line without any window, or the main window: created hidden, started up by
// the core, and shown unless the start was refused.
#include <windows.h>

#include "launch.h"
#include "main_controller.h"
#include "main_window.h"
#include "message_pump.h"
#include "system_library.h"
#include "viewer_window.h"
#include "win32_platform.h"

using namespace roamwise;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    const StartRequest request = ReadCommandLine(arguments ? arguments : L"");
    // Before any window class or common control: on Windows 98 and Me most W
    // functions fail, and only the version and a box must work to refuse.
    win32::Win32Platform platform;
    win32::MainWindow mainWindow(instance);  // no window yet: its boxes stand alone
    if (const auto end = EndsBeforeWindows(platform, mainWindow, request)) return *end;

    win32::KeepCurrentFolderOutOfDllSearch();
    win32::ViewerWindow viewer(instance, mainWindow), comparison(instance, mainWindow, win32::kComparison);
    MainController controller(platform, mainWindow, viewer, comparison);
    using Action = StartRequest::Action;
    if (request.action == Action::Keep) return controller.KeepFromCommandLine(request.quiet);
    if (request.action != Action::OpenWindow)
        return controller.FromCommandLine({request.action == Action::Undo, request.profile, request.trySeconds}, request.quiet);

    win32::InitCommonControlClasses();
    mainWindow.Attach(controller);
    viewer.Attach(controller.Viewer());
    comparison.Attach(controller.Comparison());
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
        comparison.Destroy();
        mainWindow.Destroy();
        return 0;
    }
    mainWindow.Show();
    return win32::RunMessageLoop();
}
