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

// Where a window of the given rectangle should go: where it is when any part
// of it lies on a work area, else moved wholly onto the nearest work area.
Point KeepOnScreen(const Rect& window, const std::vector<Rect>& workAreas);

}  // namespace roamwise
