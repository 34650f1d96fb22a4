// What the fuzz targets share: a property check that fails the run as a crash
// does (libFuzzer keeps the input), UTF-16 input, and an empty machine.
#pragma once

#include <algorithm>
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

// No files, settings or tools; its code pages are Latin-1.
struct EmptyMachine : roamwise::Platform {
    using S = const std::wstring&;
    std::wstring ProgramFolder() override { return L"C:\\Program Files\\Roamwise"; }
    std::wstring SystemFolder() override { return L"C:\\WINDOWS\\system32"; }
    std::vector<roamwise::FileEntry> List(S) override { return {}; }
    void Delete(S) override {} void Move(S, S) override {} void SetReadOnly(S, bool) override {}
    void CreateFolder(S) override {} void Write(S, const std::string&) override {} void WriteSetting(S, S) override {}
    std::string Read(S) override { return {}; }
    std::wstring ShortPath(S) override { return {}; }
    std::optional<std::wstring> ReadSetting(S) override { return {}; }
    roamwise::Process Start(S, S, S) override { return {}; }
    std::uint32_t WaitForExit(roamwise::Process) override { return 0; }
    std::wstring ActiveAddress() override { return L"127.0.0.1"; }
    roamwise::WindowsVersion Version() override { return {2, 5, 1, 2600}; }
    roamwise::FolderClaim ClaimProgramFolder(S) override { return roamwise::FolderClaim::Claimed; }
    bool ToAnsi(S text, std::string& bytes) override {
        bytes.assign(text.begin(), text.end());
        return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 256; });
    }
    bool ToOem(S text, std::string& bytes) override { return ToAnsi(text, bytes); }
    std::wstring FromOem(const std::string& bytes) override { return {bytes.begin(), bytes.end()}; }
    bool SameFileName(S a, S b) override { return a == b; }
    std::wstring ErrorText(long) override { return {}; }
};
