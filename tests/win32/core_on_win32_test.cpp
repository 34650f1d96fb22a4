// The core's settings store and command runner over the real Win32
// adapter: the same cases the core tests run against fakes, here against
// the system's registry, short names and command interpreter.
#include <gtest/gtest.h>

#include "scratch.h"

#include <string>
#include <vector>

#include "command_runner.h"
#include "program_settings.h"
#include "win32_platform.h"

using roamwise::Answer;
using roamwise::Buttons;
using roamwise::cProgramSettings;
using roamwise::CommandRunner;
using roamwise::ErrorReport;
using roamwise::win32::Win32Platform;
using roamwise_test::ScratchDir;
using roamwise_test::TestKey;

namespace {

// Only message boxes matter here: every other part of the view is unused.
class MessageLog : public roamwise::View {
public:
    std::vector<std::wstring> titles;
    Answer ShowMessage(const std::wstring&, const std::wstring& title, Buttons) override {
        titles.push_back(title);
        return Answer::Ok;
    }
    void Beep() override {}
    void ListClear() override {}
    void ListAdd(const std::wstring&) override {}
    std::wstring ListText() override { return L""; }
    void SetListTooltip(const std::wstring&) override {}
    std::wstring NameText() override { return L""; }
    void SetNameTooltip(const std::wstring&) override {}
    void SetStatus(const std::wstring&) override {}
    void SetBusyPointer(bool) override {}
    roamwise::Rect WindowRect(roamwise::WindowId) override { return {}; }
    void MoveWindow(roamwise::WindowId, long, long) override {}
    std::vector<roamwise::Rect> WorkAreas() override { return {}; }
    void CreateViewer() override {}
    void DestroyViewer() override {}
    void ShowViewer() override {}
    void SetViewerText(const std::wstring&) override {}
    roamwise::Size ViewerClientSize() override { return {}; }
    void SizeViewerText(roamwise::Size) override {}
};

struct Fixture {
    Win32Platform platform;
    MessageLog view;
    ErrorReport report{view};
};

// A store addressing HKLM\<test key>\Settings.
void Configure(cProgramSettings& settings, const TestKey& key) {
    const std::string& path = key.path();  // SOFTWARE\RoamwiseTest\<pid>
    settings.RootKey(static_cast<std::int32_t>(roamwise::kHkeyLocalMachine));
    settings.MainBranch(L"SOFTWARE");
    settings.RegBase(L"RoamwiseTest");
    settings.Program(roamwise_test::Widen(path.substr(path.rfind('\\') + 1)));
    settings.Section(L"Settings");
}

void PutValue(Win32Platform& platform, const std::string& key, const char* name, std::uint32_t type,
              const std::string& bytes) {
    roamwise::RegKey handle = 0;
    ASSERT_EQ(platform.RegCreateKeyExA(roamwise::kHkeyLocalMachine, key, 0, 0x3F, &handle), 0);
    ASSERT_EQ(platform.RegSetValueExA(handle, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                      static_cast<std::uint32_t>(bytes.size())),
              0);
    platform.RegCloseKey(handle);
}

TEST(CoreOnWin32, SettingsStoreDecodesTheSystemRegistry) {
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
    TestKey key;
    cProgramSettings settings(f.platform, f.report);
    Configure(settings, key);
    EXPECT_EQ(settings.ReadEntry(L"FormLeft", L"dflt"), L"dflt");  // the key does not exist yet
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "Value" + std::to_string(n++);
        if (c.type) PutValue(f.platform, key / "Settings", name.c_str(), c.type, c.bytes);
        EXPECT_EQ(settings.ReadEntry(roamwise_test::Widen(name), L"dflt"), c.read) << c.what;
    }
    EXPECT_TRUE(f.view.titles.empty());
}

TEST(CoreOnWin32, SettingsStoreWritesTextWithOneZeroAndCreatesParents) {
    Fixture f;
    TestKey key;
    cProgramSettings settings(f.platform, f.report);
    Configure(settings, key);
    settings.WriteEntry(L"FormLeft", L"1200");
    roamwise::RegKey handle = 0;
    ASSERT_EQ(f.platform.RegOpenKeyExA(roamwise::kHkeyLocalMachine, key / "Settings", 0, 0x3F, &handle), 0);
    std::uint32_t type = 0, length = 0;
    ASSERT_EQ(f.platform.RegQueryValueExA(handle, "FormLeft", &type, nullptr, &length), 0);
    f.platform.RegCloseKey(handle);
    EXPECT_EQ(type, roamwise::kRegSz);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(settings.ReadEntry(L"FormLeft", L"0"), L"1200");
    EXPECT_TRUE(f.view.titles.empty());
}

TEST(CoreOnWin32, RunnerShortensPathsAndRunsTheBatchFile) {
    Fixture f;
    CommandRunner runner(f.platform, f.report);
    ScratchDir dir(L"runner with blanks");
    ASSERT_TRUE(CreateDirectoryW((dir / L"Long Folder Name").c_str(), nullptr));

    const std::wstring shortForm = runner.GetShortFilename(dir / L"Long Folder Name");
    EXPECT_FALSE(shortForm.empty());
    EXPECT_EQ(shortForm.find(L' '), std::wstring::npos) << roamwise_test::Narrow(shortForm);
    EXPECT_EQ(runner.GetShortFilename(shortForm), shortForm);  // already short
    EXPECT_EQ(runner.GetShortFilename(dir / L"missing"), L"");
    EXPECT_TRUE(f.view.titles.empty());  // failures give the empty text, no report

    // Written twice, the batch file holds the second line only.
    runner.WriteBatchFile(shortForm, L"exit 3");
    runner.WriteBatchFile(shortForm, L"exit 4");
    EXPECT_EQ(roamwise_test::GetFile(shortForm + L"\\Settings.bat"), "exit 4\r\n");

    // A hidden start of a batch file gives its command's exit code.
    const std::wstring batch = CommandRunner::CommandLinePath(dir / L"Long Folder Name\\Settings.bat");
    EXPECT_EQ(runner.RunDirect(batch), 4);
    runner.WriteBatchFile(shortForm, L"echo captured> " + shortForm + L"\\out.txt");
    EXPECT_EQ(runner.RunDirect(batch), 0);
    EXPECT_EQ(roamwise_test::GetFile(shortForm + L"\\out.txt"), "captured\r\n");
}

}  // namespace
