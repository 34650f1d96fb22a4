// Directory search and file operations of the Win32 adapter.
#include <gtest/gtest.h>

#include "scratch.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "failure.h"
#include "win32_platform.h"

using roamwise::DirEntry;
using roamwise::Failure;
using roamwise::win32::Win32Platform;
using roamwise_test::Exists;
using roamwise_test::GetFile;
using roamwise_test::Narrow;
using roamwise_test::PutFile;
using roamwise_test::ScratchDir;
namespace attr = roamwise::attr;

namespace {

constexpr std::uint32_t kWatched = attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kDirectory;

std::map<std::wstring, std::uint32_t> ByName(const std::vector<DirEntry>& entries) {
    std::map<std::wstring, std::uint32_t> names;
    for (const auto& entry : entries) names[entry.name] = entry.attributes;
    return names;
}

TEST(Win32PlatformFiles, DirectorySearchReturnsEveryEntryWithItsAttributes) {
    struct Case {
        const wchar_t* name;
        bool directory;
        DWORD set;              // attributes given after creation
        std::uint32_t expected; // of the watched bits
    };
    const Case cases[] = {
        {L"normal.txt", false, 0, 0},
        {L"hidden.txt", false, FILE_ATTRIBUTE_HIDDEN, attr::kHidden},
        {L"system.txt", false, FILE_ATTRIBUTE_SYSTEM, attr::kSystem},
        {L"readonly.txt", false, FILE_ATTRIBUTE_READONLY, attr::kReadOnly},
        {L"both.txt", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, attr::kHidden | attr::kSystem},
        {L"x.txt", true, 0, attr::kDirectory},
        {L"home office.txt", false, 0, 0},
    };
    ScratchDir dir(L"find");
    for (const auto& c : cases) {
        std::wstring path = dir / c.name;
        if (c.directory) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        } else {
            PutFile(path, "x");
        }
        if (c.set != 0) {
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), c.set));
        }
    }

    Win32Platform platform;
    const auto names = ByName(platform.FindFiles(dir.path() + L"\\*"));

    EXPECT_EQ(names.size(), std::size(cases) + 2);  // with "." and ".."
    for (const wchar_t* dot : {L".", L".."}) {
        ASSERT_EQ(names.count(dot), 1u) << Narrow(dot);
        EXPECT_TRUE(names.at(dot) & attr::kDirectory) << Narrow(dot);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        ASSERT_EQ(names.count(c.name), 1u);
        EXPECT_EQ(names.at(c.name) & kWatched, c.expected);
    }
}

TEST(Win32PlatformFiles, DirectorySearchFindingNothingGivesNoEntries) {
    ScratchDir dir(L"empty");
    PutFile(dir / L"only.doc", "x");
    ASSERT_TRUE(CreateDirectoryW((dir / L"empty").c_str(), nullptr));
    struct Case {
        const char* what;
        std::wstring pattern;
        std::set<std::wstring> expected;
    };
    const Case cases[] = {
        {"empty directory, all entries", dir / L"empty\\*", {L".", L".."}},
        {"empty directory, text files", dir / L"empty\\*.txt", {}},
        {"pattern without a match", dir / L"*.txt", {}},
        {"missing file", dir / L"missing.txt", {}},
        {"missing directory", dir / L"missing\\*", {}},
        {"missing nested directory", dir / L"missing\\deeper\\*", {}},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::set<std::wstring> found;
        for (const auto& entry : platform.FindFiles(c.pattern)) found.insert(entry.name);
        EXPECT_EQ(found, c.expected);
    }
}

TEST(Win32PlatformFiles, DirectorySearchFailureThrowsTheSystemError) {
    Win32Platform platform;
    try {
        platform.FindFiles(L"C:\\a|b\\*");
        FAIL() << "an invalid name was searched without failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number, ERROR_INVALID_NAME);
        EXPECT_EQ(failure.description, platform.ErrorText(ERROR_INVALID_NAME));
    }
}

TEST(Win32PlatformFiles, DirectorySearchListsALargeDirectoryFully) {
    constexpr int kFiles = 4000;
    ScratchDir dir(L"many");
    for (int i = 0; i < kFiles; ++i) {
        std::wstring path = dir / (L"p" + std::to_wstring(i) + L".txt");
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << i;
        CloseHandle(file);
    }
    Win32Platform platform;
    const auto entries = platform.FindFiles(dir.path() + L"\\*.txt");
    std::set<std::wstring> names;
    for (const auto& entry : entries) names.insert(entry.name);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kFiles));
    for (int i : {0, 1, kFiles / 2, kFiles - 1}) EXPECT_EQ(names.count(L"p" + std::to_wstring(i) + L".txt"), 1u) << i;
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

TEST(Win32PlatformFiles, WrittenBytesReadBackUnchanged) {
    std::string everyByte;
    for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
    struct Case {
        const char* what;
        std::string before;  // content of an older file of that name, if any
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"one line", "", "netsh -c interface dump > C:\\PROG~1\\x.txt\r\n"},
        {"every byte value", "", everyByte},
        {"longer file replaced by a shorter one", std::string(1000, 'z'), "short\r\n"},
        {"five megabytes", "", Pattern(5 * 1024 * 1024 + 17)},
    };
    ScratchDir dir(L"rw");
    Win32Platform platform;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring path = dir / (L"f" + std::to_wstring(++n) + L".bin");
        if (!c.before.empty()) PutFile(path, c.before);
        platform.WriteFile(path, c.bytes);
        EXPECT_TRUE(GetFile(path) == c.bytes) << "file on disk differs";
        EXPECT_TRUE(platform.ReadFile(path) == c.bytes) << "bytes read differ";
    }
}

TEST(Win32PlatformFiles, FileOperationsChangeTheDisk) {
    ScratchDir dir(L"ops");
    Win32Platform platform;

    PutFile(dir / L"gone.txt", "x");
    platform.DeleteFile(dir / L"gone.txt");
    EXPECT_FALSE(Exists(dir / L"gone.txt"));

    PutFile(dir / L"new.txt", "new");
    PutFile(dir / L"old.txt", "old content");
    platform.MoveFile(dir / L"new.txt", dir / L"old.txt");
    EXPECT_FALSE(Exists(dir / L"new.txt"));
    EXPECT_EQ(GetFile(dir / L"old.txt"), "new");

    platform.MoveFile(dir / L"old.txt", dir / L"renamed.txt");
    EXPECT_EQ(GetFile(dir / L"renamed.txt"), "new");

    platform.CreateDirectory(dir / L"Profiles");
    DWORD attributes = GetFileAttributesW((dir / L"Profiles").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    PutFile(dir / L"Profiles\\home.txt", "kept");
    platform.CreateDirectory(dir / L"Profiles");  // already there: no failure, contents kept
    EXPECT_EQ(GetFile(dir / L"Profiles\\home.txt"), "kept");
}

TEST(Win32PlatformFiles, FailedFileOperationsThrowTheSystemError) {
    ScratchDir dir(L"fail");
    PutFile(dir / L"file.txt", "x");
    Win32Platform platform;
    struct Case {
        const char* what;
        std::function<void()> operation;
        long expected;
    };
    const Case cases[] = {
        {"delete a missing file", [&] { platform.DeleteFile(dir / L"missing.txt"); }, ERROR_FILE_NOT_FOUND},
        {"read a missing file", [&] { platform.ReadFile(dir / L"missing.txt"); }, ERROR_FILE_NOT_FOUND},
        {"read in a missing directory", [&] { platform.ReadFile(dir / L"no\\x.txt"); }, ERROR_PATH_NOT_FOUND},
        {"write in a missing directory", [&] { platform.WriteFile(dir / L"no\\x.txt", "x"); }, ERROR_PATH_NOT_FOUND},
        {"move a missing file", [&] { platform.MoveFile(dir / L"missing.txt", dir / L"y.txt"); }, ERROR_FILE_NOT_FOUND},
        {"directory over an existing file", [&] { platform.CreateDirectory(dir / L"file.txt"); }, ERROR_ALREADY_EXISTS},
        {"directory in a missing directory", [&] { platform.CreateDirectory(dir / L"no\\sub"); }, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.operation();
            ADD_FAILURE() << "no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number, c.expected);
            EXPECT_EQ(failure.description, platform.ErrorText(c.expected));
        }
    }
    EXPECT_EQ(GetFile(dir / L"file.txt"), "x");
}

TEST(Win32PlatformFiles, ApplicationAndSystemDirectoriesHoldTheirPrograms) {
    Win32Platform platform;
    struct Case {
        const char* what;
        std::wstring directory;
        const wchar_t* program;
    };
    const Case cases[] = {
        {"application directory", platform.ApplicationDirectory(), L"win32_platform_tests.exe"},
        {"system directory", platform.SystemDirectory(), L"cmd.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.directory.empty());
        EXPECT_NE(c.directory.back(), L'\\');
        EXPECT_TRUE(Exists(c.directory + L"\\" + c.program)) << Narrow(c.directory);
    }
}

}  // namespace

namespace {

// The short form as the directory search names each part of the path.
std::string ExpectedShortForm(const std::wstring& path) {
    std::wstring result = path.substr(0, 2);  // drive
    std::wstring::size_type start = 3;
    std::wstring sofar = path.substr(0, 2);
    while (start <= path.size()) {
        std::wstring::size_type end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        sofar = path.substr(0, end);
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW(sofar.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return "<missing>";
        FindClose(search);
        result += L"\\";
        result += data.cAlternateFileName[0] != 0 ? data.cAlternateFileName : data.cFileName;
        start = end + 1;
    }
    return Narrow(result);
}

TEST(Win32PlatformFiles, ShortPathNamesComeFromTheSystem) {
    ScratchDir dir(L"short");
    const std::wstring blanks = dir / L"Roamwise Test Profiles";
    ASSERT_TRUE(CreateDirectoryW(blanks.c_str(), nullptr));
    const std::wstring longName = dir / L"averyverylongname.text";
    PutFile(longName, "x");
    Win32Platform platform;
    const std::string shortBlanks = ExpectedShortForm(blanks);
    ASSERT_EQ(shortBlanks.find(' '), std::string::npos) << shortBlanks;

    struct Case {
        const char* what;
        std::string path;
        std::string expected;  // empty: the call fails
    };
    const Case cases[] = {
        {"directory with blanks", Narrow(blanks), shortBlanks},
        {"long file name", Narrow(longName), ExpectedShortForm(longName)},
        {"short form given again", shortBlanks, shortBlanks},
        {"system directory", Narrow(platform.SystemDirectory()), ExpectedShortForm(platform.SystemDirectory())},
        {"missing directory", Narrow(dir / L"Missing Dir"), ""},
        {"missing parent", Narrow(dir / L"Missing\\Profiles"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.path);
        char buffer[1024];
        std::memset(buffer, ' ', sizeof buffer);
        const std::uint32_t r = platform.GetShortPathNameA(c.path, buffer, sizeof buffer);
        if (c.expected.empty()) {
            EXPECT_EQ(r, 0u);
            continue;
        }
        ASSERT_EQ(r, c.expected.size());
        EXPECT_EQ(std::string(buffer, r), c.expected);
        EXPECT_EQ(buffer[r], '\0');

        char tiny[2] = {'?', '?'};
        EXPECT_EQ(platform.GetShortPathNameA(c.path, tiny, sizeof tiny), c.expected.size() + 1)
            << "a short buffer learns the size it needs, terminating zero included";
    }
}

}  // namespace
