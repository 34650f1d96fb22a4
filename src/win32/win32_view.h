// roamwise::View over the two real windows. Geometry crosses in twips and
// is converted with the system's DPI. Every method is a harmless no-op once
// its window is gone (the main window may close during a wait).
#pragma once

#include <windows.h>

#include "main_window.h"
#include "view.h"
#include "viewer_window.h"

namespace roamwise {
class frmRoamwise;

namespace win32 {

class Win32View : public View {
public:
    explicit Win32View(HINSTANCE instance);

    // The form whose handlers the windows' events call.
    void Attach(frmRoamwise& form);
    // The main window, hidden. False when it cannot be created.
    bool CreateMainWindow();
    void ShowMainWindow();
    void DestroyWindows();

    MainWindow& Main() { return main_; }
    ViewerWindow& Viewer() { return viewer_; }
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }

    Answer ShowMessage(const std::wstring& text, const std::wstring& title,
                       Buttons buttons) override;
    void Beep() override;

    void ListClear() override;
    void ListAdd(const std::wstring& item) override;
    std::wstring ListText() override;
    void SetListTooltip(const std::wstring& text) override;

    std::wstring NameText() override;
    void SetNameTooltip(const std::wstring& text) override;

    void SetStatus(const std::wstring& text) override;
    void SetBusyPointer(bool busy) override;

    Rect WindowRect(WindowId window) override;
    void MoveWindow(WindowId window, long left, long top) override;
    std::vector<Rect> WorkAreas() override;

    void CreateViewer() override;
    void DestroyViewer() override;
    void ShowViewer() override;
    void SetViewerText(const std::wstring& text) override;
    Size ViewerClientSize() override;
    void SizeViewerText(Size size) override;

private:
    HWND WindowOf(WindowId window) const;
    Rect ToTwips(const RECT& rc) const;

    HINSTANCE instance_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    MainWindow main_;
    ViewerWindow viewer_;
};

}  // namespace win32
}  // namespace roamwise
