// Stored window positions: the input's first line is a stored edge (each byte
// a character, as the registry's text reads back), the rest the window's
// width, height and title bar, then work areas as left top right bottom.
#include <sstream>

#include "fuzz.h"
#include "window_position.h"

using namespace roamwise;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wistringstream input(std::wstring(data, data + size));
    std::wstring edge;
    std::getline(input, edge);
    Point wanted{0, 0};
    try {  // a number reads back as itself; anything else is a type mismatch (13) or an overflow (6)
        wanted.left = TextToNumber(edge);
        FUZZ_CHECK(edge.find_first_not_of(L" +-0123456789") == std::wstring::npos && wanted.left == std::wcstol(edge.c_str(), nullptr, 10));
    } catch (const Failure& f) {
        FUZZ_CHECK(f.number == 13 || (f.number == 6 && edge.find_first_not_of(L" +-0123456789") == std::wstring::npos));
    }
    int width = 0, height = 0, bar = 0;
    input >> wanted.top >> width >> height >> bar;
    std::vector<Rect> areas;
    for (int l, t, r, b; input >> l >> t >> r >> b;) areas.push_back({l, t, r, b});
    const Point place = KeepTitleBarReachable(wanted, {width, height}, bar, areas);
    // The title bar's row lies whole on a work area, and some of the bar shows there.
    const auto reachable = [&](Point p) {
        return std::any_of(areas.begin(), areas.end(), [&](const Rect& a) {
            return a.top <= p.top && p.top + bar <= a.bottom && p.left < a.right && a.left < p.left + width;
        });
    };
    if (reachable(wanted)) FUZZ_CHECK(place.left == wanted.left && place.top == wanted.top);
    bool real = !areas.empty() && 0 < width && width <= 100000 && 0 <= bar && std::abs(wanted.top) <= 100000;
    for (const Rect& a : areas)  // on real screens the window always ends up reachable
        real = real && a.left < a.right && bar <= a.Height() && std::max({std::abs(a.left), std::abs(a.top), std::abs(a.right), std::abs(a.bottom)}) <= 100000;
    if (real) FUZZ_CHECK(reachable(place));
    return 0;
}
