#include "windows_version.h"

#include <cstdint>

namespace roamwise {

const wchar_t kRefusalText[] = L"This program requires Windows 2000 and higher. Sorry";

namespace {

const wchar_t* Name95Family(std::int32_t minor, std::int32_t build) {
    if (minor < 10) {
        if (build == 950) return L"Windows 95";
        return build > 950 && build <= 1080 ? L"Windows 95 SP1" : L"Windows 95 OSR2";
    }
    if (minor == 10) {
        if (build == 1998) return L"Windows 98";
        return build > 1998 && build < 2183 ? L"Windows 98 SP1" : L"Windows 98 SE";
    }
    return L"Windows ME";
}

const wchar_t* NameNtFamily(std::int32_t major, std::int32_t minor) {
    if (major == 3) return L"Windows NT 3.51";
    if (major == 4) return L"Windows NT 4.0";
    if (major == 5) return minor == 0 ? L"Windows 2000" : L"Windows XP";
    return L"";
}

const wchar_t* NameCeFamily(std::int32_t major, std::int32_t minor) {
    if (major == 1) return L"Windows CE 1.0";
    if (major == 2) return minor == 0 ? L"Windows CE 2.0" : L"Windows CE 2.1";
    return L"Windows CE 3.0";
}

std::wstring AskWindowsVersion(Platform& platform, ErrorReport& report) {
    std::wstring name;
    report.Trap(L"GetWindowsVersion", [&] { name = NameWindowsVersion(platform.Version()); });
    return name;
}

}  // namespace

std::wstring NameWindowsVersion(const WindowsVersion& version) {
    // The numbers are compared as signed 32-bit values, the build whole.
    const auto major = static_cast<std::int32_t>(version.major);
    const auto minor = static_cast<std::int32_t>(version.minor);
    switch (static_cast<std::int32_t>(version.platform)) {
    case 1: return Name95Family(minor, static_cast<std::int32_t>(version.build));
    case 2: return NameNtFamily(major, minor);
    case 3: return NameCeFamily(major, minor);
    default: return L"Unable To get Windows Version";
    }
}

bool WindowsRefused(Platform& platform, ErrorReport& report) {
    // The whole Windows 95 family: 95, 98 and Me, whose W functions mostly fail.
    const std::wstring name = AskWindowsVersion(platform, report);
    return name.compare(0, 10, L"Windows 95") == 0 || name.compare(0, 10, L"Windows 98") == 0 || name == L"Windows ME";
}

}  // namespace roamwise
