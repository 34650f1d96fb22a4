// ANSI text, error texts, the registry, the version record and the active
// address as the Win32 adapter gives them.
#include "scratch.h"

#include <algorithm>
#include <cstring>

#include "local_address.h"
#include "win32_platform.h"

using roamwise::RegKey;
using roamwise::win32::AdapterAddress;
using roamwise::win32::PickLocalIP;
using roamwise::win32::Win32Platform;
using namespace roamwise_test;

namespace {

TEST(Win32PlatformText, AnsiConversionRoundTripsAndReportsLostCharacters) {
    CPINFO info;
    const bool singleByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    Win32Platform platform;
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::wstring allWide = platform.FromAnsi(all);
    struct Case {
        const char* what;
        std::wstring wide;
        std::string ansi;  // empty for lost characters: one byte each, unchecked
        bool ok;
        bool anyCodePage;
    };
    const Case cases[] = {
        {"empty", L"", "", true, true},
        {"with a zero", std::wstring(L"a\0b", 3), std::string("a\0b", 3), true, true},
        {"every byte value", allWide, all, true, false},
        {"ideograph", L"\u4E2D", "", false, false},
        {"letter with a best-fit ASCII look-alike", L"\u0100", "", false, false},
        {"one lost character in a path", L"C:\\Profiles\\Caf\u00E9x\u2200y.txt", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.anyCodePage && !singleByte) continue;  // a multi-byte code page holds some of these
        std::string ansi = "previous";
        EXPECT_EQ(platform.ToAnsi(c.wide, ansi), c.ok);
        if (c.ok) {
            EXPECT_EQ(ansi, c.ansi);
            EXPECT_EQ(platform.FromAnsi(c.ansi), c.wide);
        } else {
            EXPECT_EQ(ansi.size(), c.wide.size()) << "the text is still converted, one byte per character";
        }
    }
    if (singleByte) {
        ASSERT_EQ(allWide.size(), all.size());
        for (int byte = 128; byte < 256; ++byte) EXPECT_GE(allWide[byte - 1], 128) << "byte " << byte << " became ASCII";
    }
}

TEST(Win32PlatformText, ErrorTextIsTheSystemMessageTrimmed) {
    Win32Platform platform;
    for (long code : {long{ERROR_FILE_NOT_FOUND}, long{ERROR_ACCESS_DENIED}, 0x2000FFFFL}) {
        SCOPED_TRACE(code);
        const std::wstring text = platform.ErrorText(code);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
        EXPECT_EQ(text.find_last_not_of(L" \t"), text.size() - 1);
        EXPECT_EQ(text == L"Unknown error", code == 0x2000FFFF);
    }
    EXPECT_NE(platform.ErrorText(ERROR_FILE_NOT_FOUND), platform.ErrorText(ERROR_ACCESS_DENIED));
}

TEST(Win32PlatformRegistry, KeysAndValuesWithTheSystemResultsAndLengths) {
    constexpr std::uint32_t kAccess = 0x3F;  // the mask the program uses for reading and writing
    const auto bytes = [](const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const Case cases[] = {
        {"FormLeft", roamwise::kRegSz, bytes(std::string("1200", 5))},
        {"NoTerminator", roamwise::kRegSz, bytes("abc")},
        {"Count", roamwise::kRegDword, {5, 0, 0, 0}},
        {"Expand", roamwise::kRegExpandSz, bytes(std::string("%TEMP%", 7))},
    };
    TestKey root;
    const std::string path = root / "Quillfern\\Roamwise\\Settings";  // no part of it exists yet
    Win32Platform platform;

    RegKey key = 1;
    EXPECT_EQ(platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &key), roamwise::kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    ASSERT_EQ(platform.RegCreateKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &key), roamwise::kErrorSuccess);
    ASSERT_NE(key, 0u);
    for (const auto& c : cases)
        EXPECT_EQ(platform.RegSetValueExA(key, c.name, c.type, c.data.data(), static_cast<std::uint32_t>(c.data.size())),
                  roamwise::kErrorSuccess);
    EXPECT_EQ(platform.RegCloseKey(key), roamwise::kErrorSuccess);

    key = 0;
    ASSERT_EQ(platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &key), roamwise::kErrorSuccess);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<std::uint32_t>(c.data.size());
        std::uint32_t type = 0, length = 0;
        ASSERT_EQ(platform.RegQueryValueExA(key, c.name, &type, nullptr, &length), roamwise::kErrorSuccess);
        EXPECT_EQ(type, c.type);
        // Text stored without its zero may come back with one added (Wine
        // does so); the stored characters never change.
        const bool zeroAdded = c.type == roamwise::kRegSz && length == size + 1;
        EXPECT_TRUE(length == size || zeroAdded) << length;

        const std::uint32_t reported = length;
        std::vector<std::uint8_t> data(reported + 4, 0xCC);
        type = 0;
        ASSERT_EQ(platform.RegQueryValueExA(key, c.name, &type, data.data(), &length), roamwise::kErrorSuccess);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(length, reported);
        EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + size), c.data);
        EXPECT_TRUE(!zeroAdded || data[size] == 0);
        EXPECT_EQ(data[reported], 0xCC) << "written past the reported length";

        length = reported - 1;
        EXPECT_EQ(platform.RegQueryValueExA(key, c.name, &type, data.data(), &length), roamwise::kErrorMoreData);
        EXPECT_EQ(length, reported) << "a short buffer learns the size it needs";
    }
    std::uint32_t type = 0, length = 0;
    EXPECT_EQ(platform.RegQueryValueExA(key, "Form2Left", &type, nullptr, &length), roamwise::kErrorFileNotFound);
    EXPECT_EQ(platform.RegCloseKey(key), roamwise::kErrorSuccess);
    EXPECT_NE(platform.RegCloseKey(0), roamwise::kErrorSuccess) << "closing no key";
}

TEST(Win32PlatformMachine, VersionRecordIsFilledOnlyWhenItsSizeIsRight) {
    Win32Platform platform;
    for (std::uint32_t size : {148u, 147u, 0u}) {
        SCOPED_TRACE(size);
        roamwise::OsVersionInfoA info;
        info.dwOSVersionInfoSize = size;
        info.dwPlatformId = 77;  // left as it was when the call fails
        std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
        const bool ok = size == 148;
        EXPECT_EQ(platform.GetVersionExA(info), ok);
        EXPECT_EQ(info.dwPlatformId, ok ? 2u : 77u) << "NT family";
        if (!ok) continue;
        EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
        EXPECT_GE(info.dwMajorVersion, 5u);
        EXPECT_NE(info.dwBuildNumber, 0u);
        EXPECT_NE(std::memchr(info.szCSDVersion, 0, sizeof info.szCSDVersion), nullptr)
            << "the service-pack text is terminated inside its field";
    }
}

TEST(Win32PlatformMachine, LocalIPIsTheChosenAddressOfThisMachine) {
    const std::wstring ip = Win32Platform().LocalIP();
    EXPECT_EQ(std::count(ip.begin(), ip.end(), L'.'), 3) << Narrow(ip);
    EXPECT_EQ(ip.find_first_not_of(L"0123456789."), std::wstring::npos) << Narrow(ip);
    bool listed = ip == L"127.0.0.1";  // no adapter with an address
    for (const auto& adapter : roamwise::win32::ListAdapters()) listed = listed || Widen(adapter.ip) == ip;
    EXPECT_TRUE(listed) << Narrow(ip) << " is no adapter's address";
}

TEST(Win32PlatformMachine, LocalIPPrefersTheAdapterWithAGateway) {
    struct Case {
        const char* what;
        std::vector<AdapterAddress> adapters;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"no adapters", {}, L"127.0.0.1"},
        {"only loopback", {{"127.0.0.1", ""}}, L"127.0.0.1"},
        {"only unset addresses", {{"0.0.0.0", ""}, {"0.0.0.0", "0.0.0.0"}}, L"127.0.0.1"},
        {"one adapter without gateway", {{"192.0.2.5", ""}}, L"192.0.2.5"},
        {"one adapter with gateway", {{"192.0.2.5", "192.0.2.1"}}, L"192.0.2.5"},
        {"gateway adapter wins over an earlier one", {{"10.0.0.7", ""}, {"192.0.2.5", "192.0.2.1"}}, L"192.0.2.5"},
        {"first of two gateway adapters", {{"192.0.2.9", "192.0.2.1"}, {"192.0.2.5", "192.0.2.1"}}, L"192.0.2.9"},
        {"gateway 0.0.0.0 is no gateway", {{"10.0.0.7", ""}, {"192.0.2.5", "0.0.0.0"}}, L"10.0.0.7"},
        {"loopback skipped", {{"127.0.0.1", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"other loopback address skipped", {{"127.1.2.3", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"unset address skipped", {{"0.0.0.0", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"gateway adapter without an address", {{"0.0.0.0", "192.0.2.1"}, {"10.0.0.7", ""}}, L"10.0.0.7"},
        {"first usable adapter without gateway", {{"10.0.0.7", ""}, {"192.0.2.5", ""}}, L"10.0.0.7"},
        {"empty entries", {{"", ""}, {"", "192.0.2.1"}}, L"127.0.0.1"},
    };
    for (const auto& c : cases) EXPECT_EQ(PickLocalIP(c.adapters), c.expected) << c.what;
}

}  // namespace
