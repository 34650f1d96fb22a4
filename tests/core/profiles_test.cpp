// Saving, loading and deleting profiles through the command runner, with
// tools simulated by the fake platform.
#include <gtest/gtest.h>

#include "harness.h"

namespace roamwise {
namespace {

using testing::Program;

const std::wstring kShortProfiles = L"C:\\ROAMWI~1\\Profiles";

TEST(Runner, GetShortFilenameGivesTheShortFormOrNothing) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    CommandRunner runner(p.platform, *new ErrorReport(p.view));
    EXPECT_EQ(runner.GetShortFilename(p.Profiles()), kShortProfiles);
    EXPECT_EQ(runner.GetShortFilename(L"C:\\ROAMWI~1"), L"C:\\ROAMWI~1");  // already short
    EXPECT_EQ(runner.GetShortFilename(p.platform.appDir + L"\\missing"), L"");
}

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
    EXPECT_EQ(p.MessageTexts(), std::vector<std::wstring>{L"Settings Saved"});
    EXPECT_EQ(p.view.items, (std::vector<std::wstring>{L"Office", L"My_Home"}));
    EXPECT_EQ(p.view.name, L"My Home");  // the box keeps the typed name
    EXPECT_FALSE(p.view.busyPointer);
}

TEST(Save, RefusesEmptyAndUnsafeNamesWithoutTouchingAnything) {
    const struct {
        std::wstring name, message;
    } cases[] = {
        {L"", L"Please enter a profile name"},
        {L"a&b", L"A profile name cannot contain the character \"&\"."},
        {L"con", L"\"con\" is a name Windows keeps for a device."},
        {L"x:y", L"A profile name cannot contain the character \":\"."},
        {L"\u0416", L"A profile name can only hold characters of the system's code page."},
        {std::wstring(300, L'x'), L"The profile name is too long."},
    };
    for (const auto& c : cases) {
        Program p;
        p.AddProfile(L"home");
        p.view.name = c.name;
        p.form.cmdSave_Click();
        ASSERT_EQ(p.view.messages.size(), 1u);
        EXPECT_EQ(p.view.messages[0].text, c.message);
        EXPECT_EQ(p.view.messages[0].title, L"Roamwise");
        EXPECT_EQ(p.view.messages[0].buttons, Buttons::Ok);
        EXPECT_TRUE(p.platform.touched.empty());
        EXPECT_TRUE(p.platform.starts.empty());
        EXPECT_TRUE(p.view.events.size() == 1);  // only the message
    }
}

TEST(Save, BlanksOnlyNameIsValid) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    p.view.name = L"   ";
    p.form.cmdSave_Click();
    EXPECT_TRUE(p.platform.Exists(p.Profile(L"___")));
    EXPECT_EQ(p.MessageTexts(), std::vector<std::wstring>{L"Settings Saved"});
}

TEST(Save, ReplacementQuestionDecidesWhetherAnythingChanges) {
    for (Answer answer : {Answer::No, Answer::Yes}) {
        Program p;
        p.AddProfile(L"My_Home", "old dump");
        p.platform.AddFile(p.Batch(), "previous line\r\n");
        p.view.name = L"My Home";
        p.view.answers = {answer};
        p.form.cmdSave_Click();
        ASSERT_GE(p.view.messages.size(), 1u);
        EXPECT_EQ(p.view.messages[0].text, L"This profile already exist do you want to overite it?");
        EXPECT_EQ(p.view.messages[0].title, L"Profile Exist");
        EXPECT_EQ(p.view.messages[0].buttons, Buttons::YesNo);
        if (answer == Answer::No) {
            EXPECT_EQ(p.platform.Content(p.Profile(L"My_Home")), "old dump");
            EXPECT_EQ(p.platform.Content(p.Batch()), "previous line\r\n");
            EXPECT_TRUE(p.platform.touched.empty());
            EXPECT_EQ(p.view.messages.size(), 1u);
            EXPECT_EQ(p.view.status, L"");
        } else {
            EXPECT_EQ(p.platform.Content(p.Profile(L"My_Home")), p.platform.dumpText);
            EXPECT_FALSE(p.platform.Exists(p.Profile(L"My_Home") + L".bak"));
            EXPECT_EQ(p.view.messages.back().text, L"Settings Saved");
        }
    }
}

TEST(Save, FailedDumpKeepsTheOldProfileAndSaysSo) {
    const struct {
        bool hadProfile;
        std::int32_t exitCode;
    } cases[] = {{true, 1}, {false, 1}, {true, 259}, {true, -5}};
    for (const auto& c : cases) {
        Program p;
        p.platform.AddDirectory(p.Profiles());
        if (c.hadProfile) p.platform.AddFile(p.Profile(L"home"), "old dump", attr::kHidden);
        p.platform.dumpExitCode = c.exitCode;
        p.platform.partialDump = "# Interface conf";
        p.view.name = L"home";
        p.form.cmdSave_Click();
        if (c.hadProfile) {
            EXPECT_EQ(p.platform.Content(p.Profile(L"home")), "old dump");
        } else {
            EXPECT_FALSE(p.platform.Exists(p.Profile(L"home")));
        }
        EXPECT_FALSE(p.platform.Exists(p.Profile(L"home") + L".bak"));
        ASSERT_FALSE(p.view.messages.empty());
        EXPECT_EQ(p.view.messages.back().title, L"Roamwise");
        EXPECT_EQ(p.view.messages.back().text,
                  L"The settings could not be saved: netsh ended with exit code " + std::to_wstring(c.exitCode) + L".");
        EXPECT_FALSE(p.view.busyPointer);
        EXPECT_EQ(p.view.status, L" Active IP: 192.0.2.7");
        EXPECT_TRUE(p.view.items.empty());  // not refilled
    }
}

TEST(Save, CreatesAMissingProfileDirectoryButNothingElse) {
    Program p;
    p.view.name = L"first";
    p.form.cmdSave_Click();
    EXPECT_EQ(p.platform.touched.front(), L"mkdir " + p.Profiles());
    EXPECT_TRUE(p.platform.Exists(p.Profile(L"first")));
    EXPECT_EQ(p.MessageTexts(), std::vector<std::wstring>{L"Settings Saved"});
    for (const auto& t : p.platform.touched) EXPECT_EQ(t.find(L"C:\\Roam wise"), t.find(L' ') + 1) << t.c_str();
}

TEST(Save, ProfilesBeingAFileIsReportedAndNothingRuns) {
    Program p;
    p.platform.AddFile(p.Profiles(), "not a directory");
    p.view.name = L"home";
    p.form.cmdSave_Click();
    ASSERT_EQ(p.view.messages.size(), 1u);
    EXPECT_EQ(p.view.messages[0].title, L"cmdSave");
    EXPECT_EQ(p.view.messages[0].text, L"Error: 183. Cannot create a file when that file already exists.");
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_EQ(p.platform.Content(p.Profiles()), "not a directory");
}

TEST(Save, UnwritableApplicationDirectoryIsReportedBeforeAnythingStarts) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    p.platform.AddFile(p.Batch(), "locked\r\n", attr::kReadOnly);
    p.view.name = L"home";
    p.form.cmdSave_Click();
    ASSERT_EQ(p.view.messages.size(), 1u);
    EXPECT_EQ(p.view.messages[0].title, L"cmdSave");
    EXPECT_EQ(p.view.messages[0].text, L"Error: 5. Access is denied.");
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_FALSE(p.view.busyPointer);
}

TEST(Save, StartFailurePutsTheOldProfileBack) {
    Program p;
    p.AddProfile(L"home", "old dump");
    p.platform.startFails = true;
    p.view.name = L"home";
    p.form.cmdSave_Click();
    EXPECT_EQ(p.view.messages.back().title, L"cmdSave");
    EXPECT_EQ(p.platform.Content(p.Profile(L"home")), "old dump");
    EXPECT_FALSE(p.platform.Exists(p.Profile(L"home") + L".bak"));
}

TEST(Busy, OnlyOneToolRunsAtATime) {
    Program p;
    p.AddProfile(L"home");
    p.form.Form_Load();
    p.platform.starts.clear();
    p.view.name = L"first";
    p.view.Select(L"home");
    p.view.viewerText = L"captured at start";
    // While the dump runs, the user tries everything once more.
    p.platform.duringWait = [&] {
        p.view.name = L"second";
        p.form.cmdSave_Click();
        int enter = 13;
        p.form.Text1_KeyPress(enter);
        p.form.cmdLoad_Click();
        p.form.cmdSettings_Click();
        p.form.Command1_Click();
    };
    p.form.cmdSave_Click();
    EXPECT_EQ(p.view.beeps, 3);
    EXPECT_EQ(p.platform.starts.size(), 1u);
    EXPECT_TRUE(p.platform.Exists(p.Profile(L"first")));
    EXPECT_FALSE(p.platform.Exists(p.Profile(L"second")));
    EXPECT_EQ(p.platform.Content(p.Batch()), "netsh -c interface dump > C:\\ROAMWI~1\\Profiles\\first.txt\r\n");
    // The viewer was shown with what it had; the About box still worked.
    EXPECT_TRUE(p.view.viewerShown);
    EXPECT_EQ(p.view.viewerText, L"captured at start");
    EXPECT_EQ(p.view.Titles(), (std::vector<std::wstring>{L"About", L"Roamwise"}));
    // Afterwards commands start tools again.
    p.form.cmdSettings_Click();
    EXPECT_EQ(p.platform.starts.size(), 2u);
}

TEST(Busy, DeleteStillWorksDuringAWait) {
    Program p;
    p.AddProfile(L"old");
    p.form.File_List();
    p.view.Select(L"old");
    p.view.name = L"new";
    p.platform.duringWait = [&] { p.form.cmdDelete_Click(); };
    p.form.cmdSave_Click();
    EXPECT_FALSE(p.platform.Exists(p.Profile(L"old")));
    EXPECT_TRUE(p.platform.Exists(p.Profile(L"new")));
}

TEST(Busy, ClosingDuringASaveFinishesTheFileWorkSilently) {
    for (std::int32_t exitCode : {0, 1}) {
        Program p;
        p.AddProfile(L"home", "old dump");
        p.form.Form_Load();
        p.view.events.clear();
        p.view.name = L"home";
        p.platform.dumpExitCode = exitCode;
        p.platform.duringWait = [&] { p.form.Form_Unload(); };
        p.form.cmdSave_Click();
        EXPECT_EQ(p.view.Titles(), std::vector<std::wstring>{L"Profile Exist"});
        EXPECT_EQ(p.view.events, (std::vector<std::wstring>{L"message: Profile Exist", L"pointer: busy",
                                                             L"status:   Saving Settings"}));
        EXPECT_EQ(p.platform.Content(p.Profile(L"home")), exitCode == 0 ? p.platform.dumpText : "old dump");
        EXPECT_FALSE(p.platform.Exists(p.Profile(L"home") + L".bak"));
        EXPECT_NE(p.platform.RegistryValue(testing::kSettingsKey, "FormLeft"), nullptr);
    }
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
        p.AddProfile(L"home");
        p.form.File_List();
        p.view.Select(L"home");
        p.platform.ip = c.ip;
        p.platform.ipconfigText = "after load";
        p.form.cmdLoad_Click();
        ASSERT_EQ(p.platform.starts.size(), 2u);
        EXPECT_EQ(p.platform.starts[0].first, L"netsh -f C:\\ROAMWI~1\\Profiles\\home.txt");
        EXPECT_EQ(p.platform.starts[0].second, L"C:\\windows\\system32");
        EXPECT_EQ(p.platform.netshScripts, std::vector<std::wstring>{L"C:\\ROAMWI~1\\Profiles\\home.txt"});
        EXPECT_EQ(p.view.viewerText, L"after load");  // recaptured
        ASSERT_EQ(p.view.messages.size(), 1u);
        EXPECT_EQ(p.view.messages[0].title, c.title);
        EXPECT_EQ(p.view.messages[0].text, c.text);
        EXPECT_EQ(p.view.status, c.status);
        EXPECT_FALSE(p.view.busyPointer);
    }
}

TEST(Load, EntryWithABlankReachesNetshAsOnePath) {
    Program p;
    p.AddProfile(L"Home Office");
    p.form.File_List();
    p.view.Select(L"Home Office");
    p.form.cmdLoad_Click();
    EXPECT_EQ(p.platform.starts[0].first, L"netsh -f \"C:\\ROAMWI~1\\Profiles\\Home Office.txt\"");
}

TEST(Load, NothingSelectedOrNoDirectoryStartsNothing) {
    Program p;
    p.form.cmdLoad_Click();
    EXPECT_EQ(p.MessageTexts(), std::vector<std::wstring>{L"Select a profile to load"});
    EXPECT_TRUE(p.view.events.size() == 1);

    p.view.items = {L"stale"};
    p.view.selected = 0;
    p.form.cmdLoad_Click();  // the profile directory is gone
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_EQ(p.view.messages.back().title, L"cmdLoad");
    EXPECT_EQ(p.view.messages.back().text, L"Error: 3. The system cannot find the path specified.");
    EXPECT_FALSE(p.view.busyPointer);
}

TEST(Load, FailedNetshIsReportedWithItsExitCode) {
    Program p;
    p.AddProfile(L"home");
    p.form.File_List();
    p.view.Select(L"home");
    p.platform.loadExitCode = 2;
    p.form.cmdLoad_Click();
    EXPECT_EQ(p.MessageTexts(),
              std::vector<std::wstring>{L"The network settings could not be loaded: netsh ended with exit code 2."});
    EXPECT_EQ(p.platform.starts.size(), 1u);  // no recapture
    EXPECT_FALSE(p.view.busyPointer);
    EXPECT_EQ(p.view.status, L" Active IP: 192.0.2.7");
}

TEST(Delete, AsksThenDeletesTheSelectedProfile) {
    for (Answer answer : {Answer::No, Answer::Yes}) {
        Program p;
        p.AddProfile(L"home");
        p.AddProfile(L"Office");
        p.platform.ip = L"127.0.0.1";
        p.form.File_List();
        p.view.Select(L"home");
        std::wstring statusWhileAsking;
        p.view.onMessage = [&] { statusWhileAsking = p.view.status; };
        p.view.answers = {answer};
        p.form.cmdDelete_Click();
        EXPECT_EQ(statusWhileAsking, L"   Deleting profile: home");
        ASSERT_EQ(p.view.messages.size(), 1u);
        EXPECT_EQ(p.view.messages[0].text, L"Are you sure you want to delete home");
        EXPECT_EQ(p.view.messages[0].buttons, Buttons::YesNo);
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

TEST(Delete, NothingSelectedOrAlreadyGone) {
    Program p;
    p.form.cmdDelete_Click();
    EXPECT_EQ(p.MessageTexts(), std::vector<std::wstring>{L"Please select a profile to delete"});
    EXPECT_EQ(p.view.status, L"");

    p.AddProfile(L"home");
    p.form.File_List();
    p.view.Select(L"home");
    p.platform.DeleteFile(p.Profile(L"home"));  // another program removes it
    p.form.cmdDelete_Click();
    EXPECT_EQ(p.view.messages.back().title, L"cmdDelete");
    EXPECT_EQ(p.view.messages.back().text, L"Error: 2. The system cannot find the file specified.");
    EXPECT_EQ(p.view.status, L"   Deleting profile: home");
    EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
}

}  // namespace
}  // namespace roamwise
