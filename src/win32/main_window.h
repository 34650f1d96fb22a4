// The main window (frmRoamwise on screen): creates its controls from the
// layout table and turns their notifications into calls on the core.
#pragma once

#include <windows.h>

#include <string>

namespace roamwise {
class frmRoamwise;

namespace win32 {

class MainWindow {
public:
    MainWindow() = default;
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Events go to form once it is set.
    void SetForm(frmRoamwise* form) { form_ = form; }

    // Creates the window hidden, with all its controls. False on failure.
    bool Create(HINSTANCE instance, int dpiX, int dpiY);
    void Show();
    void Destroy();

    // Null once the window is gone.
    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const;

    // List1.
    void ListClear();
    void ListAdd(const std::wstring& item);
    std::wstring ListText() const;
    // Text1.
    std::wstring NameText() const;
    // Tooltips of List1 and Text1.
    void SetTooltip(int id, const std::wstring& text);
    // Panel 1 of the status bar.
    void SetStatus(const std::wstring& text);
    // Hourglass over the window and its controls while busy.
    void SetBusy(bool busy);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK NameBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void RelayToTooltip(HWND control, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnNameBoxMessage(HWND box, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    void CreateTooltips(HINSTANCE instance);
    void OnCommand(int id, int code, HWND control);
    void ClickButton(int id);
    void UpdateClock();
    void ResumeListRedraw();
    bool CursorOverWindow() const;

    frmRoamwise* form_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND controls_[16] = {};  // by id - kList1
    HWND tooltip_ = nullptr;
    HWND focus_ = nullptr;    // restored when the window is activated again
    HFONT windowFont_ = nullptr;
    HFONT sansSerifFont_ = nullptr;
    HFONT aboutFont_ = nullptr;
    HICON magnifier_ = nullptr;
    WNDPROC nameBoxProc_ = nullptr;
    WNDPROC listProc_ = nullptr;
    std::wstring clock_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    bool busy_ = false;
    bool listRedrawOff_ = false;
};

}  // namespace win32
}  // namespace roamwise
