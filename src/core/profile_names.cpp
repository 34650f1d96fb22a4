#include "profile_names.h"

#include <cwctype>

namespace roamwise {

namespace {

// Longest path the file functions take, less the terminating zero.
constexpr std::size_t kMaxPath = 259;

// Characters Windows forbids in file names.
constexpr wchar_t kForbidden[] = L"\\/:*?\"<>|";
// Characters the command interpreter gives a meaning of its own in the
// batch line: they would cut, redirect or expand the command.
constexpr wchar_t kShellSpecial[] = L"&^%!();,=";

bool IsReservedDeviceName(const std::wstring& fileName) {
    // CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name devices with or
    // without an extension.
    std::wstring base = fileName.substr(0, fileName.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (auto& c : base) c = static_cast<wchar_t>(std::towupper(c));
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") return true;
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
        base[3] >= L'1' && base[3] <= L'9')
        return true;
    return false;
}

std::wstring Quoted(wchar_t c) { return std::wstring(L"\"") + c + L"\""; }

}  // namespace

std::wstring ProfileFileName(const std::wstring& typed) {
    std::wstring name = typed;
    for (auto& c : name) {
        if (c == L' ') c = L'_';
    }
    return name;
}

std::wstring ProfileNameProblem(Platform& platform, const std::wstring& fileName, const std::wstring& fullPath) {
    for (wchar_t c : fileName) {
        if (c < 32 || c == 127) return L"A profile name cannot contain control characters.";
        for (const wchar_t* f = kForbidden; *f; ++f) {
            if (c == *f) return L"A profile name cannot contain the character " + Quoted(c) + L".";
        }
        for (const wchar_t* s = kShellSpecial; *s; ++s) {
            if (c == *s) return L"A profile name cannot contain the character " + Quoted(c) + L".";
        }
    }
    std::string ansi;
    if (!platform.ToAnsi(fileName, ansi))
        return L"A profile name can only hold characters of the system's code page.";
    if (IsReservedDeviceName(fileName)) return L"\"" + fileName + L"\" is a name Windows keeps for a device.";
    std::string ansiPath;
    platform.ToAnsi(fullPath, ansiPath);
    if (ansiPath.size() > kMaxPath) return L"The profile name is too long.";
    return L"";
}

}  // namespace roamwise
