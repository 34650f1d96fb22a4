// What the fuzz targets share: a property check that fails the run as a crash
// does (libFuzzer keeps the input), UTF-16 input, and an empty machine.
#pragma once

#include <algorithm>
#include <cwctype>
#include <cstdio>
#include <cstdlib>

#include "platform.h"

#define FUZZ_CHECK(c) ((c) ? void() : (std::fprintf(stderr, "broken: %s (line %d)\n", #c, __LINE__), std::abort()))

// Bytes as UTF-16 code units, low byte first, as Windows passes text.
inline std::wstring Utf16(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    return text;
}

// A program folder whose Profiles folder holds the given files, and tools that
// all print the same bytes (netsh failing with 1); its code pages are Latin-1.
struct Machine : roamwise::Platform {
    using S = const std::wstring&;
    std::vector<std::wstring> profiles;
    std::string printed;
    std::vector<roamwise::ToolOutput*> outputs;
    static std::wstring Upper(std::wstring s) { return std::transform(s.begin(), s.end(), s.begin(), towupper), s; }
    std::wstring ProgramFolder() override { return L"C:\\Program Files\\Roamwise"; }
    std::wstring SystemFolder() override { return L"C:\\WINDOWS\\system32"; }
    std::vector<roamwise::FileEntry> List(S pattern) override {
        std::vector<roamwise::FileEntry> found;
        for (S name : profiles)
            if (pattern.back() == L'*' || SameFileName(pattern, ProgramFolder() + L"\\Profiles\\" + name)) found.push_back({name});
        return found;
    }
    void Delete(S) override {} void Move(S, S) override {} void Rename(S, S) override {} void SetReadOnly(S, bool) override {}
    std::wstring ProgramFile() override { return ProgramFolder() + L"\\Roamwise.exe"; }
    std::wstring DesktopFolder() override { return L"C:\\Desktop"; }
    void MakeShortcut(const roamwise::Shortcut&) override {}
    void CreateFolder(S) override {} void Write(S, const std::string&) override {} void WriteSetting(S, S) override {}
    std::string Read(S) override { return printed; }
    std::wstring ShortPath(S path) override { return path; }
    std::optional<std::wstring> ReadSetting(S) override { return {}; }
    roamwise::Process Start(S, S, S, roamwise::ToolOutput* out) override { return outputs.push_back(out), roamwise::Process{outputs.size()}; }
    std::uint32_t WaitForExit(roamwise::Process p) override {
        if (auto* out = outputs[p.handle - 1]) return out->Printed(printed.data(), printed.size()), 1;
        return 0;
    }
    std::wstring ActiveAddress() override { return L"127.0.0.1"; }
    roamwise::WindowsVersion Version() override { return {2, 5, 1, 2600}; }
    roamwise::FolderClaim ClaimProgramFolder() override { return roamwise::FolderClaim::Claimed; }
    roamwise::HandOverAnswer HandOverLoad(S) override { return {}; }
    bool ToAnsi(S text, std::string& bytes) override {
        bytes.assign(text.begin(), text.end());
        return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 256; });
    }
    bool ToOem(S text, std::string& bytes) override { return ToAnsi(text, bytes); }
    std::wstring FromOem(const std::string& bytes) override { return {bytes.begin(), bytes.end()}; }
    bool SameFileName(S a, S b) override { return Upper(a) == Upper(b); }
    std::wstring ErrorText(long) override { return {}; }
};
