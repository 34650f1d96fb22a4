// The start-up gate: Roamwise refuses the Windows 95 family (95, 98 and
// Me), where most wide-character functions are stubs that fail.
#pragma once

#include "error_report.h"
#include "platform.h"

namespace roamwise {

// True when the gate refuses this system. When the system cannot say what
// it is (reported under "GetWindowsVersion"), it is let through.
bool WindowsRefused(Platform& platform, ErrorReport& report);

extern const wchar_t kRefusalText[];

}  // namespace roamwise
