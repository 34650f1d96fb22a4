// The profile name rules: how a typed name becomes a file name, and which
// names are refused because they would be unsafe in a path or command line.
#pragma once

#include <string>

#include "platform.h"

namespace roamwise {

// The typed name with every blank turned into "_".
std::wstring ProfileFileName(const std::wstring& typed);

// Why a profile file name cannot be used, or the empty text when it can.
// fullPath is the profile file's full path, checked against the system's limit.
std::wstring ProfileNameProblem(Platform& platform, const std::wstring& fileName,
                                const std::wstring& fullPath);

}  // namespace roamwise
