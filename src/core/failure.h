// A run-time failure as the error report shows it: a number and a description.
// Platform operations throw it; the trapped procedures catch it and report it.
#pragma once

#include <string>

namespace roamwise {

struct Failure {
    long number = 0;
    std::wstring description;
};

// Numbers used for failures that the core raises itself (text-to-number
// conversion); platform failures carry the system's own error code and text.
constexpr long kTypeMismatch = 13;
constexpr long kOverflow = 6;

}  // namespace roamwise
