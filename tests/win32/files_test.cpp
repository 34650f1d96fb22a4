// Directory search, file operations, short names and the program's
// directories in the Win32 adapter.
#include "scratch.h"

#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "failure.h"
#include "win32_platform.h"

using roamwise::Failure;
using roamwise::win32::Win32Platform;
using namespace roamwise_test;
namespace attr = roamwise::attr;

namespace {

// Runs the operation; the error it throws, or 0 when it succeeds. A thrown
// failure must carry the system's text for its number.
long ErrorOf(Win32Platform& platform, const std::function<void()>& operation) {
    try {
        operation();
        return 0;
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description, platform.ErrorText(failure.number));
        return failure.number;
    }
}

TEST(Win32PlatformFiles, DirectorySearchGivesEveryEntryWithItsAttributesOrNothingOrTheSystemError) {
    struct Case {
        const wchar_t* name;
        DWORD set;               // attributes given after creation
        std::uint32_t expected;  // of the watched bits
    };
    const Case cases[] = {
        {L"normal.txt", 0, 0},
        {L"hidden.txt", FILE_ATTRIBUTE_HIDDEN, attr::kHidden},
        {L"system.txt", FILE_ATTRIBUTE_SYSTEM, attr::kSystem},
        {L"readonly.txt", FILE_ATTRIBUTE_READONLY, attr::kReadOnly},
        {L"both.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, attr::kHidden | attr::kSystem},
        {L"x.txt", FILE_ATTRIBUTE_DIRECTORY, attr::kDirectory},
        {L"home office.txt", 0, 0},
    };
    constexpr int kMany = 4000;  // far more than one search buffer holds
    ScratchDir dir(L"find");
    for (const auto& c : cases) {
        if (c.set & FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(CreateDirectoryW((dir / c.name).c_str(), nullptr));
        } else {
            PutFile(dir / c.name, "x");
            ASSERT_TRUE(c.set == 0 || SetFileAttributesW((dir / c.name).c_str(), c.set));
        }
    }
    for (int i = 0; i < kMany; ++i) PutFile(dir / (L"p" + std::to_wstring(i)), "");

    Win32Platform platform;
    std::map<std::wstring, std::uint32_t> names;
    for (const auto& entry : platform.FindFiles(dir.path() + L"\\*")) names[entry.name] = entry.attributes;
    EXPECT_EQ(names.size(), std::size(cases) + kMany + 2);  // with "." and ".."
    EXPECT_TRUE(names[L"."] & names[L".."] & attr::kDirectory);
    for (const auto& c : cases) {
        ASSERT_EQ(names.count(c.name), 1u) << Narrow(c.name);
        EXPECT_EQ(names.at(c.name) & (attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kDirectory), c.expected)
            << Narrow(c.name);
    }
    for (int i = 0; i < kMany; ++i) EXPECT_EQ(names.count(L"p" + std::to_wstring(i)), 1u) << i;

    const std::tuple<std::wstring, std::set<std::wstring>, long> searches[] = {
        {dir / L"hidden.txt", {L"hidden.txt"}, 0},
        {dir / L"x.txt\\*", {L".", L".."}, 0},  // an empty directory
        {dir / L"x.txt\\*.txt", {}, 0},
        {dir / L"*.doc", {}, 0},
        {dir / L"missing.txt", {}, 0},
        {dir / L"missing\\deeper\\*", {}, 0},
        {L"C:\\a|b\\*", {}, ERROR_INVALID_NAME},
    };
    for (const auto& [pattern, expected, error] : searches) {
        std::set<std::wstring> found;
        EXPECT_EQ(ErrorOf(platform, [&] {
                      for (const auto& entry : platform.FindFiles(pattern)) found.insert(entry.name);
                  }),
                  error)
            << Narrow(pattern);
        EXPECT_EQ(found, expected) << Narrow(pattern);
    }
}

TEST(Win32PlatformFiles, WrittenBytesReadBackUnchanged) {
    std::string everyByte, large(5 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
    std::uint32_t state = 12345;
    for (auto& b : large) b = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    struct Case {
        const char* what;
        std::string before;  // content of an older file of that name, if any
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"every byte value", "", everyByte},
        {"longer file replaced by a shorter one", std::string(1000, 'z'), "short\r\n"},
        {"more than one read or write takes", "", large},
    };
    ScratchDir dir(L"rw");
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = dir / Widen(c.what);
        if (!c.before.empty()) PutFile(path, c.before);
        platform.WriteFile(path, c.bytes);
        EXPECT_TRUE(GetFile(path) == c.bytes) << "file on disk differs";
        EXPECT_TRUE(platform.ReadFile(path) == c.bytes) << "bytes read differ";
    }
}

TEST(Win32PlatformFiles, FileOperationsChangeTheDiskOrThrowTheSystemError) {
    ScratchDir dir(L"ops");
    for (const wchar_t* name : {L"gone.txt", L"file.txt"}) PutFile(dir / name, "x");
    PutFile(dir / L"new.txt", "new");
    PutFile(dir / L"old.txt", "old content");
    Win32Platform platform;
    struct Case {
        const char* what;
        std::function<void()> operation;
        long error;
        const wchar_t* check = nullptr;  // this file afterwards holds...
        std::string content = "";        // ...this, or "<missing>"
    };
    const Case cases[] = {
        {"delete", [&] { platform.DeleteFile(dir / L"gone.txt"); }, 0, L"gone.txt", "<missing>"},
        {"move over an older file", [&] { platform.MoveFile(dir / L"new.txt", dir / L"old.txt"); }, 0, L"old.txt",
         "new"},
        {"moved file leaves its place", [] {}, 0, L"new.txt", "<missing>"},
        {"create an existing directory", [&] { platform.CreateDirectory(dir.path()); }, 0, L"file.txt", "x"},
        {"delete a missing file", [&] { platform.DeleteFile(dir / L"missing.txt"); }, ERROR_FILE_NOT_FOUND},
        {"read a missing file", [&] { platform.ReadFile(dir / L"missing.txt"); }, ERROR_FILE_NOT_FOUND},
        {"write in a missing directory", [&] { platform.WriteFile(dir / L"no\\x.txt", "x"); }, ERROR_PATH_NOT_FOUND},
        {"move a missing file", [&] { platform.MoveFile(dir / L"missing.txt", dir / L"y.txt"); }, ERROR_FILE_NOT_FOUND},
        {"directory over a file", [&] { platform.CreateDirectory(dir / L"file.txt"); }, ERROR_ALREADY_EXISTS,
         L"file.txt", "x"},
        {"directory in a missing one", [&] { platform.CreateDirectory(dir / L"no\\sub"); }, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ErrorOf(platform, c.operation), c.error);
        if (c.check != nullptr) {
            EXPECT_EQ(GetFile(dir / c.check), c.content);
        }
    }
}

TEST(Win32PlatformFiles, ShortPathNamesAndTheProgramsDirectories) {
    ScratchDir dir(L"short");
    const std::wstring blanks = dir / L"Roamwise Test Profiles";
    ASSERT_TRUE(CreateDirectoryW(blanks.c_str(), nullptr));
    wchar_t wide[1024];
    const std::string expected = Narrow(std::wstring(wide, GetShortPathNameW(blanks.c_str(), wide, 1024)));
    ASSERT_EQ(expected.find(' '), std::string::npos) << expected;
    Win32Platform platform;
    char buffer[1024], tiny[2];
    const std::uint32_t r = platform.GetShortPathNameA(Narrow(blanks), buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, r), expected);
    EXPECT_EQ(buffer[r], '\0');
    EXPECT_EQ(platform.GetShortPathNameA(Narrow(blanks), tiny, sizeof tiny), expected.size() + 1)
        << "a short buffer learns the size it needs, terminating zero included";
    EXPECT_EQ(platform.GetShortPathNameA(Narrow(dir / L"Missing\\Profiles"), buffer, sizeof buffer), 0u);

    for (const auto& [directory, program] : {std::pair{platform.ApplicationDirectory(), L"win32_platform_tests.exe"},
                                             std::pair{platform.SystemDirectory(), L"cmd.exe"}}) {
        ASSERT_FALSE(directory.empty());
        EXPECT_NE(directory.back(), L'\\');
        EXPECT_TRUE(Exists(directory + L"\\" + program)) << Narrow(directory);
    }
}

}  // namespace
