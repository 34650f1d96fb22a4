#include "viewer_window.h"

#include "control_ids.h"
#include "viewer_controller.h"

namespace roamwise {
namespace win32 {

namespace {

constexpr DWORD kViewerStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kViewerExStyle = WS_EX_TOOLWINDOW;
constexpr long kViewerClientWidth = 4215;
constexpr long kViewerClientHeight = 2760;
constexpr long kTextWidth = 3975;
constexpr long kTextHeight = 2535;
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                             ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_LEFT | ES_NOHIDESEL;

}  // namespace

const ViewerKind kCurrentSettings = {ROAMWISE_VIEWER_CLASS, L"Current Settings", L"Current settings"};
const ViewerKind kComparison = {ROAMWISE_COMPARISON_CLASS, L"Compared with Current Settings",
                                L"A profile compared with the current settings"};

ViewerWindow::~ViewerWindow() { Destroy(); }  // while the font still exists

void ViewerWindow::Create() {
    if (hwnd_) return;
    if (!font_) font_ = MakeFont(L"Franklin Gothic Medium", 825, FW_NORMAL, dpi_.y);
    if (!CreateFramed(kind_.className, kind_.title, kViewerStyle, kViewerExStyle, kViewerClientWidth,
                      kViewerClientHeight, owner_.Handle()))
        return;
    // No minimize or maximize: the system menu offers neither.
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
        for (UINT command : {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

bool ViewerWindow::CreateTextBox() {
    // Just before the text box, a hidden label names it for screen readers.
    CreateWindowExW(0, L"STATIC", kind_.textName, WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, hwnd_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kSettingsTextLabel)), instance_, nullptr);
    text_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", kTextStyle, 0, 0, TwipsToPixels(kTextWidth, dpi_.x),
                            TwipsToPixels(kTextHeight, dpi_.y), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kSettingsText)), instance_, nullptr);
    if (!text_) return false;
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);  // no limit: a capture may be megabytes
    SetWindowLongPtrW(text_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    textProcedure_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(text_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextProcedure)));
    KeepScrollBars();
    return true;
}

// Escape and Ctrl+A (its character, 1) go to the core; the rest to the text box.
LRESULT CALLBACK ViewerWindow::TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ViewerWindow*>(GetWindowLongPtrW(text, GWLP_USERDATA));
    const WNDPROC original = self->textProcedure_;
    return Guard(self->hwnd_, [&]() -> LRESULT {
        const bool escape = message == WM_KEYDOWN && wParam == VK_ESCAPE, all = message == WM_CHAR && wParam == 1;
        // Escape destroys this very box: nothing of it is touched afterwards.
        if ((escape || all) && self->controller_ && self->controller_->InputGiven(escape ? Input::Escape : Input::SelectAll))
            return 0;
        if (message == WM_NCDESTROY) SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return CallWindowProcW(original, text, message, wParam, lParam);
    });
}

void ViewerWindow::SelectAllText() {
    if (text_) SendMessageW(text_, EM_SETSEL, 0, -1);
}

// In front of the main window, and active.
void ViewerWindow::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    KeepScrollBars();
}

void ViewerWindow::SetText(const std::wstring& text) {
    if (!text_) return;
    SetWindowTextW(text_, text.c_str());
    KeepScrollBars();
}

Size ViewerWindow::ClientSize() {
    RECT client;
    if (!hwnd_ || !GetClientRect(hwnd_, &client)) return Size{};
    return {PixelsToTwips(client.right - client.left, dpi_.x), PixelsToTwips(client.bottom - client.top, dpi_.y)};
}

void ViewerWindow::SizeText(Size size) {
    if (!text_) return;
    const int width = TwipsToPixels(size.width, dpi_.x);
    const int height = TwipsToPixels(size.height, dpi_.y);
    SetWindowPos(text_, nullptr, 0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepScrollBars();
}

// Both scroll bars stay on screen even when there is nothing to scroll.
void ViewerWindow::KeepScrollBars() {
    if (!text_) return;
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (!GetScrollInfo(text_, bar, &info)) {
            info.nMin = info.nMax = info.nPos = 0;
            info.nPage = 1;
        }
        info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        SetScrollInfo(text_, bar, &info, TRUE);
    }
}

LRESULT ViewerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = hwnd_;
    switch (message) {
    case WM_CREATE: return CreateTextBox() ? 0 : -1;
    case WM_SIZE:
        if (controller_) controller_->Resized();
        return 0;
    case WM_SETFOCUS:
        if (text_) SetFocus(text_);
        return 0;
    case WM_CLOSE:
        // The core stores the position and then has the window destroyed.
        if (controller_ && controller_->Loaded()) controller_->Close();
        Destroy();
        return 0;
    case WM_NCDESTROY: text_ = nullptr, textProcedure_ = nullptr; break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace win32
}  // namespace roamwise
