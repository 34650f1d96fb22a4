#include "numbers.h"

#include <cstdint>

#include "failure.h"

namespace roamwise {

std::int32_t TextToLong(const std::wstring& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == L' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    const std::size_t digitsStart = i;
    std::int64_t value = 0;
    bool overflow = false;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483648LL) {
            overflow = true;
            value = 2147483648LL;
        }
    }
    const std::size_t digitsEnd = i;
    while (i < n && text[i] == L' ') ++i;
    if (digitsEnd == digitsStart || i != n) throw Failure{kTypeMismatch, L"Type mismatch"};
    if (negative) value = -value;
    if (overflow || value > INT32_MAX || value < INT32_MIN) throw Failure{kOverflow, L"Overflow"};
    return static_cast<std::int32_t>(value);
}

std::int32_t TextToLongOr(const std::wstring& text, std::int32_t fallback) {
    try {
        return TextToLong(text);
    } catch (const Failure&) {
        return fallback;
    }
}

}  // namespace roamwise
