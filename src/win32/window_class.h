// What Roamwise's two windows share: their window class set-up with the
// application icon, and fonts given by face and point size.
#pragma once

#include <windows.h>

namespace roamwise {
namespace win32 {

// Registers a window class with the application icon, the arrow pointer and
// the dialog background; registering it again is harmless.
ATOM RegisterAppWindowClass(HINSTANCE instance, WNDPROC proc, const wchar_t* className);

// A font by face, size in hundredths of a point (8.25 pt -> 825) and weight;
// the system picks the nearest face when the named one is missing.
HFONT MakeFont(const wchar_t* face, int centiPoints, int weight, int dpiY);

}  // namespace win32
}  // namespace roamwise
