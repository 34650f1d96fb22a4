// What the fuzz targets share: a property check that fails the run as a crash
// does (libFuzzer keeps the input), and the core tests' machine and windows.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "fake_machine.h"

#define FUZZ_CHECK(c) ((c) ? void() : (std::fprintf(stderr, "broken: %s (line %d)\n", #c, __LINE__), std::abort()))

// Bytes as UTF-16 code units, low byte first, as Windows passes text.
inline std::wstring Utf16(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    return text;
}

inline fake::Machine Folder() { return fake::Machine(L"C:\\Program Files\\Roamwise", L"C:\\PROGRA~1\\Roamwise"); }
