// modGetWindowsVersion: names the running Windows, and the start-up gate
// that refuses the Windows 95 and 98 families.
#pragma once

#include <string>

#include "error_report.h"
#include "platform.h"

namespace roamwise {

// The decision table alone, on a filled version record.
std::wstring NameWindowsVersion(const OsVersionInfoA& info);

// Asks the system afresh and names it.
std::wstring GetWindowsVersion(Platform& platform, ErrorReport& report);

// True when the gate refuses this system (the caller then shows the
// refusal and ends the program).
bool WindowsVersionRefused(Platform& platform, ErrorReport& report);

extern const wchar_t kRefusalText[];

}  // namespace roamwise
