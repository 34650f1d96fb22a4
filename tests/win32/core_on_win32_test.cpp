// The core's settings store and command runner over the real Win32
// adapter: the system's registry and short names.
#include "scratch.h"

#include "command_runner.h"
#include "program_settings.h"
#include "win32_platform.h"
#include "win32_view.h"

using roamwise::Answer;
using roamwise::cProgramSettings;
using roamwise::CommandRunner;
using namespace roamwise_test;

namespace {

// A view without windows that logs message boxes instead of showing them.
class MessageLog : public roamwise::win32::Win32View {
public:
    MessageLog() : Win32View(GetModuleHandleW(nullptr)) {}
    std::vector<std::wstring> titles;
    Answer ShowMessage(const std::wstring&, const std::wstring& title, roamwise::Buttons) override {
        titles.push_back(title);
        return Answer::Ok;
    }
};

struct Fixture {
    roamwise::win32::Win32Platform platform;
    MessageLog view;
    roamwise::ErrorReport report{view};
};

TEST(CoreOnWin32, SettingsStoreReadsAndWritesTheSystemRegistry) {
    const struct {
        const char* what;
        std::uint32_t type;  // 0: no value stored
        std::string bytes;
        std::wstring read;
    } cases[] = {
        {"missing value", 0, "", L"dflt"},
        {"REG_SZ with its zero", roamwise::kRegSz, std::string("1200\0", 5), L"1200"},
        {"REG_SZ without a zero", roamwise::kRegSz, "1200", L"1200"},
        {"REG_SZ empty", roamwise::kRegSz, std::string("\0", 1), L"dflt"},
        {"REG_SZ bytes above 127", roamwise::kRegSz, std::string("caf\xe9\0", 5), L"caf\u00e9"},
        {"REG_DWORD 5", roamwise::kRegDword, std::string("\x05\0\0\0", 4), L"5"},
        {"REG_DWORD -2", roamwise::kRegDword, std::string("\xfe\xff\xff\xff", 4), L"-2"},
        {"REG_EXPAND_SZ", roamwise::kRegExpandSz, std::string("12\0", 3), L"dflt"},
    };
    Fixture f;
    TestKey key;  // HKLM\SOFTWARE\RoamwiseTest\<pid>; the store adds \Settings
    cProgramSettings settings(f.platform, f.report);
    settings.RootKey(static_cast<std::int32_t>(roamwise::kHkeyLocalMachine));
    settings.MainBranch(L"SOFTWARE");
    settings.RegBase(L"RoamwiseTest");
    settings.Program(Widen(key.path().substr(key.path().rfind('\\') + 1)));
    settings.Section(L"Settings");
    EXPECT_EQ(settings.ReadEntry(L"FormLeft", L"dflt"), L"dflt");  // the key does not exist yet

    HKEY direct;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key / "Settings").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &direct, nullptr),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
        const std::string name = c.what;
        if (c.type)
            RegSetValueExA(direct, name.c_str(), 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                           static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(settings.ReadEntry(Widen(name), L"dflt"), c.read) << c.what;
    }

    // Text is written with exactly one terminating zero.
    settings.WriteEntry(L"FormTop", L"1200");
    DWORD type = 0, length = 0;
    EXPECT_EQ(RegQueryValueExA(direct, "FormTop", nullptr, &type, nullptr, &length), ERROR_SUCCESS);
    RegCloseKey(direct);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(settings.ReadEntry(L"FormTop", L"0"), L"1200");
    EXPECT_TRUE(f.view.titles.empty());
}

TEST(CoreOnWin32, RunnerShortensPathsQuietly) {
    Fixture f;
    CommandRunner runner(f.platform, f.report);
    ScratchDir dir(L"runner");
    ASSERT_TRUE(CreateDirectoryW((dir / L"Long Folder Name").c_str(), nullptr));

    const std::wstring shortForm = runner.GetShortFilename(dir / L"Long Folder Name");
    EXPECT_FALSE(shortForm.empty());
    EXPECT_EQ(shortForm.find(L' '), std::wstring::npos) << Narrow(shortForm);
    EXPECT_EQ(runner.GetShortFilename(shortForm), shortForm);  // already short
    EXPECT_EQ(runner.GetShortFilename(dir / L"missing"), L"");
    EXPECT_TRUE(f.view.titles.empty());  // failures give the empty text, no report
}

TEST(CoreOnWin32, BatchFileHoldsTheLastLineAndGivesItsExitCode) {
    Fixture f;
    CommandRunner runner(f.platform, f.report);
    ScratchDir dir(L"batch");
    runner.WriteBatchFile(dir.path(), L"exit 3");
    runner.WriteBatchFile(dir.path(), L"exit 4");
    EXPECT_EQ(f.platform.ReadFile(dir / L"Settings.bat"), "exit 4\r\n");
    // Started hidden, the batch file gives its command's exit code.
    EXPECT_EQ(runner.RunDirect(CommandRunner::CommandLinePath(dir / L"Settings.bat")), 4);
    EXPECT_TRUE(f.view.titles.empty());
}

}  // namespace
