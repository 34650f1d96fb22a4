#include "window_base.h"

#include "error_report.h"
#include "message_pump.h"
#include "resource.h"

namespace roamwise {
namespace win32 {

namespace {

HICON AppIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(ROAMWISE_ICON_APP), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Registers the class with the application icon, the arrow pointer and the
// dialog background; registering it again is harmless.
bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, className, &wc)) return true;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = AppIcon(instance, 32);
    wc.hIconSm = AppIcon(instance, GetSystemMetrics(SM_CXSMICON));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
    return TRUE;
}

Rect ToTwips(const RECT& pixels, Dpi dpi) {
    return {PixelsToTwips(pixels.left, dpi.x), PixelsToTwips(pixels.top, dpi.y), PixelsToTwips(pixels.right, dpi.x),
            PixelsToTwips(pixels.bottom, dpi.y)};
}

}  // namespace

Dpi ScreenDpi() {
    Dpi dpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi.x = GetDeviceCaps(screen, LOGPIXELSX);
        dpi.y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (dpi.x <= 0) dpi.x = 96;
    if (dpi.y <= 0) dpi.y = 96;
    return dpi;
}

int TwipsToPixels(long twips, int dpi) { return MulDiv(static_cast<int>(twips), dpi, 1440); }

long PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

Font MakeFont(const wchar_t* face, int centiPoints, int weight, int dpiY) {
    return Font(CreateFontW(-MulDiv(centiPoints, dpiY, 7200), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            face));
}

WindowBase::~WindowBase() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

void WindowBase::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool WindowBase::CreateFramed(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                              long clientWidth, long clientHeight, HWND owner) {
    if (hwnd_) return true;
    if (!RegisterWindowClass(instance_, &Procedure, className)) return false;
    RECT frame = {0, 0, TwipsToPixels(clientWidth, dpi_.x), TwipsToPixels(clientHeight, dpi_.y)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    if (!CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                         frame.bottom - frame.top, owner, nullptr, instance_, this))
        return false;
    FitClientArea(clientWidth, clientHeight);
    return hwnd_ != nullptr;
}

// The frame may differ from what AdjustWindowRectEx assumed (themes,
// caption fonts): correct the outer size until the client area fits.
void WindowBase::FitClientArea(long clientWidth, long clientHeight) {
    RECT client, outer;
    if (!hwnd_ || !GetClientRect(hwnd_, &client) || !GetWindowRect(hwnd_, &outer)) return;
    const int dx = TwipsToPixels(clientWidth, dpi_.x) - client.right;
    const int dy = TwipsToPixels(clientHeight, dpi_.y) - client.bottom;
    if (dx == 0 && dy == 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageHandling handling;
    if (message == WM_NCCREATE) {
        auto* created = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = Guard(window, [&] { return self->OnMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

void WindowBase::ReportException(HWND window) {
    const HWND owner = IsWindow(window) ? window : nullptr;
    MessageBoxW(owner, ReportText(CurrentFailure()).c_str(), L"Roamwise", MB_OK | (owner ? 0 : MB_TASKMODAL));
}

Rect WindowBase::PlacementTwips() const {
    RECT outer;
    if (!hwnd_ || !GetWindowRect(hwnd_, &outer)) return Rect{};
    return ToTwips(outer, dpi_);
}

void WindowBase::MoveToTwips(long left, long top) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, TwipsToPixels(left, dpi_.x), TwipsToPixels(top, dpi_.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

long WindowBase::TitleBarHeightTwips() const {
    RECT outer;
    POINT client = {0, 0};
    if (!hwnd_ || !GetWindowRect(hwnd_, &outer) || !ClientToScreen(hwnd_, &client)) return 0;
    return PixelsToTwips(client.y - outer.top, dpi_.y);
}

std::vector<Rect> WorkAreasTwips(Dpi dpi) {
    std::vector<RECT> areas;
    EnumDisplayMonitors(nullptr, nullptr, &CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
    RECT work;
    if (areas.empty() && SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) areas.push_back(work);
    std::vector<Rect> result;
    for (const RECT& area : areas) result.push_back(ToTwips(area, dpi));
    return result;
}

}  // namespace win32
}  // namespace roamwise
