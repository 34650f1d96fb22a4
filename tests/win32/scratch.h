// Scratch directories, registry keys and raw file helpers for the adapter
// tests. They call the system directly, so that a fault in the adapter
// cannot hide itself.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

// The tests call the adapter's methods by their plain names, which
// <windows.h> would otherwise turn into its W functions.
#undef DeleteFile
#undef MoveFile
#undef CreateDirectory

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace roamwise_test {

inline std::string Narrow(const std::wstring& ascii) {
    std::string text;
    for (wchar_t c : ascii) text += c < 128 ? static_cast<char>(c) : '?';
    return text;
}

inline std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveTree(const std::wstring& path) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files resist deletion
    std::filesystem::remove_all(path, ignored);
}

// A fresh directory under the temporary directory, removed with its
// contents when the test ends.
class ScratchDir {
public:
    explicit ScratchDir(const std::wstring& tag) {
        static unsigned counter = 0;
        do {
            path_ = (std::filesystem::temp_directory_path() /
                     (L"rw-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter)))
                        .wstring();
        } while (!std::filesystem::create_directory(path_));
    }
    ~ScratchDir() { RemoveTree(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Creates or replaces a file with the bytes; fails the test on error.
inline void PutFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    ASSERT_TRUE(file.write(bytes.data(), bytes.size()).flush()) << "cannot write " << Narrow(path);
}

// The whole file, or "<missing>" when it cannot be opened.
inline std::string GetFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

// HKLM\SOFTWARE\RoamwiseTest\<pid>\...: created by a test, removed after.
class TestKey {
public:
    TestKey() : base_("SOFTWARE\\RoamwiseTest\\" + std::to_string(GetCurrentProcessId())) {}
    ~TestKey() {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, base_.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\RoamwiseTest");  // only if no other run uses it
    }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const std::string& path() const { return base_; }
    std::string operator/(const std::string& rest) const { return base_ + "\\" + rest; }

private:
    std::string base_;
};

}  // namespace roamwise_test
