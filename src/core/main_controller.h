// The main window's behaviour: start-up and closing, the profile list, and
// every command the window takes. The Win32 main window calls it for its
// events; it speaks to the machine and the windows only through Platform,
// MainView and ViewerView.
#pragma once

#include <string>

#include "error_report.h"
#include "platform.h"
#include "profile_store.h"
#include "tool_runner.h"
#include "view.h"
#include "viewer_controller.h"
#include "window_position.h"

namespace roamwise {

class MainController {
public:
    MainController(Platform& platform, MainView& view, ViewerView& viewerView);

    // Start-up, before the window is shown. Afterwards Refused() tells
    // whether the program must end at once instead (refused Windows, or
    // another copy already runs from this folder).
    void StartUp();
    bool Refused() const { return refused_; }
    // The user closed the main window: positions are stored, the viewer goes.
    void Close();
    bool Closed() const { return closed_; }
    // Windows ends the session: both positions are stored, nothing is shown.
    void EndSession();

    // Commands.
    void SaveProfile();
    void LoadProfile();
    void DeleteProfile();
    void ShowCurrentSettings();
    void ShowAbout();
    void ProfileSelected();
    // A character typed into the name box; Enter saves.
    void NameKeyPressed(int character);
    void NameKeyReleased();

    ViewerController& Viewer() { return viewer_; }

private:
    class ToolScope;
    bool BeepIfBusy();
    void RefillProfileList();
    void ShowActiveAddress();
    void Capture();
    void SaveTyped(const std::wstring& typed);
    std::wstring ReplaceWithDump(const std::wstring& profile);
    void LoadSelected(const std::wstring& entry);
    void DeleteSelected(const std::wstring& name);
    void ReportToolFailure(const std::wstring& message);
    void EndFailedTool();

    Platform& platform_;
    MainView& view_;
    ErrorReport report_;
    std::wstring programFolder_;  // asked of the system once, shared by the runner and the store
    ToolRunner runner_;
    ProfileStore store_;
    WindowPosition position_;
    ViewerController viewer_;
    bool positionRestored_ = false;
    bool refused_ = false;
    bool closed_ = false;
    bool toolRunning_ = false;
};

// The texts the program shows under its own name.
extern const wchar_t kAppTitle[];

}  // namespace roamwise
