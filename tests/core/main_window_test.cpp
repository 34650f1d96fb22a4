// Start-up, the profile list, closing, and the main window's small commands.
#include <gtest/gtest.h>

#include "harness.h"

namespace roamwise {
namespace {

using testing::ExpectBoxes;
using testing::Program;
using testing::kSettingsKey;

TEST(ProfileList, ListsLowerCaseTxtFilesOfEveryKindButNothingElse) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    const struct {
        std::wstring file;
        std::uint32_t attributes;
        const wchar_t* listedAs;  // null: not listed
    } cases[] = {
        {L"home.txt", 0, L"home"},
        {L"Office.txt", attr::kReadOnly, L"Office"},
        {L"work.txt", attr::kHidden, L"work"},
        {L"sys.txt", attr::kSystem, L"sys"},
        {L"both.txt", attr::kHidden | attr::kSystem, L"both"},
        {L"My Home.txt", 0, L"My Home"},
        {L"a.b.txt", 0, L"a.b"},
        {L"HOME.TXT", 0, nullptr},
        {L"mixed.Txt", 0, nullptr},
        {L"notes.doc", 0, nullptr},
        {L"abctxt", 0, nullptr},  // no dot: not a profile file
        {L"txt", 0, nullptr},     // too short to have a name
        {L".txt", 0, nullptr},    // would be an empty entry
        {L"x.txt", attr::kDirectory, nullptr},
        {L"home.txt.bak", 0, nullptr},
    };
    for (const auto& c : cases) {
        if (c.attributes & attr::kDirectory)
            p.platform.AddDirectory(p.Profiles() + L"\\" + c.file);
        else
            p.platform.AddFile(p.Profiles() + L"\\" + c.file, "", c.attributes);
    }
    p.view.items = {L"stale"};
    p.view.selected = 0;
    p.form.File_List();
    std::vector<std::wstring> expected;
    for (const auto& c : cases) {
        if (c.listedAs) expected.push_back(c.listedAs);
    }
    EXPECT_EQ(p.view.items, expected);  // in search order; the list box sorts
    EXPECT_EQ(p.view.selected, -1);
    EXPECT_TRUE(p.view.messages.empty());
}

TEST(ProfileList, FilesToArrayAppendsSeparatorAndFiltersByAttribute) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    p.platform.AddFile(p.Profile(L"n"), "", 0);
    p.platform.AddFile(p.Profile(L"h"), "", attr::kHidden);
    p.platform.AddFile(p.Profile(L"s"), "", attr::kSystem);
    p.platform.AddDirectory(p.Profiles() + L"\\d");
    const struct {
        bool hidden, system;
        std::vector<std::wstring> names;
    } cases[] = {
        {false, false, {L"n.txt"}},
        {true, false, {L"n.txt", L"h.txt"}},
        {false, true, {L"n.txt", L"s.txt"}},
    };
    for (const auto& c : cases) {
        std::wstring dir = p.Profiles();
        std::vector<std::wstring> names;
        EXPECT_EQ(p.form.FilesToArray(dir, c.hidden, c.system, names), static_cast<int>(c.names.size()));
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(dir, p.Profiles() + L"\\");
    }
    std::wstring missing = p.platform.appDir + L"\\none\\";
    std::vector<std::wstring> kept{L"caller's"};
    EXPECT_EQ(p.form.FilesToArray(missing, true, true, kept), 0);
    EXPECT_EQ(kept, std::vector<std::wstring>{L"caller's"});
}

TEST(ProfileList, SearchFailureIsReportedAndTheCallerGoesOn) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    p.platform.findFails = true;
    p.form.Form_Load();
    ExpectBoxes(p.view, {{L"FilesToArray", L"Error: 5. Access is denied."}});
    // Start-up went on past the list to the status and the capture.
    EXPECT_EQ(p.view.status, L" Active IP: 192.0.2.7");
    EXPECT_TRUE(p.view.viewerCreated);
}

TEST(ProfileList, FileExistsCountsOnlyNormalFiles) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    p.platform.AddFile(p.Profile(L"home"));
    p.platform.AddDirectory(p.Profiles() + L"\\dir.txt");
    const struct {
        std::wstring path;
        bool exists;
    } cases[] = {
        {L"", false},
        {p.Profile(L"home"), true},
        {p.Profile(L"HOME"), true},
        {p.Profiles() + L"\\dir.txt", false},
        {p.Profile(L"none"), false},
        {p.Profiles() + L"\\ho*", true},
        {p.Profiles() + L"\\h?me.txt", true},
        {p.Profiles() + L"\\zz*", false},
        {L"Q:\\nowhere\\x.txt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(p.form.FileExists(c.path), c.exists) << c.path.c_str();
    p.platform.findFails = true;
    EXPECT_FALSE(p.form.FileExists(p.Profile(L"home")));
    EXPECT_TRUE(p.view.messages.empty());
}

TEST(StartUp, RunsGateListStatusCaptureInOrder) {
    Program p;
    p.AddProfile(L"home");
    p.platform.ipconfigText = "Windows IP Configuration\r\n\r\n   Host Name . . : roam\r\n";
    p.form.Form_Load();
    EXPECT_FALSE(p.form.Refused());
    EXPECT_EQ(p.view.events,
              (std::vector<std::wstring>{L"list cleared", L"status: Active IP: 192.0.2.7"}));
    EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
    // The capture loaded the viewer hidden and filled it.
    EXPECT_TRUE(p.view.viewerCreated);
    EXPECT_FALSE(p.view.viewerShown);
    EXPECT_EQ(p.view.viewerText, L"Windows IP Configuration\r\n\r\n   Host Name . . : roam\r\n");
    EXPECT_TRUE(p.view.messages.empty());
}

TEST(StartUp, ActiveIpStatusRule) {
    const struct {
        std::wstring ip, status;
    } cases[] = {
        {L"127.0.0.1", L" Active IP: Not Connected"},
        {L"192.0.2.5", L" Active IP: 192.0.2.5"},
        {L"127.0.0.2", L" Active IP: 127.0.0.2"},
    };
    for (const auto& c : cases) {
        Program p;
        p.platform.ip = c.ip;
        p.form.Form_Load();
        EXPECT_EQ(p.view.status, c.status);
    }
}

TEST(StartUp, RefusedSystemTouchesNothing) {
    for (std::uint32_t minor : {0u, 10u}) {
        Program p;
        p.platform.version.dwPlatformId = 1;
        p.platform.version.dwMajorVersion = 4;
        p.platform.version.dwMinorVersion = minor;
        p.platform.version.dwBuildNumber = minor ? 1998 : 950;
        p.AddProfile(L"home");
        p.form.Form_Load();
        EXPECT_TRUE(p.form.Refused());
        ExpectBoxes(p.view, {{L"Roamwise", L"This program requires Windows 2000 and higher. Sorry"}});
        EXPECT_EQ(p.platform.registryOpens, 0);
        EXPECT_TRUE(p.platform.touched.empty());
        EXPECT_TRUE(p.platform.starts.empty());
        EXPECT_TRUE(p.view.items.empty());
        EXPECT_FALSE(p.view.viewerCreated);
        // Closing after a refusal writes no position either.
        p.form.Form_Unload();
        EXPECT_EQ(p.platform.registryOpens, 0);
    }
}

TEST(Closing, StoresBothWindowsAndClosesTheViewer) {
    Program p;
    p.form.Form_Load();
    p.view.mainRect = {-450, 1200, 3750, 6200};
    p.view.viewerRect = {6000, 30, 10500, 3330};
    p.form.Form_Unload();
    EXPECT_EQ(p.platform.RegistryValue(kSettingsKey, "FormLeft")->bytes, std::string("-450\0", 5));
    EXPECT_EQ(p.platform.RegistryValue(kSettingsKey, "FormTop")->bytes, std::string("1200\0", 5));
    EXPECT_EQ(p.platform.RegistryValue(kSettingsKey, "Form2Left")->bytes, std::string("6000\0", 5));
    EXPECT_EQ(p.platform.RegistryValue(kSettingsKey, "Form2Top")->bytes, std::string("30\0", 3));
    EXPECT_FALSE(p.view.viewerCreated);
    EXPECT_TRUE(p.form.Unloaded());
}

TEST(Closing, ViewerClosedByTheUserIsNotStoredAgain) {
    Program p;
    p.form.Form_Load();
    p.view.viewerRect = {6000, 30, 10500, 3330};
    p.form.Viewer().Unload();  // user closes the viewer
    p.view.viewerRect = {1, 1, 2, 2};
    p.form.Form_Unload();
    EXPECT_EQ(p.platform.RegistryValue(kSettingsKey, "Form2Left")->bytes, std::string("6000\0", 5));
    EXPECT_EQ(p.view.viewerCreations, 1);
}

TEST(SmallCommands, AboutBoxHasItsFiveLines) {
    Program p;
    p.form.Command1_Click();
    ExpectBoxes(p.view, {{L"About", L"Roamwise ver.1.0\r", false}});
    if (p.view.messages.empty()) return;
    std::vector<std::wstring> lines;
    std::wstring text = p.view.messages[0].text;
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
    for (std::size_t start = 0;;) {
        const auto cr = text.find(L'\r', start);
        lines.push_back(text.substr(start, cr - start));
        if (cr == std::wstring::npos) break;
        start = cr + 1;
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], L"Roamwise ver.1.0");
    EXPECT_EQ(lines[3], L"Comments, Questions:");
    EXPECT_EQ(lines[4].substr(0, 13), L"     E-Mail: ");
    EXPECT_NE(lines[4].find(L"@example."), std::wstring::npos);
}

TEST(SmallCommands, EnterSavesAndTooltipsFollowTheText) {
    Program p;
    int key = 'a';
    p.form.Text1_KeyPress(key);
    EXPECT_TRUE(p.view.messages.empty());
    key = 13;
    p.form.Text1_KeyPress(key);
    EXPECT_EQ(key, 13);
    ExpectBoxes(p.view, {{L"Roamwise", L"Please enter a profile name"}});

    p.view.name = L"Home";
    p.form.Text1_KeyUp(0x45, 0);
    EXPECT_EQ(p.view.nameTip, L"Home");
    p.view.name = L"";
    p.form.Text1_KeyUp(8, 0);
    EXPECT_EQ(p.view.nameTip, L"");

    p.view.items = {L"home", L"Office"};
    p.view.Select(L"Office");
    p.form.List1_Click();
    EXPECT_EQ(p.view.listTip, L"Office");
}

}  // namespace
}  // namespace roamwise
