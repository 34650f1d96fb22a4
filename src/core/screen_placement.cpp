#include "screen_placement.h"

#include <cstdint>

namespace roamwise {

namespace {

using i64 = std::int64_t;

struct Span {
    i64 lo;
    i64 hi;
};

bool Overlaps(Span a, Span b) { return a.lo < b.hi && b.lo < a.hi; }

// Distance between two ranges along one axis; 0 when they overlap.
i64 Gap(Span a, Span b) {
    if (a.hi <= b.lo) return b.lo - a.hi;
    if (b.hi <= a.lo) return a.lo - b.hi;
    return 0;
}

// The start that puts a range of the given length inside the area, or at
// the area's start when it does not fit.
i64 Clamp(i64 start, i64 length, Span area) {
    if (start + length > area.hi) start = area.hi - length;
    if (start < area.lo) start = area.lo;
    return start;
}

}  // namespace

Point KeepOnScreen(Point wanted, Size size, const std::vector<Rect>& workAreas) {
    // 64-bit arithmetic: stored positions may lie anywhere in the 32-bit range.
    const Span x{wanted.left, static_cast<i64>(wanted.left) + size.width};
    const Span y{wanted.top, static_cast<i64>(wanted.top) + size.height};
    const Rect* nearest = nullptr;
    double best = 0;
    for (const Rect& area : workAreas) {
        const Span ax{area.left, area.right};
        const Span ay{area.top, area.bottom};
        if (Overlaps(x, ax) && Overlaps(y, ay)) return wanted;
        const double dx = static_cast<double>(Gap(x, ax));
        const double dy = static_cast<double>(Gap(y, ay));
        const double d = dx * dx + dy * dy;
        if (!nearest || d < best) {
            nearest = &area;
            best = d;
        }
    }
    if (!nearest) return wanted;
    return {static_cast<long>(Clamp(x.lo, size.width, {nearest->left, nearest->right})),
            static_cast<long>(Clamp(y.lo, size.height, {nearest->top, nearest->bottom}))};
}

}  // namespace roamwise
