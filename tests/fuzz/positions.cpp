// Stored window positions: the input's first two lines are the stored left and
// top edges (each byte a character, as the registry's text reads back), the
// rest the window's width, height and title bar, then work areas as left top
// right bottom.
#include <sstream>

#include "fuzz.h"
#include "window_position.h"

using namespace roamwise;

// An edge as Restore reads it, checked against a reading worked out apart:
// blanks, a sign, digits, blanks; other text fails with 13, beyond 32 bits 6.
static long Edge(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' '), last = text.find_last_not_of(L' ');
    const std::wstring word = first == std::wstring::npos ? L"" : text.substr(first, last + 1 - first);
    const std::size_t sign = !word.empty() && (word[0] == L'-' || word[0] == L'+');
    const bool isNumber = word.size() > sign && word.find_first_not_of(L"0123456789", sign) == std::wstring::npos;
    const long double expected = isNumber ? std::wcstold(word.c_str(), nullptr) : 0;
    const long failure = !isNumber ? 13 : expected < INT32_MIN || expected > INT32_MAX ? 6 : 0;
    try {
        const std::int32_t value = TextToNumber(text);
        FUZZ_CHECK(failure == 0 && value == expected);
        return value;
    } catch (const Failure& f) {
        FUZZ_CHECK(f.number == failure);
        return 0;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wistringstream input(std::wstring(data, data + size));
    std::wstring left, top;
    std::getline(input, left), std::getline(input, top);
    const Point wanted{Edge(left), Edge(top)};
    int width = 0, height = 0, bar = 0;
    input >> width >> height >> bar;
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
    // Where the screens are real ones, the window always ends up reachable.
    bool real = !areas.empty() && 0 < width && width <= 100000 && 0 <= bar;
    for (const Rect& a : areas)
        for (long edge : {a.left, a.top, a.right, a.bottom})
            real = real && -100000 <= edge && edge <= 100000 && a.left < a.right && bar <= a.Height();
    if (real) FUZZ_CHECK(reachable(place));
    return 0;
}
