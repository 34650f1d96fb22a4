// Where a window was left, kept as two settings in twips (FormLeft and
// FormTop for the main window, Form2Left and Form2Top for the viewer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "error_report.h"
#include "platform.h"
#include "view.h"

namespace roamwise {

class WindowPosition {
public:
    // prefix: "Form" or "Form2".
    WindowPosition(Platform& platform, ErrorReport& report, PlacedWindow& window, std::wstring prefix)
        : platform_(platform), report_(report), window_(window), prefix_(std::move(prefix)) {}

    // Moves the window where it was stored, moved as little as keeps its
    // title bar within reach. strict: text that is not a 32-bit number
    // throws (type mismatch, overflow); otherwise it reads as 0.
    void Restore(bool strict);
    void Store();

private:
    long ReadEdge(const wchar_t* edge, bool strict);

    Platform& platform_;
    ErrorReport& report_;
    PlacedWindow& window_;
    std::wstring prefix_;
};

// A decimal whole number, optionally signed, with blanks around it. Throws
// Failure 13 (type mismatch) for other text, 6 (overflow) beyond 32 bits.
std::int32_t TextToNumber(const std::wstring& text);

struct Point {
    long left = 0;
    long top = 0;
};

// Where a window of this size, wanted at this place, goes: there when the
// row of its title bar (titleBar high) lies whole on a work area and some of
// the bar shows there; else moved the least distance that makes it so (and
// wholly onto the area sideways when none of it would show).
Point KeepTitleBarReachable(Point wanted, Size size, long titleBar, const std::vector<Rect>& workAreas);

}  // namespace roamwise
