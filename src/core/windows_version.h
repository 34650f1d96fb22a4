// Names the running Windows, and the start-up gate that refuses the
// Windows 95 family (95, 98 and Me).
#pragma once

#include <string>

#include "error_report.h"
#include "platform.h"

namespace roamwise {

// The display name for a version record ("Windows XP", ...); the empty
// text for NT-family versions after XP.
std::wstring NameWindowsVersion(const WindowsVersion& version);

// True when the gate refuses this system.
bool WindowsRefused(Platform& platform, ErrorReport& report);

extern const wchar_t kRefusalText[];

}  // namespace roamwise
