#include "windows_version.h"

#include <cstdint>
#include <cstring>

namespace roamwise {

const wchar_t kRefusalText[] = L"This program requires Windows 2000 and higher. Sorry";

std::wstring NameWindowsVersion(const OsVersionInfoA& info) {
    // The fields are compared as signed 32-bit numbers, the build whole.
    const auto platform = static_cast<std::int32_t>(info.dwPlatformId);
    const auto major = static_cast<std::int32_t>(info.dwMajorVersion);
    const auto minor = static_cast<std::int32_t>(info.dwMinorVersion);
    const auto build = static_cast<std::int32_t>(info.dwBuildNumber);
    switch (platform) {
    case 1:
        if (minor < 10) {
            if (build == 950) return L"Windows 95";
            if (build > 950 && build <= 1080) return L"Windows 95 SP1";
            return L"Windows 95 OSR2";
        }
        if (minor == 10) {
            if (build == 1998) return L"Windows 98";
            if (build > 1998 && build < 2183) return L"Windows 98 SP1";
            return L"Windows 98 SE";
        }
        return L"Windows ME";
    case 2:
        if (major == 3) return L"Windows NT 3.51";
        if (major == 4) return L"Windows NT 4.0";
        if (major == 5) return minor == 0 ? L"Windows 2000" : L"Windows XP";
        return L"";
    case 3:
        if (major == 1) return L"Windows CE 1.0";
        if (major == 2) return minor == 0 ? L"Windows CE 2.0" : L"Windows CE 2.1";
        return L"Windows CE 3.0";
    default:
        return L"Unable To get Windows Version";
    }
}

std::wstring GetWindowsVersion(Platform& platform, ErrorReport& report) {
    std::wstring name;
    report.Trap(L"GetWindowsVersion", [&] {
        OsVersionInfoA info;
        info.dwOSVersionInfoSize = sizeof info;
        std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
        platform.GetVersionExA(info);  // on failure the zeroed fields name no platform
        name = NameWindowsVersion(info);
    });
    return name;
}

bool WindowsVersionRefused(Platform& platform, ErrorReport& report) {
    const std::wstring first = GetWindowsVersion(platform, report).substr(0, 10);
    const std::wstring second = GetWindowsVersion(platform, report).substr(0, 10);
    return first == L"Windows 95" || second == L"Windows 98";
}

}  // namespace roamwise
