#include "main_window.h"

#include <commctrl.h>

#include <vector>

#include "control_ids.h"
#include "frm_roamwise.h"
#include "main_layout.h"
#include "message_pump.h"
#include "resource.h"
#include "window_class.h"

namespace roamwise {
namespace win32 {

namespace {

using namespace roamwise::ids;

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kMainExStyle = 0;
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockPeriodMs = 1000;
// Posted by ListClear: the list draws again once the refill is done.
constexpr UINT kResumeListRedraw = WM_APP + 1;

bool IsPushButton(int id) {
    return id == kCmdLoad || id == kCmdDelete || id == kCmdSave || id == kCmdSettings ||
           id == kCommand1;
}

std::wstring WindowText(HWND hwnd) {
    if (!hwnd) return std::wstring();
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

// The shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState() {
    int state = 0;
    if (GetKeyState(VK_SHIFT) < 0) state |= 1;
    if (GetKeyState(VK_CONTROL) < 0) state |= 2;
    if (GetKeyState(VK_MENU) < 0) state |= 4;
    return state;
}

}  // namespace

MainWindow::~MainWindow() {
    Destroy();
    if (windowFont_) DeleteObject(windowFont_);
    if (sansSerifFont_) DeleteObject(sansSerifFont_);
    if (aboutFont_) DeleteObject(aboutFont_);
    if (magnifier_) DestroyIcon(magnifier_);
}

bool MainWindow::Create(HINSTANCE instance, int dpiX, int dpiY) {
    if (hwnd_) return true;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    if (!RegisterAppWindowClass(instance, &WindowProc, ROAMWISE_MAIN_CLASS)) return false;

    RECT frame = {0, 0, TwipsToPixels(kMainClientWidth, dpiX_),
                  TwipsToPixels(kMainClientHeight, dpiY_)};
    AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
    HWND hwnd = CreateWindowExW(kMainExStyle, ROAMWISE_MAIN_CLASS, L"Roamwise", kMainStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!hwnd) return false;

    // The frame metrics may differ from what AdjustWindowRectEx assumed
    // (themes, caption fonts): correct the outer size until the client fits.
    RECT client;
    GetClientRect(hwnd, &client);
    int dx = TwipsToPixels(kMainClientWidth, dpiX_) - client.right;
    int dy = TwipsToPixels(kMainClientHeight, dpiY_) - client.bottom;
    if (dx != 0 || dy != 0) {
        RECT outer;
        GetWindowRect(hwnd, &outer);
        SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    windowFont_ = MakeFont(L"Verdana", 825, FW_NORMAL, dpiY_);
    sansSerifFont_ = MakeFont(L"MS Sans Serif", 825, FW_NORMAL, dpiY_);
    aboutFont_ = MakeFont(L"Comic Sans MS", 1425, FW_BOLD, dpiY_);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);

    CreateControls(instance);
    CreateTooltips(instance);
    focus_ = Control(kList1);
    UpdateClock();
    SetTimer(hwnd, kClockTimer, kClockPeriodMs, nullptr);
    RegisterDialogWindow(hwnd);
    return true;
}

void MainWindow::CreateControls(HINSTANCE instance) {
    const ControlSpec* specs = MainControls();
    for (size_t i = 0; i < MainControlCount(); ++i) {
        const ControlSpec& c = specs[i];
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | c.style;
        int x = TwipsToPixels(c.rect.left, dpiX_);
        int y = TwipsToPixels(c.rect.top, dpiY_);
        int w = TwipsToPixels(c.rect.width, dpiX_);
        int h = TwipsToPixels(c.rect.height, dpiY_);
        const wchar_t* cls = c.className ? c.className : STATUSCLASSNAMEW;
        HWND control = CreateWindowExW(c.exStyle, cls, c.text, style, x, y, w, h, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                       instance, nullptr);
        if (!control) continue;
        controls_[c.id - kList1] = control;
        // Controls that size themselves (the status bar) are put back in place.
        SetWindowPos(control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font = c.font == ControlFont::SansSerif ? sansSerifFont_
                     : c.font == ControlFont::About   ? aboutFont_
                                                      : windowFont_;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    if (HWND status = Control(kStatusBar1)) {
        int edges[2] = {TwipsToPixels(kStatusPanel1Width, dpiX_),
                        TwipsToPixels(kStatusPanel1Width + kStatusPanel2Width, dpiX_)};
        SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    }
    if (HWND settings = Control(kCmdSettings)) {
        magnifier_ = static_cast<HICON>(LoadImageW(instance,
                                                   MAKEINTRESOURCEW(ROAMWISE_ICON_MAGNIFIER),
                                                   IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
        SendMessageW(settings, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(magnifier_));
    }
    if (HWND list = Control(kList1)) {
        SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        listProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
    }
    if (HWND name = Control(kText1)) {
        SendMessageW(name, EM_LIMITTEXT, 0, 0);
        SetWindowLongPtrW(name, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        nameBoxProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(name, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NameBoxProc)));
    }
}

void MainWindow::CreateTooltips(HINSTANCE instance) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               instance, nullptr);
    if (!tooltip_) return;
    for (int id : {kList1, kText1}) {
        HWND control = Control(id);
        if (!control) continue;
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V1_SIZE;  // understood by every comctl32
        // No TTF_SUBCLASS: the tooltip's own subclassing costs a round trip
        // to the system for every message the control gets, which made
        // refilling the list with 20 000 names take seconds. Our subclasses
        // relay the mouse to it instead.
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(control);
        ti.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void MainWindow::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    if (HWND list = Control(kList1)) SetFocus(list);
}

void MainWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND MainWindow::Control(int id) const {
    if (!hwnd_ || id < kList1 || id - kList1 >= static_cast<int>(sizeof controls_ / sizeof controls_[0]))
        return nullptr;
    return controls_[id - kList1];
}

void MainWindow::ListClear() {
    HWND list = Control(kList1);
    if (!list) return;
    // A refill of thousands of names would redraw the list after each one.
    if (!listRedrawOff_) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        listRedrawOff_ = true;
        PostMessageW(hwnd_, kResumeListRedraw, 0, 0);
    }
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
}

void MainWindow::ResumeListRedraw() {
    if (!listRedrawOff_) return;
    listRedrawOff_ = false;
    if (HWND list = Control(kList1)) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void MainWindow::ListAdd(const std::wstring& item) {
    if (HWND list = Control(kList1))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

std::wstring MainWindow::ListText() const {
    HWND list = Control(kList1);
    if (!list) return std::wstring();
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return std::wstring();
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    if (got == LB_ERR) return std::wstring();
    return std::wstring(buffer.data(), static_cast<size_t>(got));
}

std::wstring MainWindow::NameText() const { return WindowText(Control(kText1)); }

void MainWindow::SetTooltip(int id, const std::wstring& text) {
    HWND control = Control(id);
    if (!control || !tooltip_) return;
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::SetStatus(const std::wstring& text) {
    if (HWND status = Control(kStatusBar1))
        SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::UpdateClock() {
    HWND status = Control(kStatusBar1);
    if (!status) return;
    wchar_t buffer[64] = {};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer, 64))
        return;
    if (clock_ == buffer) return;
    clock_ = buffer;
    SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(clock_.c_str()));
}

bool MainWindow::CursorOverWindow() const {
    POINT pt;
    if (!hwnd_ || !GetCursorPos(&pt)) return false;
    HWND under = WindowFromPoint(pt);
    return under && (under == hwnd_ || IsChild(hwnd_, under));
}

void MainWindow::SetBusy(bool busy) {
    if (busy_ == busy) return;
    busy_ = busy;
    if (!hwnd_) return;
    // Show the change at once rather than at the next mouse move.
    if (CursorOverWindow()) {
        if (busy_) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        } else {
            // Let the window under the pointer choose its own pointer again.
            POINT pt;
            GetCursorPos(&pt);
            HWND under = WindowFromPoint(pt);
            LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
            SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                         MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
        }
    }
}

void MainWindow::ClickButton(int id) {
    if (!form_) return;
    switch (id) {
    case kCmdLoad: form_->cmdLoad_Click(); break;
    case kCmdDelete: form_->cmdDelete_Click(); break;
    case kCmdSave: form_->cmdSave_Click(); break;
    case kCmdSettings: form_->cmdSettings_Click(); break;
    case kCommand1: form_->Command1_Click(); break;
    default: break;
    }
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (id == IDOK && !control) {
        // Enter, turned into IDOK by the dialog navigation: there is no
        // default button, but a focused push button is clicked.
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == hwnd_) {
            int focusId = GetDlgCtrlID(focus);
            if (IsPushButton(focusId)) ClickButton(focusId);
        }
        return;
    }
    if (IsPushButton(id) && code == BN_CLICKED) {
        ClickButton(id);
    } else if (id == kList1 && code == LBN_SELCHANGE) {
        if (form_) form_->List1_Click();
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<MainWindow*>(create->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SETCURSOR:
        // Over a control, or over the client area of the window itself.
        if (busy_ && (reinterpret_cast<HWND>(wParam) != hwnd || LOWORD(lParam) == HTCLIENT)) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // Keep the keyboard focus on the control that had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) focus_ = focus;
        } else if (!HIWORD(wParam)) {
            if (focus_ && IsWindow(focus_) && IsChild(hwnd, focus_)) SetFocus(focus_);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kClockTimer) {
            UpdateClock();
            return 0;
        }
        break;
    case kResumeListRedraw:
        ResumeListRedraw();
        return 0;
    case WM_CLOSE:
        // Closing is never refused; the core stores the positions and
        // unloads the viewer first.
        if (form_ && !form_->Unloaded()) form_->Form_Unload();
        if (hwnd_) DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kClockTimer);
        UnregisterDialogWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        tooltip_ = nullptr;
        focus_ = nullptr;
        for (HWND& c : controls_) c = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void MainWindow::RelayToTooltip(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_ || msg < WM_MOUSEFIRST || msg > WM_MOUSELAST) return;
    MSG m = {};
    m.hwnd = control;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(GetMessageTime());
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

LRESULT CALLBACK MainWindow::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    WNDPROC original = self->listProc_;
    self->RelayToTooltip(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::NameBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self->OnNameBoxMessage(hwnd, msg, wParam, lParam);
}

LRESULT MainWindow::OnNameBoxMessage(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = nameBoxProc_;
    RelayToTooltip(box, msg, wParam, lParam);
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter belongs to the box (it saves), not to the dialog navigation.
        if (lParam) {
            const MSG* m = reinterpret_cast<const MSG*>(lParam);
            if ((m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
                return CallWindowProcW(original, box, msg, wParam, lParam) | DLGC_WANTMESSAGE;
        }
        break;
    case WM_CHAR: {
        int key = static_cast<int>(wParam);
        if (form_) form_->Text1_KeyPress(key);
        // The box may be gone if the window was closed during a save.
        if (!IsWindow(box)) return 0;
        // A single-line box would only beep at a carriage return.
        if (key == 0 || key == VK_RETURN) return 0;
        return CallWindowProcW(original, box, msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_KEYUP: {
        LRESULT result = CallWindowProcW(original, box, msg, wParam, lParam);
        if (form_) form_->Text1_KeyUp(static_cast<int>(wParam), ShiftState());
        return result;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        break;
    default:
        break;
    }
    return CallWindowProcW(original, box, msg, wParam, lParam);
}

}  // namespace win32
}  // namespace roamwise
