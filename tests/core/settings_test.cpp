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
        bool keyExists;
        std::uint32_t type;
        std::string bytes;  // empty type 0: value missing
        std::wstring expected;
    } cases[] = {
        {"missing key", false, 0, "", L"dflt"},
        {"missing value", true, 0, "", L"dflt"},
        {"REG_SZ with its zero", true, kRegSz, std::string("1200\0", 5), L"1200"},
        {"REG_SZ without a zero", true, kRegSz, "1200", L"1200"},
        {"REG_SZ only a zero", true, kRegSz, std::string("\0", 1), L"dflt"},
        {"REG_SZ of no bytes", true, kRegSz, "", L"dflt"},
        {"REG_SZ with an inner zero", true, kRegSz, std::string("12\0" "3\0", 5), std::wstring(L"12\0" L"3", 4)},
        {"REG_SZ negative", true, kRegSz, std::string("-450\0", 5), L"-450"},
        {"REG_SZ bytes above 127", true, kRegSz, std::string("caf\xe9\0", 5), L"caf\u00e9"},
        {"REG_DWORD 5", true, kRegDword, std::string("\x05\0\0\0", 4), L"5"},
        {"REG_DWORD negative", true, kRegDword, std::string("\xff\xff\xff\xff", 4), L"-1"},
        {"REG_EXPAND_SZ", true, kRegExpandSz, std::string("12\0", 3), L"dflt"},
        {"REG_BINARY", true, 3, "\x01\x02", L"dflt"},
    };
    for (const auto& c : cases) {
        Store s;
        if (c.keyExists) s.platform.registry["software\\quillfern\\roamwise\\settings"];
        if (c.type) s.platform.SetRegistryValue(kKey, "FormLeft", c.type, c.bytes);
        EXPECT_EQ(s.settings.ReadEntry(L"FormLeft", L"dflt"), c.expected) << c.what;
        EXPECT_EQ(s.platform.openKeys, 0) << c.what << ": a key was left open";
        EXPECT_TRUE(s.view.messages.empty()) << c.what;
    }
}

TEST(ProgramSettings, WriteEntryStoresTextWithOneZeroAndCreatesParents) {
    Store s;
    s.settings.WriteEntry(L"FormLeft", L"1200");
    s.settings.WriteEntry(L"FormTop", L"");
    for (const char* key : {"SOFTWARE", "SOFTWARE\\Quillfern", "SOFTWARE\\Quillfern\\Roamwise", kKey.c_str()})
        EXPECT_TRUE(s.platform.HasKey(key)) << key;
    const auto* left = s.platform.RegistryValue(kKey, "FormLeft");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->type, kRegSz);
    EXPECT_EQ(left->bytes, std::string("1200\0", 5));
    EXPECT_EQ(s.platform.RegistryValue(kKey, "FormTop")->bytes, std::string("\0", 1));
    EXPECT_EQ(s.settings.ReadEntry(L"FormLeft", L"0"), L"1200");
    EXPECT_EQ(s.settings.ReadEntry(L"FormTop", L"0"), L"0");  // empty reads as missing
    EXPECT_EQ(s.platform.openKeys, 0);
}

TEST(ProgramSettings, RegistryWithoutWriteRightsIsSilentAndGivesDefaults) {
    Store s;
    s.platform.SetRegistryValue(kKey, "FormLeft", kRegSz, std::string("300\0", 4));
    s.platform.registryReadOnly = true;
    // Opening asks for set rights too, so even an existing value reads as absent.
    EXPECT_EQ(s.settings.ReadEntry(L"FormLeft", L"0"), L"0");
    s.settings.WriteEntry(L"FormTop", L"15");
    EXPECT_EQ(s.platform.RegistryValue(kKey, "FormTop"), nullptr);
    EXPECT_TRUE(s.view.messages.empty());
    EXPECT_EQ(s.platform.openKeys, 0);
}

}  // namespace
}  // namespace roamwise
