// The registry-backed settings store, against an in-memory registry that
// answers like advapi32.
#include <gtest/gtest.h>

#include "fakes.h"
#include "program_settings.h"

namespace roamwise {
namespace {

using testing::FakePlatform;
using testing::FakeView;

const std::string kKey = "SOFTWARE\\Quillfern\\Roamwise\\Settings";

struct Store {
    FakePlatform platform;
    FakeView view;
    ErrorReport report{view};
    cProgramSettings settings{platform, report};
    Store() { settings.ConfigureForRoamwise(); }
};

TEST(ProgramSettings, KeyPathLosesOnlyOneTrailingSeparator) {
    const struct {
        std::wstring regBase, program, section, path;
    } cases[] = {
        {L"Quillfern", L"Roamwise", L"Settings", L"SOFTWARE\\Quillfern\\Roamwise\\Settings"},
        {L"Quillfern", L"Roamwise", L"", L"SOFTWARE\\Quillfern\\Roamwise"},
        {L"Quillfern", L"", L"", L"SOFTWARE\\Quillfern\\"},  // two at the end, one removed
        {L"", L"Roamwise", L"Settings", L"SOFTWARE\\\\Roamwise\\Settings"},
    };
    for (const auto& c : cases) {
        Store s;
        s.settings.RegBase(c.regBase);
        s.settings.Program(c.program);
        s.settings.Section(c.section);
        EXPECT_EQ(s.settings.KeyPath(), c.path);
    }
}

TEST(ProgramSettings, FreshInstanceAddressesSoftwareSettingsUnderLocalMachine) {
    FakePlatform platform;
    FakeView view;
    ErrorReport report(view);
    cProgramSettings settings(platform, report);
    EXPECT_EQ(settings.KeyPath(), L"SOFTWARE\\\\\\Settings");
    settings.WriteEntry(L"X", L"1");
    EXPECT_TRUE(platform.HasKey("SOFTWARE\\\\\\Settings"));
}

TEST(ProgramSettings, ReadEntryDecodesEachKindOfStoredValue) {
    const struct {
        const char* what;
        std::uint32_t type;  // 0: the key holds no such value
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {"missing value", 0, "", L"dflt"},
        {"REG_SZ with an inner zero", kRegSz, std::string("12\0" "3\0", 5), std::wstring(L"12\0" L"3", 4)},
        {"REG_SZ bytes above 127", kRegSz, std::string("caf\xe9\0", 5), L"caf\u00e9"},
        {"REG_DWORD negative", kRegDword, std::string("\xff\xff\xff\xff", 4), L"-1"},
        {"REG_BINARY", 3, "\x01\x02", L"dflt"},
    };
    for (const auto& c : cases) {
        Store s;
        s.platform.registry["software\\quillfern\\roamwise\\settings"];
        if (c.type) s.platform.SetRegistryValue(kKey, "FormLeft", c.type, c.bytes);
        EXPECT_EQ(s.settings.ReadEntry(L"FormLeft", L"dflt"), c.expected) << c.what;
        EXPECT_EQ(s.platform.openKeys, 0) << c.what << ": a key was left open";
        EXPECT_TRUE(s.view.messages.empty()) << c.what;
    }
}

TEST(ProgramSettings, WriteEntryCreatesTheKeyAndStoresTextWithOneZero) {
    Store s;
    s.settings.WriteEntry(L"FormLeft", L"1200");
    s.settings.WriteEntry(L"FormTop", L"");
    const auto* left = s.platform.RegistryValue(kKey, "FormLeft");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->type, kRegSz);
    EXPECT_EQ(left->bytes, std::string("1200\0", 5));
    EXPECT_EQ(s.platform.RegistryValue(kKey, "FormTop")->bytes, std::string("\0", 1));
    EXPECT_EQ(s.platform.openKeys, 0);
}

}  // namespace
}  // namespace roamwise
