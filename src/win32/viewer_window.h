// The current-settings viewer on screen: a sizable tool window owned by the
// main window, holding the read-only text box Text2.
#pragma once

#include <windows.h>

#include <string>

namespace roamwise {
class frmRoamwise;

namespace win32 {

class ViewerWindow {
public:
    ViewerWindow() = default;
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    void SetForm(frmRoamwise* form) { form_ = form; }

    // Creates the window hidden; does nothing when it exists.
    bool Create(HINSTANCE instance, HWND owner, int dpiX, int dpiY);
    void Destroy();
    void Show();

    // Null while the window does not exist.
    HWND Handle() const { return hwnd_; }
    HWND Text() const { return text_; }

    void SetText(const std::wstring& text);
    // Client size in pixels.
    SIZE ClientSize() const;
    // Sets Text2's size in pixels, keeping its left and top.
    void SizeText(int width, int height);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void KeepScrollBars();

    frmRoamwise* form_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND text_ = nullptr;
    HFONT font_ = nullptr;
    int dpiX_ = 96;
    int dpiY_ = 96;
};

}  // namespace win32
}  // namespace roamwise
