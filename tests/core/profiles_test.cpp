// Saving, loading and deleting profiles through the command runner, with
// tools simulated by the fake platform.
#include <gtest/gtest.h>

#include "harness.h"

namespace roamwise {
namespace {

using testing::ExpectBoxes;
using testing::Program;

// A system whose short form is longer than the first buffer.
struct LongShortForms : testing::FakePlatform {
    std::vector<std::uint32_t> bufferSizes;
    std::uint32_t GetShortPathNameA(const std::string&, char* buffer, std::uint32_t length) override {
        bufferSizes.push_back(length);
        const std::string shortForm = "C:\\" + std::string(1500, 'S');
        if (length < shortForm.size() + 1) return static_cast<std::uint32_t>(shortForm.size() + 1);
        std::copy(shortForm.begin(), shortForm.end(), buffer);
        buffer[shortForm.size()] = '\0';
        return static_cast<std::uint32_t>(shortForm.size());
    }
};

TEST(Runner, GetShortFilenameRetriesOnceWithTheReportedSize) {
    LongShortForms platform;
    testing::FakeView view;
    ErrorReport report(view);
    CommandRunner runner(platform, report);
    EXPECT_EQ(runner.GetShortFilename(L"C:\\long"), L"C:\\" + std::wstring(1500, L'S'));
    EXPECT_EQ(platform.bufferSizes, (std::vector<std::uint32_t>{1024, 1505}));
}

TEST(Save, WritesTheDumpLineRunsItAndReports) {
    Program p;
    p.AddProfile(L"Office");
    p.form.Form_Load();
    p.view.events.clear();
    p.platform.starts.clear();
    p.view.name = L"My Home";
    p.form.cmdSave_Click();

    EXPECT_EQ(p.platform.Content(p.Batch()),
              "netsh -c interface dump > C:\\ROAMWI~1\\Profiles\\My_Home.txt\r\n");
    EXPECT_EQ(p.platform.Content(p.Profile(L"My_Home")), p.platform.dumpText);
    ASSERT_EQ(p.platform.starts.size(), 1u);
    EXPECT_EQ(p.platform.starts[0].first, L"C:\\ROAMWI~1\\Settings.bat");
    EXPECT_EQ(p.platform.starts[0].second, L"C:\\windows\\system32");
    EXPECT_EQ(p.view.events, (std::vector<std::wstring>{
                                 L"pointer: busy", L"status:   Saving Settings", L"pointer: normal",
                                 L"list cleared", L"status: Active IP: 192.0.2.7", L"message: Roamwise",
                                 L"pointer: normal"}));
    ExpectBoxes(p.view, {{L"Roamwise", L"Settings Saved"}});
    EXPECT_EQ(p.view.items, (std::vector<std::wstring>{L"Office", L"My_Home"}));
    EXPECT_EQ(p.view.name, L"My Home");  // the box keeps the typed name
    EXPECT_FALSE(p.view.busyPointer);
}

TEST(Load, RunsNetshOnTheSelectedProfileAndReports) {
    const struct {
        std::wstring ip;
        std::wstring title, text, status;
    } cases[] = {
        {L"192.0.2.9", L"Roamwise", L"Network Settings Loaded", L" Active IP: 192.0.2.9"},
        {L"127.0.0.1", L"Network Error",
         L"There is no active connection to change.\rPlease connect to a network before loading a Profile.",
         L"   Loading Settings"},
    };
    for (const auto& c : cases) {
        Program p;
        p.SelectProfile(L"home");
        p.platform.ip = c.ip;
        p.platform.ipconfigText = "after load";
        p.form.cmdLoad_Click();
        ASSERT_EQ(p.platform.starts.size(), 2u);
        EXPECT_EQ(p.platform.starts[0].first, L"netsh -f C:\\ROAMWI~1\\Profiles\\home.txt");
        EXPECT_EQ(p.platform.starts[0].second, L"C:\\windows\\system32");
        EXPECT_EQ(p.platform.netshScripts, std::vector<std::wstring>{L"C:\\ROAMWI~1\\Profiles\\home.txt"});
        EXPECT_EQ(p.view.viewerText, L"after load");  // recaptured
        ExpectBoxes(p.view, {{c.title, c.text}});
        EXPECT_EQ(p.view.status, c.status);
        EXPECT_FALSE(p.view.busyPointer);
    }
}

TEST(Load, EntryWithABlankReachesNetshAsOnePath) {
    Program p;
    p.SelectProfile(L"Home Office");
    p.form.cmdLoad_Click();
    EXPECT_EQ(p.platform.starts[0].first, L"netsh -f \"C:\\ROAMWI~1\\Profiles\\Home Office.txt\"");
}

TEST(Load, NothingSelectedOrNoDirectoryStartsNothing) {
    Program p;
    p.form.cmdLoad_Click();
    EXPECT_TRUE(p.view.events.size() == 1);

    p.view.items = {L"stale"};
    p.view.selected = 0;
    p.form.cmdLoad_Click();  // the profile directory is gone
    EXPECT_TRUE(p.platform.starts.empty());
    ExpectBoxes(p.view, {{L"Roamwise", L"Select a profile to load"},
                         {L"cmdLoad", L"Error: 3. The system cannot find the path specified."}});
    EXPECT_FALSE(p.view.busyPointer);
}

TEST(Delete, AsksThenDeletesTheSelectedProfile) {
    for (Answer answer : {Answer::No, Answer::Yes}) {
        Program p;
        p.AddProfile(L"Office");
        p.platform.ip = L"127.0.0.1";
        p.SelectProfile(L"home");
        std::wstring statusWhileAsking;
        p.view.onMessage = [&] { statusWhileAsking = p.view.status; };
        p.view.answers = {answer};
        p.form.cmdDelete_Click();
        EXPECT_EQ(statusWhileAsking, L"   Deleting profile: home");
        ExpectBoxes(p.view, {{L"Roamwise", L"Are you sure you want to delete home"}});
        EXPECT_EQ(p.view.status, L" Active IP: 127.0.0.1");
        EXPECT_EQ(p.platform.Exists(p.Profile(L"home")), answer == Answer::No);
        EXPECT_TRUE(p.platform.Exists(p.Profile(L"Office")));
        if (answer == Answer::Yes) {
            EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"Office"});
            EXPECT_EQ(p.view.selected, -1);
        } else {
            EXPECT_EQ(p.view.ListText(), L"home");
        }
    }
}

TEST(Delete, NothingSelectedAsksNothing) {
    Program p;
    p.form.cmdDelete_Click();
    ExpectBoxes(p.view, {{L"Roamwise", L"Please select a profile to delete"}});
    EXPECT_EQ(p.view.status, L"");
}

}  // namespace
}  // namespace roamwise
