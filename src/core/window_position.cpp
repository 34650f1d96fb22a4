#include "window_position.h"

#include <cstdint>

namespace roamwise {

void WindowPosition::Restore(bool strict) {
    // Both edges are read before the window moves.
    const long left = ReadEdge(L"Left", strict);
    const long top = ReadEdge(L"Top", strict);
    const Rect now = window_.Placement();
    const Point place =
        KeepTitleBarReachable({left, top}, {now.Width(), now.Height()}, window_.TitleBarHeight(), window_.WorkAreas());
    window_.MoveTo(place.left, place.top);
}

long WindowPosition::ReadEdge(const wchar_t* edge, bool strict) {
    std::wstring text = L"0";
    report_.Trap(L"ReadEntry", [&] { text = platform_.ReadSetting(prefix_ + edge).value_or(L"0"); });
    if (strict) return TextToNumber(text);
    try {
        return TextToNumber(text);
    } catch (const Failure&) {
        return 0;  // the program only ever stores numbers
    }
}

void WindowPosition::Store() {
    const Rect now = window_.Placement();
    report_.Trap(L"WriteEntry", [&] { platform_.WriteSetting(prefix_ + L"Left", std::to_wstring(now.left)); });
    report_.Trap(L"WriteEntry", [&] { platform_.WriteSetting(prefix_ + L"Top", std::to_wstring(now.top)); });
}

std::int32_t TextToNumber(const std::wstring& text) {
    std::size_t i = text.find_first_not_of(L' ');
    if (i == std::wstring::npos) i = text.size();
    const bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
    const std::size_t digits = i;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value <= 2147483648LL) value = value * 10 + (text[i] - L'0');
    }
    const bool trailingBlanksOnly = text.find_first_not_of(L' ', i) == std::wstring::npos;
    if (i == digits || !trailingBlanksOnly) throw Failure{13, L"Type mismatch", L""};
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) throw Failure{6, L"Overflow", L""};
    return static_cast<std::int32_t>(value);
}

namespace {

using i64 = std::int64_t;

struct Span {
    i64 lo;
    i64 hi;
};

bool Overlaps(Span a, Span b) { return a.lo < b.hi && b.lo < a.hi; }

// The start that puts a range of this length inside the area, or at the
// area's start when it does not fit.
i64 Clamp(i64 start, i64 length, Span area) {
    if (start + length > area.hi) start = area.hi - length;
    if (start < area.lo) start = area.lo;
    return start;
}

}  // namespace

Point KeepTitleBarReachable(Point wanted, Size size, long titleBar, const std::vector<Rect>& workAreas) {
    // 64-bit arithmetic: stored positions may lie anywhere in the 32-bit range.
    const Span x{wanted.left, static_cast<i64>(wanted.left) + size.width};
    Point best = wanted;
    double bestDistance = -1;
    for (const Rect& area : workAreas) {
        const Span ax{area.left, area.right};
        const i64 left = Overlaps(x, ax) ? x.lo : Clamp(x.lo, size.width, ax);
        const i64 top = Clamp(wanted.top, titleBar, {area.top, area.bottom});
        const double dx = static_cast<double>(left - x.lo);
        const double dy = static_cast<double>(top - wanted.top);
        if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
            best = {static_cast<long>(left), static_cast<long>(top)};
            bestDistance = dx * dx + dy * dy;
        }
    }
    return best;
}

}  // namespace roamwise
