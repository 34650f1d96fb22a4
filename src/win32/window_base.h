// What both of Roamwise's windows share: the window procedure that finds
// the object behind a window, one trap that keeps exceptions out of the
// system's code, class registration, and the twips the views speak in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "handles.h"
#include "view.h"

namespace roamwise {
namespace win32 {

// The screen's pixels per inch (1440 twips).
struct Dpi {
    int x = 96;
    int y = 96;
};
Dpi ScreenDpi();
int TwipsToPixels(long twips, int dpi);
long PixelsToTwips(int pixels, int dpi);

// A font by face, size in hundredths of a point (8.25 pt -> 825) and weight;
// the system picks the nearest face when the named one is missing.
Font MakeFont(const wchar_t* face, int centiPoints, int weight, int dpiY);

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Null while the window does not exist.
    HWND Handle() const { return hwnd_; }
    void Destroy();

    // Runs a message handler; whatever it throws is shown in the program's
    // error box instead of unwinding through the system.
    template <typename Handler>
    static LRESULT Guard(HWND window, Handler&& handler) {
        try {
            return handler();
        } catch (...) {
            ReportException(window);
            return 0;
        }
    }

protected:
    explicit WindowBase(HINSTANCE instance) : instance_(instance), dpi_(ScreenDpi()) {}
    // Destroys the window without calling back into the derived object.
    virtual ~WindowBase();

    // Creates the window hidden, its client area of the given size in twips.
    bool CreateFramed(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                      long clientWidth, long clientHeight, HWND owner);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    Rect PlacementTwips() const;
    void MoveToTwips(long left, long top);
    long TitleBarHeightTwips() const;

    HINSTANCE instance_;
    Dpi dpi_;
    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void ReportException(HWND window);
    void FitClientArea(long clientWidth, long clientHeight);
};

std::vector<Rect> WorkAreasTwips(Dpi dpi);

// A window that is also one of the core's views.
template <class View>
class Window : public View, public WindowBase {
public:
    Rect Placement() override { return PlacementTwips(); }
    void MoveTo(long left, long top) override { MoveToTwips(left, top); }
    long TitleBarHeight() override { return TitleBarHeightTwips(); }
    std::vector<Rect> WorkAreas() override { return WorkAreasTwips(dpi_); }

protected:
    using WindowBase::WindowBase;
};

}  // namespace win32
}  // namespace roamwise
