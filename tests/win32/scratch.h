// Scratch directories and raw file helpers for the adapter tests. They use
// the system directly, so that a fault in the adapter cannot hide itself.
#pragma once

#include <windows.h>

// The tests call the adapter's methods by their plain names, which
// <windows.h> would otherwise turn into its W functions.
#undef DeleteFile
#undef MoveFile
#undef CreateDirectory

#include <string>

namespace roamwise_test {

// A fresh directory under the temporary directory, removed with its
// contents when the test ends.
class ScratchDir {
public:
    explicit ScratchDir(const std::wstring& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);

// Creates or replaces a file with the bytes; fails the test on error.
void PutFile(const std::wstring& path, const std::string& bytes);
// The whole file, or "<missing>" when it cannot be opened.
std::string GetFile(const std::wstring& path);
bool Exists(const std::wstring& path);

// HKLM\SOFTWARE\RoamwiseTest\<pid>\...: created by a test, removed after.
class TestKey {
public:
    TestKey();
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const std::string& path() const { return base_; }
    std::string operator/(const std::string& rest) const { return base_ + "\\" + rest; }

private:
    std::string base_;
};

std::string Narrow(const std::wstring& ascii);
std::wstring Widen(const std::string& ascii);

}  // namespace roamwise_test
