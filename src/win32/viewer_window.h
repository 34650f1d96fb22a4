// A read-only text window: a sizable tool window owned by the main window,
// holding one text box; it passes its events to its ViewerController. The
// current-settings viewer is one, the comparison of a profile with the
// settings in force another.
#pragma once

#include <windows.h>

#include <string>

#include "handles.h"
#include "view.h"
#include "window_base.h"

namespace roamwise {
class ViewerController;

namespace win32 {

// What tells one such window from another.
struct ViewerKind {
    const wchar_t* className;
    const wchar_t* title;
    const wchar_t* textName;  // what a screen reader calls the text
};
extern const ViewerKind kCurrentSettings;
extern const ViewerKind kComparison;

class ViewerWindow : public Window<ViewerView> {
public:
    // owner: the window the viewer stays in front of.
    ViewerWindow(HINSTANCE instance, const WindowBase& owner, const ViewerKind& kind = kCurrentSettings)
        : Window(instance), owner_(owner), kind_(kind) {}
    ~ViewerWindow() override;

    void Attach(ViewerController& controller) { controller_ = &controller; }

    void Create() override;
    void Destroy() override { WindowBase::Destroy(); }
    void Show() override;
    void SetText(const std::wstring& text) override;
    void SelectAllText() override;
    Size ClientSize() override;
    void SizeText(Size size) override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CreateTextBox();
    static LRESULT CALLBACK TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam);
    void KeepScrollBars();

    const WindowBase& owner_;
    const ViewerKind& kind_;
    ViewerController* controller_ = nullptr;
    HWND text_ = nullptr;
    WNDPROC textProcedure_ = nullptr;
    Font font_;
};

}  // namespace win32
}  // namespace roamwise
