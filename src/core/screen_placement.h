// Keeps a restored window reachable when the screen it was on is gone.
#pragma once

#include <vector>

#include "view.h"

namespace roamwise {

struct Point {
    long left = 0;
    long top = 0;
    bool operator==(const Point& o) const { return left == o.left && top == o.top; }
};

// Where a window of the given size, wanted at the given place, should go:
// there when any part of it lies on a work area, else moved wholly onto the
// nearest work area (as far as it fits).
Point KeepOnScreen(Point wanted, Size size, const std::vector<Rect>& workAreas);

}  // namespace roamwise
