#include "window_class.h"

#include "main_layout.h"
#include "resource.h"

namespace roamwise {
namespace win32 {

ATOM RegisterAppWindowClass(HINSTANCE instance, WNDPROC proc, const wchar_t* className) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExW(instance, className, &existing))) return atom;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(ROAMWISE_ICON_APP), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ROAMWISE_ICON_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = className;
    return RegisterClassExW(&wc);
}

HFONT MakeFont(const wchar_t* face, int centiPoints, int weight, int dpiY) {
    return CreateFontW(FontHeight(centiPoints, dpiY), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace win32
}  // namespace roamwise
