#include "viewer_window.h"

#include "control_ids.h"
#include "frm_roamwise.h"
#include "main_layout.h"
#include "resource.h"
#include "window_class.h"

namespace roamwise {
namespace win32 {

namespace {

constexpr DWORD kViewerStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kViewerExStyle = WS_EX_TOOLWINDOW;
constexpr long kViewerClientWidth = 4215;
constexpr long kViewerClientHeight = 2760;
constexpr TwipsRect kText2Rect = {0, 0, 3975, 2535};
constexpr DWORD kText2Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                              ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                              ES_LEFT | ES_NOHIDESEL;

}  // namespace

ViewerWindow::~ViewerWindow() {
    Destroy();
    if (font_) DeleteObject(font_);
}

bool ViewerWindow::Create(HINSTANCE instance, HWND owner, int dpiX, int dpiY) {
    if (hwnd_) return true;
    instance_ = instance;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    if (!RegisterAppWindowClass(instance, &WindowProc, ROAMWISE_VIEWER_CLASS)) return false;
    if (!font_) {
        font_ = MakeFont(L"Franklin Gothic Medium", 825, FW_NORMAL, dpiY_);
    }
    RECT frame = {0, 0, TwipsToPixels(kViewerClientWidth, dpiX_),
                  TwipsToPixels(kViewerClientHeight, dpiY_)};
    AdjustWindowRectEx(&frame, kViewerStyle, FALSE, kViewerExStyle);
    HWND hwnd = CreateWindowExW(kViewerExStyle, ROAMWISE_VIEWER_CLASS, L"Current Settings",
                                kViewerStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, owner,
                                nullptr, instance, this);
    if (!hwnd) return false;
    // No minimize or maximize: the system menu offers neither.
    if (HMENU menu = GetSystemMenu(hwnd, FALSE)) {
        DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
        DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
        DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
    }
    return true;
}

void ViewerWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void ViewerWindow::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    KeepScrollBars();
}

void ViewerWindow::SetText(const std::wstring& text) {
    if (!text_) return;
    SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);  // no limit: a capture may be megabytes
    SetWindowTextW(text_, text.c_str());
    KeepScrollBars();
}

SIZE ViewerWindow::ClientSize() const {
    SIZE size = {0, 0};
    RECT rc;
    if (hwnd_ && GetClientRect(hwnd_, &rc)) {
        size.cx = rc.right - rc.left;
        size.cy = rc.bottom - rc.top;
    }
    return size;
}

void ViewerWindow::SizeText(int width, int height) {
    if (!text_) return;
    SetWindowPos(text_, nullptr, 0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepScrollBars();
}

// Both scroll bars stay on screen even when there is nothing to scroll.
void ViewerWindow::KeepScrollBars() {
    if (!text_) return;
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (!GetScrollInfo(text_, bar, &si)) {
            si.nMin = 0;
            si.nMax = 0;
            si.nPage = 1;
            si.nPos = 0;
        }
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        SetScrollInfo(text_, bar, &si, TRUE);
    }
}

LRESULT CALLBACK ViewerWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<ViewerWindow*>(create->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* self = reinterpret_cast<ViewerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT ViewerWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (msg) {
    case WM_CREATE: {
        text_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", kText2Style,
                                TwipsToPixels(kText2Rect.left, dpiX_),
                                TwipsToPixels(kText2Rect.top, dpiY_),
                                TwipsToPixels(kText2Rect.width, dpiX_),
                                TwipsToPixels(kText2Rect.height, dpiY_), hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kText2)),
                                instance_, nullptr);
        if (!text_) return -1;
        SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);
        KeepScrollBars();
        return 0;
    }
    case WM_SIZE:
        if (form_) form_->Viewer().Form_Resize();
        return 0;
    case WM_SETFOCUS:
        if (text_) SetFocus(text_);
        return 0;
    case WM_CLOSE:
        // The core stores the position and then has the window destroyed.
        if (form_ && form_->Viewer().Loaded()) form_->Viewer().Unload();
        if (hwnd_) Destroy();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        text_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace win32
}  // namespace roamwise
