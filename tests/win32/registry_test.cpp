// The registry functions of the Win32 adapter, under a test-only key.
#include <gtest/gtest.h>

#include "scratch.h"

#include <cstring>
#include <string>
#include <vector>

#include "win32_platform.h"

using roamwise::RegKey;
using roamwise::win32::Win32Platform;
using roamwise_test::TestKey;

namespace {

constexpr std::uint32_t kAccess = 0x3F;  // the mask the program uses for reading and writing

std::vector<std::uint8_t> Bytes(const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); }

TEST(Win32PlatformRegistry, ValuesWrittenUnderANewKeyReadBackWithTypeAndLength) {
    std::uint8_t five[4];
    const std::uint32_t value = 5;
    std::memcpy(five, &value, 4);
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const Case cases[] = {
        {"FormLeft", roamwise::kRegSz, Bytes(std::string("1200", 5))},
        {"FormTop", roamwise::kRegSz, Bytes(std::string("-345", 5))},
        {"NoTerminator", roamwise::kRegSz, Bytes("abc")},
        {"OnlyTerminator", roamwise::kRegSz, Bytes(std::string("", 1))},
        {"Count", roamwise::kRegDword, std::vector<std::uint8_t>(five, five + 4)},
        {"Expand", roamwise::kRegExpandSz, Bytes(std::string("%TEMP%", 7))},
    };
    TestKey root;
    const std::string path = root / "Quillfern\\Roamwise\\Settings";  // no part of it exists yet
    Win32Platform platform;

    RegKey missing = 1;
    EXPECT_EQ(platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &missing),
              roamwise::kErrorFileNotFound);

    RegKey key = 0;
    ASSERT_EQ(platform.RegCreateKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &key), roamwise::kErrorSuccess);
    ASSERT_NE(key, 0u);
    for (const auto& c : cases) {
        EXPECT_EQ(platform.RegSetValueExA(key, c.name, c.type, c.data.data(), static_cast<std::uint32_t>(c.data.size())),
                  roamwise::kErrorSuccess)
            << c.name;
    }
    EXPECT_EQ(platform.RegCloseKey(key), roamwise::kErrorSuccess);

    key = 0;
    ASSERT_EQ(platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, path, 0, kAccess, &key), roamwise::kErrorSuccess);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<std::uint32_t>(c.data.size());
        std::uint32_t type = 0;
        std::uint32_t length = 0;
        ASSERT_EQ(platform.RegQueryValueExA(key, c.name, &type, nullptr, &length), roamwise::kErrorSuccess);
        EXPECT_EQ(type, c.type);
        // Text stored without its zero may come back with one added (Wine
        // does so); the stored characters never change.
        const bool zeroAdded = c.type == roamwise::kRegSz && length == size + 1;
        if (!zeroAdded) {
            EXPECT_EQ(length, size);
        }

        const std::uint32_t reported = length;
        std::vector<std::uint8_t> data(reported + 4, 0xCC);
        type = 0;
        ASSERT_EQ(platform.RegQueryValueExA(key, c.name, &type, data.data(), &length), roamwise::kErrorSuccess);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(length, reported);
        EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + size), c.data);
        if (zeroAdded) {
            EXPECT_EQ(data[size], 0);
        }
        EXPECT_EQ(data[reported], 0xCC) << "written past the reported length";

        if (reported > 1) {
            length = reported - 1;
            EXPECT_EQ(platform.RegQueryValueExA(key, c.name, &type, data.data(), &length), roamwise::kErrorMoreData);
            EXPECT_EQ(length, reported) << "a short buffer learns the size it needs";
        }
    }
    std::uint32_t type = 77;
    std::uint32_t length = 0;
    EXPECT_EQ(platform.RegQueryValueExA(key, "Form2Left", &type, nullptr, &length), roamwise::kErrorFileNotFound);
    EXPECT_EQ(platform.RegCloseKey(key), roamwise::kErrorSuccess);

    // What the adapter wrote is what advapi32 itself reads there.
    char text[16] = {};
    DWORD textLength = sizeof text;
    DWORD textType = 0;
    HKEY direct;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &direct), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(direct, "FormLeft", nullptr, &textType, reinterpret_cast<BYTE*>(text), &textLength),
              ERROR_SUCCESS);
    RegCloseKey(direct);
    EXPECT_EQ(textType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(textLength, 5u);
    EXPECT_STREQ(text, "1200");
}

TEST(Win32PlatformRegistry, FailuresReturnTheSystemResult) {
    TestKey root;
    Win32Platform platform;
    RegKey key = 0;
    ASSERT_EQ(platform.RegCreateKeyExA(roamwise::kHkeyLocalMachine, root / "Exists", 0, kAccess, &key),
              roamwise::kErrorSuccess);
    struct Case {
        const char* what;
        std::string path;
        long expected;
    };
    const Case cases[] = {
        {"missing key", root / "Missing", roamwise::kErrorFileNotFound},
        {"missing parents", root / "Missing\\Deeper\\Settings", roamwise::kErrorFileNotFound},
        {"existing key", root / "Exists", roamwise::kErrorSuccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegKey opened = 0;
        EXPECT_EQ(platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, c.path, 0, kAccess, &opened), c.expected);
        if (c.expected == roamwise::kErrorSuccess) {
            EXPECT_NE(opened, 0u);
            EXPECT_EQ(platform.RegCloseKey(opened), roamwise::kErrorSuccess);
        }
    }
    std::uint32_t type = 0;
    std::uint32_t length = 0;
    EXPECT_EQ(platform.RegQueryValueExA(key, "FormLeft", &type, nullptr, &length), roamwise::kErrorFileNotFound);
    EXPECT_EQ(platform.RegCloseKey(key), roamwise::kErrorSuccess);
    EXPECT_NE(platform.RegCloseKey(0), roamwise::kErrorSuccess) << "closing no key";
}

}  // namespace
