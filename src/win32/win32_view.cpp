#include "win32_view.h"

#include "control_ids.h"
#include "main_layout.h"

namespace roamwise {
namespace win32 {

namespace {

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcWork);
    return TRUE;
}

}  // namespace

Win32View::Win32View(HINSTANCE instance) : instance_(instance) {
    HDC screen = GetDC(nullptr);
    if (screen) {
        dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
        dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (dpiX_ <= 0) dpiX_ = 96;
    if (dpiY_ <= 0) dpiY_ = 96;
}

void Win32View::Attach(frmRoamwise& form) {
    main_.SetForm(&form);
    viewer_.SetForm(&form);
}

bool Win32View::CreateMainWindow() { return main_.Create(instance_, dpiX_, dpiY_); }

void Win32View::ShowMainWindow() { main_.Show(); }

void Win32View::DestroyWindows() {
    viewer_.Destroy();
    main_.Destroy();
}

Answer Win32View::ShowMessage(const std::wstring& text, const std::wstring& title,
                              Buttons buttons) {
    HWND owner = main_.Handle();
    UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    if (!owner) type |= MB_TASKMODAL;
    int result = MessageBoxW(owner, text.c_str(), title.c_str(), type);
    if (buttons == Buttons::Ok) return Answer::Ok;
    // A box that could not be shown or was torn down answers No.
    return result == IDYES ? Answer::Yes : Answer::No;
}

void Win32View::Beep() { MessageBeep(MB_OK); }

void Win32View::ListClear() { main_.ListClear(); }

void Win32View::ListAdd(const std::wstring& item) { main_.ListAdd(item); }

std::wstring Win32View::ListText() { return main_.ListText(); }

void Win32View::SetListTooltip(const std::wstring& text) { main_.SetTooltip(ids::kList1, text); }

std::wstring Win32View::NameText() { return main_.NameText(); }

void Win32View::SetNameTooltip(const std::wstring& text) { main_.SetTooltip(ids::kText1, text); }

void Win32View::SetStatus(const std::wstring& text) { main_.SetStatus(text); }

void Win32View::SetBusyPointer(bool busy) { main_.SetBusy(busy); }

HWND Win32View::WindowOf(WindowId window) const {
    return window == WindowId::Main ? main_.Handle() : viewer_.Handle();
}

Rect Win32View::ToTwips(const RECT& rc) const {
    Rect r;
    r.left = PixelsToTwips(rc.left, dpiX_);
    r.top = PixelsToTwips(rc.top, dpiY_);
    r.right = PixelsToTwips(rc.right, dpiX_);
    r.bottom = PixelsToTwips(rc.bottom, dpiY_);
    return r;
}

Rect Win32View::WindowRect(WindowId window) {
    RECT rc;
    HWND hwnd = WindowOf(window);
    if (!hwnd || !GetWindowRect(hwnd, &rc)) return Rect{};
    return ToTwips(rc);
}

void Win32View::MoveWindow(WindowId window, long left, long top) {
    HWND hwnd = WindowOf(window);
    if (!hwnd) return;
    SetWindowPos(hwnd, nullptr, TwipsToPixels(left, dpiX_), TwipsToPixels(top, dpiY_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<Rect> Win32View::WorkAreas() {
    std::vector<RECT> areas;
    EnumDisplayMonitors(nullptr, nullptr, &CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT work;
        if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) areas.push_back(work);
    }
    std::vector<Rect> result;
    for (const RECT& rc : areas) result.push_back(ToTwips(rc));
    return result;
}

void Win32View::CreateViewer() { viewer_.Create(instance_, main_.Handle(), dpiX_, dpiY_); }

void Win32View::DestroyViewer() { viewer_.Destroy(); }

void Win32View::ShowViewer() { viewer_.Show(); }

void Win32View::SetViewerText(const std::wstring& text) { viewer_.SetText(text); }

Size Win32View::ViewerClientSize() {
    SIZE px = viewer_.ClientSize();
    Size size;
    size.width = PixelsToTwips(px.cx, dpiX_);
    size.height = PixelsToTwips(px.cy, dpiY_);
    return size;
}

void Win32View::SizeViewerText(Size size) {
    viewer_.SizeText(TwipsToPixels(size.width, dpiX_), TwipsToPixels(size.height, dpiY_));
}

}  // namespace win32
}  // namespace roamwise
