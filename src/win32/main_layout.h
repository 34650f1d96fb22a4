// The main window's controls: kind, caption, styles and place, in the order
// they are created. Creation order is the z-order (first on top) and the
// keyboard tab order, so the group boxes come last and lie under the
// controls drawn over them.
#pragma once

#include <windows.h>

#include <cstddef>

namespace roamwise {
namespace win32 {

// Twips, in the main window's client coordinates (group-box offsets added).
struct TwipsRect {
    long left;
    long top;
    long width;
    long height;
};

enum class ControlFont {
    Window,     // Verdana 8.25
    SansSerif,  // MS Sans Serif 8.25
    About,      // Comic Sans MS 14.25 bold
};

struct ControlSpec {
    int id;
    const wchar_t* className;  // a window class, or nullptr for the status bar
    const wchar_t* text;
    DWORD style;               // besides WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP
    DWORD exStyle;
    TwipsRect rect;
    ControlFont font;
    bool hidden = false;  // a label only screen readers see
};

constexpr long kMainClientWidth = 3975;
constexpr long kMainClientHeight = 4110;

// Status bar panels: panel 1 then the clock.
constexpr long kStatusPanel1Width = 2840;
constexpr long kStatusPanel2Width = 1100;

const ControlSpec* MainControls();
std::size_t MainControlCount();

}  // namespace win32
}  // namespace roamwise
