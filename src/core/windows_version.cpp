#include "windows_version.h"

namespace roamwise {

const wchar_t kRefusalText[] = L"This program requires Windows 2000 and higher. Sorry";

namespace {

constexpr std::uint32_t kWindows95Family = 1;  // VER_PLATFORM_WIN32_WINDOWS

}  // namespace

bool WindowsRefused(Platform& platform, ErrorReport& report) {
    std::uint32_t family = 0;
    report.Trap(L"GetWindowsVersion", [&] { family = platform.Version().platform; });
    return family == kWindows95Family;
}

}  // namespace roamwise
