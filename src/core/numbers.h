// Text-to-number conversion of stored window positions.
#pragma once

#include <cstdint>
#include <string>

namespace roamwise {

// A decimal whole number, optionally signed, blanks around it allowed.
// Throws Failure (type mismatch) for other text and (overflow) outside the
// signed 32-bit range.
std::int32_t TextToLong(const std::wstring& text);

// Same, but any text that does not convert gives fallback.
std::int32_t TextToLongOr(const std::wstring& text, std::int32_t fallback);

}  // namespace roamwise
