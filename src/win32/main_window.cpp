#include "main_window.h"

#include <commctrl.h>

#include <vector>

#include "control_ids.h"
#include "launch.h"
#include "main_controller.h"
#include "main_layout.h"
#include "message_pump.h"
#include "rename_box.h"
#include "trial_box.h"
#include "resource.h"

namespace roamwise {
namespace win32 {

namespace {

using namespace roamwise::ids;

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockPeriodMs = 1000;
constexpr long kTooltipWidth = 9000;  // twips: 600 pixels at 96 DPI
constexpr LPARAM kTooltipShownMs = 20000;
// Posted by ClearProfiles: the list draws again once the refill is done.
constexpr UINT kResumeListRedraw = WM_APP + 1;
// Posted once the window shows: oleacc is loaded after the start, not during it.
constexpr UINT kNameForScreenReaders = WM_APP + 2;
// Posted when the window becomes active.
constexpr UINT kCameBack = WM_APP + 3;

// oleacc.h's names, spelled out: not every SDK's libraries define them.
const CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const MSAAPROPID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
const wchar_t* const kWaitPointer = MAKEINTRESOURCEW(32514);  // IDC_WAIT

bool IsPushButton(int id) {
    return id == kLoadButton || id == kDeleteButton || id == kSaveButton || id == kSettingsButton ||
           id == kAboutButton;
}

std::wstring WindowText(HWND window) {
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

// The listed profile at a point of the list's client area, or -1 (empty space
// below the profiles: the list reports the nearest profile for it).
int ProfileAt(HWND list, LPARAM at) {
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, at);
    RECT item = {};
    if (hit == LB_ERR || HIWORD(hit) != 0 ||
        SendMessageW(list, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return -1;
    const POINT point = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    return PtInRect(&item, point) ? LOWORD(hit) : -1;
}

// The tool entry of a control; a short record that every comctl32 knows.
TOOLINFOW ToolOf(HWND owner, HWND control, const wchar_t* text) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

MainWindow::~MainWindow() { Destroy(); }  // while the fonts still exist

bool MainWindow::Create() {
    if (hwnd_) return true;
    if (!CreateFramed(ROAMWISE_MAIN_CLASS, L"Roamwise", kMainStyle, 0, kMainClientWidth, kMainClientHeight,
                      nullptr))
        return false;
    windowFont_ = MakeFont(L"Verdana", 825, FW_NORMAL, dpi_.y);
    sansSerifFont_ = MakeFont(L"MS Sans Serif", 825, FW_NORMAL, dpi_.y);
    aboutFont_ = MakeFont(L"Comic Sans MS", 1425, FW_BOLD, dpi_.y);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.get()), FALSE);
    for (size_t i = 0; i < MainControlCount(); ++i) CreateControl(static_cast<int>(i));
    int edges[2] = {TwipsToPixels(kStatusPanel1Width, dpi_.x),
                    TwipsToPixels(kStatusPanel1Width + kStatusPanel2Width, dpi_.x)};
    SendMessageW(Control(kStatusBar), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    magnifier_ = Icon(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(ROAMWISE_ICON_MAGNIFIER), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR)));
    SendMessageW(Control(kSettingsButton), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(magnifier_.get()));
    SendMessageW(Control(kNameBox), EM_LIMITTEXT, 0, 0);
    SubclassControl(kProfileList, listProcedure_);
    SubclassControl(kNameBox, nameBoxProcedure_);
    CreateTooltips();
    focus_ = Control(kProfileList);
    UpdateClock();
    SetTimer(hwnd_, kClockTimer, kClockPeriodMs, nullptr);
    ACCEL keys[] = {{FVIRTKEY, VK_F5, static_cast<WORD>(kRefreshCommand)},
                    {FVIRTKEY | FCONTROL, 'Z', static_cast<WORD>(kUndoCommand)}};
    accelerators_ = Accelerators(CreateAcceleratorTableW(keys, 2));
    RegisterDialogWindow(hwnd_, accelerators_.get());
    return true;
}

void MainWindow::CreateControl(int index) {
    const ControlSpec& row = MainControls()[index];
    const int x = TwipsToPixels(row.rect.left, dpi_.x);
    const int y = TwipsToPixels(row.rect.top, dpi_.y);
    const int width = TwipsToPixels(row.rect.width, dpi_.x);
    const int height = TwipsToPixels(row.rect.height, dpi_.y);
    const DWORD visible = row.hidden ? 0 : WS_VISIBLE;
    HWND control = CreateWindowExW(row.exStyle, row.className ? row.className : STATUSCLASSNAMEW, row.text,
                                   WS_CHILD | visible | WS_CLIPSIBLINGS | WS_GROUP | row.style, x, y, width,
                                   height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_,
                                   nullptr);
    if (!control) return;
    controls_[row.id - kProfileList] = control;
    // Controls that size themselves (the status bar) are put back in place.
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    const Font& font = row.font == ControlFont::SansSerif ? sansSerifFont_
                       : row.font == ControlFont::About   ? aboutFont_
                                                           : windowFont_;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
}

void MainWindow::SubclassControl(int id, WNDPROC& original) {
    HWND control = Control(id);
    if (!control) return;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProcedure)));
}

void MainWindow::CreateTooltips() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                               nullptr);
    if (!tooltip_) return;
    // A profile's tooltip has a line per adapter: wide enough for them, and
    // long enough in sight to be read.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(kTooltipWidth, dpi_.x));
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTooltipShownMs);
    for (int id : {kProfileList, kNameBox}) {
        // No TTF_SUBCLASS: the tooltip's own subclassing costs a round trip
        // to the system for every message the control gets, which made
        // refilling the list with 20 000 names take seconds. Our subclasses
        // relay the mouse to it instead.
        TOOLINFOW tool = ToolOf(hwnd_, Control(id), L"");
        tool.uFlags = TTF_IDISHWND;
        if (tool.uId) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainWindow::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    if (HWND list = Control(kProfileList)) SetFocus(list);
    PostMessageW(hwnd_, kNameForScreenReaders, 0, 0);
}

// "?" must keep its text: oleacc's property service (Windows XP and later)
// names it; where there is none, it stays "?".
void MainWindow::NameForScreenReaders() {
    HWND about = Control(kAboutButton);
    if (!about || FAILED(CreateComObject(kAccPropServices, kIAccPropServices, names_.Receive()))) return;
    names_->SetHwndPropStr(about, OBJID_CLIENT, CHILDID_SELF, kNameProperty, L"About Roamwise");
}

HWND MainWindow::Control(int id) const {
    const int index = id - kProfileList;
    if (!hwnd_ || index < 0 || index >= static_cast<int>(sizeof controls_ / sizeof controls_[0])) return nullptr;
    return controls_[index];
}

Answer MainWindow::ShowMessage(const std::wstring& text, const std::wstring& title, Buttons buttons) {
    UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    // Until the window shows (before start-up ends, or in a start from the
    // command line) the box stands on its own, in front, on the taskbar.
    const HWND owner = hwnd_ && IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
    if (!owner) type |= MB_TASKMODAL | MB_SETFOREGROUND;
    const int result = MessageBoxW(owner, text.c_str(), title.c_str(), type);
    if (buttons == Buttons::Ok) return Answer::Ok;
    // A box that could not be shown or was torn down answers No.
    return result == IDYES ? Answer::Yes : Answer::No;
}

void MainWindow::Beep() { MessageBeep(MB_OK); }

void MainWindow::ClearProfiles() {
    HWND list = Control(kProfileList);
    if (!list) return;
    // A refill of thousands of names would redraw the list after each one;
    // and the list keeps its place rather than jumping back to the top.
    if (!listRedrawOff_) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        listRedrawOff_ = true;
        topBeforeRefill_ = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        PostMessageW(hwnd_, kResumeListRedraw, 0, 0);
    }
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
}

void MainWindow::ResumeListRedraw() {
    if (!listRedrawOff_) return;
    listRedrawOff_ = false;
    if (HWND list = Control(kProfileList)) {
        SendMessageW(list, LB_SETTOPINDEX, topBeforeRefill_, 0);
        // The selection stays in sight.
        const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR) SendMessageW(list, LB_SETCURSEL, selected, 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void MainWindow::AddProfile(const std::wstring& name) {
    if (HWND list = Control(kProfileList)) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

std::wstring MainWindow::SelectedProfile() {
    HWND list = Control(kProfileList);
    const LRESULT index = list ? SendMessageW(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    const LRESULT length = index == LB_ERR ? LB_ERR : SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return got == LB_ERR ? std::wstring() : std::wstring(buffer.data(), static_cast<size_t>(got));
}

void MainWindow::SelectProfile(const std::wstring& name) {
    HWND list = Control(kProfileList);
    const LRESULT index =
        list ? SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()))
             : LB_ERR;
    if (index != LB_ERR) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::optional<std::wstring> MainWindow::AskNewName(const std::wstring& profile, const std::wstring& text) {
    return win32::AskNewName(instance_, hwnd_, profile, text);
}

bool MainWindow::AtRest() { return AtTopOfMessageLoop(); }

TrialChoice MainWindow::AskToKeep(const std::wstring& text, const std::function<std::optional<std::wstring>()>& countdown) {
    // Until the window shows (a start from the command line) the box stands on its own.
    return win32::AskToKeep(instance_, hwnd_ && IsWindowVisible(hwnd_) ? hwnd_ : nullptr, text, countdown);
}

void MainWindow::TakeNoInput() {
    if (hwnd_) EnableWindow(hwnd_, FALSE);
}

void MainWindow::CloseWindow() { Destroy(); }

void MainWindow::SetProfileTooltip(const std::wstring& text) { SetTooltip(kProfileList, text); }

std::wstring MainWindow::TypedName() { return WindowText(Control(kNameBox)); }

void MainWindow::SetNameTooltip(const std::wstring& text) { SetTooltip(kNameBox, text); }

void MainWindow::SetTooltip(int id, const std::wstring& text) {
    HWND control = Control(id);
    if (!control || !tooltip_) return;
    TOOLINFOW tool = ToolOf(hwnd_, control, text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::SetStatus(const std::wstring& text) {
    if (HWND status = Control(kStatusBar)) SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::UpdateClock() {
    HWND status = Control(kStatusBar);
    wchar_t time[64] = {};
    if (!status || !GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64)) return;
    if (clock_ == time) return;
    clock_ = time;
    SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(clock_.c_str()));
}

bool MainWindow::CursorOverWindow() const {
    POINT point;
    if (!hwnd_ || !GetCursorPos(&point)) return false;
    HWND under = WindowFromPoint(point);
    return under && (under == hwnd_ || IsChild(hwnd_, under));
}

void MainWindow::SetBusyPointer(bool busy) {
    if (busy_ == busy) return;
    busy_ = busy;
    // Show the change at once rather than at the next mouse move.
    if (!CursorOverWindow()) return;
    if (busy_) {
        SetCursor(LoadCursorW(nullptr, kWaitPointer));
        return;
    }
    // Let the window under the pointer choose its own pointer again.
    POINT point;
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
}

void MainWindow::Click(int id) {
    if (!controller_) return;
    switch (id) {
    case kLoadButton: controller_->LoadProfile(); break;
    case kDeleteButton: controller_->DeleteProfile(); break;
    case kSaveButton: controller_->SaveProfile(); break;
    case kSettingsButton: controller_->ShowCurrentSettings(); break;
    case kAboutButton: controller_->ShowAbout(); break;
    default: break;
    }
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (!controller_) return;
    if (id == IDOK && !control) {
        // Enter, turned into IDOK by the dialog navigation: there is no
        // default button, but a focused push button is clicked and the
        // focused list loads its profile.
        HWND focus = GetFocus();
        const int focused = focus && GetParent(focus) == hwnd_ ? GetDlgCtrlID(focus) : 0;
        if (IsPushButton(focused)) Click(focused);
        else if (focused == kProfileList) controller_->ListInput(Input::Enter);
    } else if (id == kRefreshCommand && !control) {
        controller_->ListInput(Input::F5);
    } else if (id == kUndoCommand && !control) {
        // In the name box Ctrl+Z takes back its own typing.
        if (GetFocus() == Control(kNameBox)) SendMessageW(Control(kNameBox), EM_UNDO, 0, 0);
        else controller_->UndoLoad();
    } else if (IsPushButton(id) && code == BN_CLICKED) {
        Click(id);
    } else if (id == kProfileList && code == LBN_SELCHANGE) {
        controller_->ProfileSelected();
    } else if (id == kProfileList && code == LBN_DBLCLK && doubleClickOnProfile_) {
        controller_->ListInput(Input::DoubleClick);
    }
}

// Opened with the mouse at the pointer, from the keyboard (at -1) at the
// selected profile; the core decides whether and with what.
void MainWindow::OnContextMenu(HWND from, LPARAM at) {
    HWND list = Control(kProfileList);
    if (!controller_ || from != list) return;
    menuPlace_ = MenuPlace(list, at);
    controller_->ContextMenu(!SelectedProfile().empty() && (at == -1 || menuOnProfile_));
}

int MainWindow::ShowMenu(const std::vector<MenuItem>& items) {
    Menu menu(CreatePopupMenu());
    if (!menu) return -1;
    for (size_t i = 0; i < items.size(); ++i) {
        AppendMenuW(menu.get(), items[i].text.empty() ? MF_SEPARATOR : MF_STRING, i + 1, items[i].text.c_str());
        if (items[i].isDefault) SetMenuDefaultItem(menu.get(), static_cast<UINT>(i + 1), FALSE);
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                         menuPlace_.x, menuPlace_.y, 0, hwnd_, nullptr));
    return chosen >= 1 && chosen <= items.size() ? static_cast<int>(chosen - 1) : -1;
}

POINT MainWindow::MenuPlace(HWND list, LPARAM at) const {
    POINT place = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at != -1) return place;
    RECT item = {};
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    RECT shown = {};
    GetClientRect(list, &shown);
    // Below the selected profile, or at the list's corner when it is scrolled out of sight.
    if (SendMessageW(list, LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
        item.bottom <= shown.top || item.bottom > shown.bottom)
        item = RECT{0, 0, 0, 0};
    place = {item.left + (item.bottom - item.top) / 2, item.bottom};
    ClientToScreen(list, &place);
    return place;
}

// Over a control, or over the client area of the window itself.
bool MainWindow::OnSetCursor(HWND over, int hitTest) {
    if (!busy_ || (over == hwnd_ && hitTest != HTCLIENT)) return false;
    SetCursor(LoadCursorW(nullptr, kWaitPointer));
    return true;
}

// Keeps the keyboard focus on the control that had it.
bool MainWindow::OnActivate(WPARAM wParam) {
    HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
        return false;
    }
    if (HIWORD(wParam)) return false;  // minimized
    if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_)) SetFocus(focus_);
    return true;
}

// Closing is never refused; the core stores the positions, closes the
// viewer and then the window, once any tool running has ended.
void MainWindow::OnClose() {
    if (controller_ && !controller_->Closed()) controller_->Close();
    else Destroy();
}

// Another start hands over a profile to load: it runs here, inside this
// message, as if Load had been pressed. The start, waiting in SendMessage,
// is released with the exit code as soon as the core knows it (busy at
// once), before the load's boxes; any program may send this, so the
// request is read by the core's rules.
LRESULT MainWindow::OnLoadRequest(const COPYDATASTRUCT* request) {
    const auto handed = request ? ReadRequest(request->dwData, request->lpData, request->cbData) : std::nullopt;
    if (!handed || !controller_) return 0;
    LRESULT answer = 0;
    controller_->LoadHandedOver(*handed, [&answer](int code) {
        answer = ids::AnswerOf(code);
        ReplyMessage(answer);
    });
    return answer;
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = hwnd_;
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
    case WM_ACTIVATE:
        // Coming back, the list shows what changed in the folder meanwhile,
        // read once the window has been drawn active.
        if (LOWORD(wParam) == WA_INACTIVE && controller_) controller_->Activated(false);
        else PostMessageW(window, kCameBack, 0, 0);
        if (OnActivate(wParam)) return 0;
        break;
    case kCameBack:
        if (controller_) controller_->Activated(true);
        return 0;
    case WM_TIMER:
        if (wParam == kClockTimer) UpdateClock();
        return 0;
    case kResumeListRedraw: ResumeListRedraw(); return 0;
    case kNameForScreenReaders: NameForScreenReaders(); return 0;
    case WM_CONTEXTMENU: OnContextMenu(reinterpret_cast<HWND>(wParam), lParam); return 0;
    case WM_COPYDATA: return OnLoadRequest(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CLOSE: OnClose(); return 0;
    // The session ends: both positions are kept, nothing is shown.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wParam && controller_) controller_->EndSession();
        return 0;
    case WM_DESTROY:
        if (names_) names_->ClearHwndProps(Control(kAboutButton), OBJID_CLIENT, CHILDID_SELF, &kNameProperty, 1);
        KillTimer(window, kClockTimer);
        UnregisterDialogWindow(window);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        tooltip_ = focus_ = nullptr;
        for (HWND& control : controls_) control = nullptr;
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::RelayToTooltip(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_ || message < WM_MOUSEFIRST || message > WM_MOUSELAST) return;
    MSG relayed = {control, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT CALLBACK MainWindow::ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageHandling handling;
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    return Guard(self->hwnd_, [&] { return self->OnControlMessage(control, message, wParam, lParam); });
}

LRESULT MainWindow::OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool nameBox = control == Control(kNameBox);
    const WNDPROC original = nameBox ? nameBoxProcedure_ : listProcedure_;
    RelayToTooltip(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    if (nameBox) return OnNameBoxMessage(control, original, message, wParam, lParam);
    return OnListMessage(control, original, message, wParam, lParam);
}

LRESULT MainWindow::OnListMessage(HWND list, WNDPROC original, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && controller_ && (wParam == VK_DELETE || wParam == VK_F2) &&
        controller_->ListInput(wParam == VK_DELETE ? Input::DeleteKey : Input::F2))
        return 0;
    if (message == WM_LBUTTONDBLCLK) doubleClickOnProfile_ = ProfileAt(list, lParam) >= 0;
    if (message == WM_RBUTTONDOWN) {
        // A right-click selects the profile under the pointer first, as a click would.
        const int hit = ProfileAt(list, lParam);
        menuOnProfile_ = hit >= 0;
        if (menuOnProfile_ && SendMessageW(list, LB_GETCURSEL, 0, 0) != hit) {
            SendMessageW(list, LB_SETCURSEL, hit, 0);
            if (controller_) controller_->ProfileSelected();
        }
        SetFocus(list);
    }
    return CallWindowProcW(original, list, message, wParam, lParam);
}

LRESULT MainWindow::OnNameBoxMessage(HWND box, WNDPROC original, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* pending = reinterpret_cast<const MSG*>(lParam);
    switch (message) {
    case WM_GETDLGCODE:
        // Enter belongs to the box (it saves), not to the dialog navigation.
        if (pending && (pending->message == WM_KEYDOWN || pending->message == WM_CHAR) &&
            pending->wParam == VK_RETURN)
            return CallWindowProcW(original, box, message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    case WM_CHAR:
        if (controller_) controller_->NameKeyPressed(static_cast<int>(wParam));
        // The box may be gone if the window was closed during a save; a
        // single-line box would only beep at a carriage return.
        if (!IsWindow(box) || wParam == VK_RETURN) return 0;
        break;
    case WM_KEYUP: {
        const LRESULT result = CallWindowProcW(original, box, message, wParam, lParam);
        if (controller_) controller_->NameKeyReleased();
        return result;
    }
    default: break;
    }
    return CallWindowProcW(original, box, message, wParam, lParam);
}

}  // namespace win32
}  // namespace roamwise
