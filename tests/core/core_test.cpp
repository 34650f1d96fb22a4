// The core's behaviour, one table per behaviour: each row is what the user
// does on a given machine and what must result. On every row the harness
// also checks that no profile was lost or changed that should not be, that
// nothing was written outside the program's folder, and that every tool
// came from the system folder.
#include <gtest/gtest.h>

#include "fake_machine.h"
#include "launch.h"
#include "main_controller.h"

namespace {
using namespace roamwise;
using Do = std::function<void(struct World&)>;

const std::wstring kProfiles = L"C:\\Roam wise\\Profiles\\";
const std::wstring kSaved = L"Roamwise: Settings Saved", kLoaded = L"Roamwise: Network Settings Loaded";
const std::wstring kRunning = L"Roamwise: Roamwise is already running from this folder: in another session, with other "
                              L"rights, or loading a profile from the command line. Only one copy can run from a folder at a time.";

struct World {
    explicit World(const std::wstring& folder = L"C:\\Roam wise", const std::wstring& shortFolder = L"C:\\ROAMWI~1")
        : machine(folder, shortFolder) {}
    ~World() { EXPECT_FALSE(viewer.misused || comparison.misused); }
    fake::Machine machine;
    fake::Windows windows;
    fake::Viewer viewer, comparison;
    MainController app{machine, windows, viewer, comparison};

    void Profile(const std::wstring& name, bool hidden = false, bool readOnly = false) {
        fake::File& f = machine.Add(kProfiles + name + L".txt", "old " + std::string(name.begin(), name.end()));
        f.hidden = hidden, f.readOnly = readOnly;
    }
    std::string Bytes(const std::wstring& path) { return machine.Find(path) ? machine.Find(path)->bytes : "<none>"; }
    std::string Settings() { return Bytes(machine.program + L"\\Settings.bat"); }
    // Started up, with the events meant for the user's action kept for it.
    void Started() {
        auto waits = std::exchange(machine.duringWaits, {});
        app.StartUp(), machine.written.clear(), machine.starts.clear(), machine.outputs.clear(), windows.boxes.clear();
        machine.duringWaits = waits;
    }
};

struct Row {
    const char* what;
    Do setUp, act;
    std::vector<std::wstring> boxes;    // "title: text", in order
    std::wstring status;                // panel 1 at the end, unless empty
    std::vector<std::wstring> changes;  // profile files that may change or go
    Do check;
};

void Play(const Row& row) {
    SCOPED_TRACE(row.what);
    World w;
    w.Profile(L"Home"), w.Profile(L"Office");
    if (row.setUp) row.setUp(w);
    w.Started();
    std::map<std::wstring, std::string> before;  // the profiles as the user's action finds them
    for (auto& f : w.machine.files) if (!f.folder && f.path.rfind(kProfiles, 0) == 0) before[f.path] = f.bytes;
    row.act(w);
    EXPECT_EQ(w.windows.boxes, row.boxes);
    if (!row.status.empty()) EXPECT_EQ(w.windows.status, row.status);
    if (!w.app.Closed()) EXPECT_FALSE(w.windows.busy);
    for (auto& [path, bytes] : before)
        if (std::find(row.changes.begin(), row.changes.end(), path.substr(kProfiles.size())) == row.changes.end())
            EXPECT_EQ(w.Bytes(path), bytes) << std::string(path.begin(), path.end());
    for (auto& path : w.machine.written)
        EXPECT_TRUE(fake::Lower(path).rfind(L"c:\\roam wise\\", 0) == 0 || path.rfind(w.machine.desktop, 0) == 0);
    for (auto& start : w.machine.starts) {
        EXPECT_EQ(start.rfind(L"C:\\WINDOWS\\system32\\", 0), 0u);
        if (start.find(L"\\cmd.exe|") != std::wstring::npos) EXPECT_NE(start.find(L"|cmd.exe /d /c "), std::wstring::npos);
    }
    for (auto& f : w.machine.files) EXPECT_NE(fake::Lower(L"    " + f.path).substr(f.path.size()), L".~rw");
    if (row.check) row.check(w);
}

Do Type(const std::wstring& name) { return [name](World& w) { w.windows.name = name, w.app.SaveProfile(); }; }
// Another start hands this window a load; its answer shows among the boxes, in order.
Do Handed(const std::wstring& name) {
    return [name](World& w) { w.app.LoadHandedOver({name == L"/undo", name == L"/undo" ? L"" : name, 0}, [&w](int code) { w.windows.boxes.push_back(L"answer: " + std::to_wstring(code)); }); };
}
Do Pick(const std::wstring& name, void (MainController::*command)()) {
    return [name, command](World& w) { w.windows.selected = name, (w.app.*command)(); };
}
Do Pick(const std::wstring& name, Do then) { return [name, then](World& w) { w.windows.selected = name, then(w); }; }
Do Menu(int item) { return [item](World& w) { w.app.Run(w.app.ProfileMenu(true).at(item).command); }; }

TEST(Save, ReplacesOnlyWhatTheUserAgreedToAndOnlyWhenTheDumpIsOnDisk) {
    const std::wstring exists = L"Profile Exist: This profile already exist do you want to overite it?";
    const std::wstring ip = L" Active IP: 192.0.2.7";
    const Row rows[] = {
        {"a new name", nullptr, Type(L"Home office"), {kSaved}, ip, {}, [](World& w) {
             EXPECT_EQ(w.Settings(), "netsh -c interface dump > C:\\ROAMWI~1\\Profiles\\Home_office.txt\r\n");
             EXPECT_EQ(w.Bytes(kProfiles + L"Home_office.txt"), "dump of 192.0.2.7");
             EXPECT_EQ(w.windows.profiles, (std::vector<std::wstring>{L"Home", L"Office", L"Home_office"}));
             EXPECT_EQ(w.machine.starts[0], L"C:\\WINDOWS\\system32\\cmd.exe|cmd.exe /d /c C:\\ROAMWI~1\\Settings.bat|C:\\WINDOWS\\system32"); }},
        {"no name", nullptr, Type(L""), {L"Roamwise: Please enter a profile name"}},
        {"replace declined", [](World& w) { w.windows.answers = {Answer::No}; }, Type(L"Home"), {exists}},
        {"replace keeps the listed letter case", nullptr, Type(L"home"), {exists, kSaved}, ip, {L"Home.txt"}, [](World& w) {
             EXPECT_TRUE(w.machine.List(kProfiles + L"home.txt")[0].name == L"Home.txt" && w.Bytes(kProfiles + L"Home.txt") == "dump of 192.0.2.7"); }},
        {"another profile's short name", [](World& w) { w.machine.Find(kProfiles + L"Office.txt")->shortName = L"OFFI~XS3.TXT"; },
         Type(L"offi~xs3"), {L"Roamwise: \"offi~xs3\" is another name of the file \"Office.txt\" in the Profiles folder. "
                             L"Please choose another name."}, L"", {}, [](World& w) { EXPECT_TRUE(w.machine.starts.empty()); }},
        {"a hand-copied .TXT is replaced by a listed profile", [](World& w) { w.machine.Add(kProfiles + L"Travel.TXT", "old"); },
         Type(L"travel"), {exists, kSaved}, ip, {L"Travel.TXT"}, [](World& w) {
             EXPECT_TRUE(w.machine.List(kProfiles + L"travel.txt")[0].name == L"Travel.txt" && w.windows.profiles.back() == L"Travel"); }},
        {"a hidden read-only profile is asked for too", [](World& w) { w.Profile(L"h", true, true); },
         Type(L"h"), {exists, kSaved}, ip, {L"h.txt"}},
        {"netsh fails", [](World& w) { w.machine.dumpExit = 1; }, Type(L"Home"),
         {exists, L"Roamwise: The settings could not be saved: netsh ended with exit code 1."}, ip},
        {"the redirection fails", [](World& w) { w.machine.Add(kProfiles + L"x.txt", "", true); }, Type(L"x"),
         {L"Roamwise: The settings could not be saved: no profile file was written."}, ip},
        {"netsh cannot start", [](World& w) { w.machine.startFails = true; }, Type(L"Home"),
         {exists, L"cmdSave: Error: 2. cannot start\rC:\\WINDOWS\\system32\\cmd.exe"}, ip},
        {"the wait fails", [](World& w) { w.machine.waitFails = true; }, Type(L"Home"),
         {exists, L"fWait: Error: 6. invalid handle\rC:\\WINDOWS\\system32\\cmd.exe"}, ip},
        {"a standard exception", [](World& w) { w.machine.throwing = kProfiles + L"Home.~rw"; }, Type(L"Home"),
         {exists, L"cmdSave: Error: 5. disk on fire"}, ip},
        {"out of memory", [](World& w) { w.machine.throwing = kProfiles + L"Home.~rw", w.machine.raise = 1; },
         Type(L"Home"), {exists, L"cmdSave: Error: 7. Out of memory"}, ip},
        {"no standard exception", [](World& w) { w.machine.throwing = kProfiles + L"Home.~rw", w.machine.raise = 2; },
         Type(L"Home"), {exists, L"cmdSave: Error: 5. Unknown error"}, ip},
        {"the capture cannot write Settings.bat", [](World& w) { w.machine.throwing = w.machine.program + L"\\Settings.bat"; },
         [](World& w) { w.app.ShowCurrentSettings(); }, {L"Run_Ipconfig: Error: 5. disk on fire"}, {}, {},
         [](World& w) { EXPECT_TRUE(w.viewer.shown); }},
        {"no short form", [](World& w) { w.machine.noShortProfiles = true; }, Type(L"n"),
         {L"cmdSave: Error: 3. error 3"}, ip, {},
         [](World& w) { EXPECT_EQ(w.Settings(), "ipconfig /all > C:\\ROAMWI~1\\ipinfo.txt\r\n"); }},
        {"a letter cmd cannot spell", nullptr, Type(L"Sm\u00f8rrebr\u00f8d"), {kSaved}, ip, {}, [](World& w) {
             EXPECT_TRUE(w.Bytes(kProfiles + L"Sm\u00f8rrebr\u00f8d.txt") == "dump of 192.0.2.7" && w.Bytes(kProfiles + L"~dump.tmp") == "<none>"); }},
        {"netsh fails on a name cmd cannot spell", [](World& w) { w.machine.dumpExit = 3; }, Type(L"\u00f8"),
         {L"Roamwise: The settings could not be saved: netsh ended with exit code 3."}, ip, {},
         [](World& w) { EXPECT_EQ(w.Bytes(kProfiles + L"~dump.tmp"), "<none>"); }},
        {"the longest name replaced", [](World& w) { w.Profile(std::wstring(233, L'n')); }, Type(std::wstring(233, L'n')),
         {exists, kSaved}, ip, {std::wstring(233, L'n') + L".txt"}},
        {"closed during the dump", [](World& w) { w.machine.duringWaits = {[&w] { w.app.Close(); }}; }, Type(L"Home"),
         {exists}, L"", {L"Home.txt"}, [](World& w) { EXPECT_EQ(w.Bytes(kProfiles + L"Home.txt"), "dump of 192.0.2.7"); }},
    };
    for (const Row& row : rows) Play(row);
}

TEST(Save, RefusesNamesThatAreUnsafeInAPathOrCommandLine) {
    std::vector<std::pair<std::wstring, std::wstring>> names = {
        {L"a/b", L"A profile name cannot contain the character \"/\"."}, {L"a&b", L"A profile name cannot contain the character \"&\"."},
        {L"a\x1f" L"b", L"A profile name cannot contain control characters."}, {std::wstring(234, L'n'), L"The profile name is too long."},
        {L"\u0141\u00f3d\u017a", L"A profile name can only hold characters of the system's code page."},
        {std::wstring(233, L'n'), L""}, {L"com0", L""}, {L"   ", L""}, {L".a.", L""},
        {L".", L"\".\" cannot be the name of a file."}, {L"...", L"\"...\" cannot be the name of a file."},
    };
    for (std::wstring device : {L"lpt1.x", L"CONOUT$", L"Nul", L"prn", L"conin$.x", L"COM\u00b9", L"lpt\u00b3", L"clock$"})
        names.push_back({device, L"\"" + device + L"\" is a name Windows keeps for a device."});
    for (auto& [name, problem] : names)
        Play({"name rules", nullptr, Type(name), {problem.empty() ? kSaved : L"Roamwise: " + problem}});
}

TEST(Save, TheBatchLineReachesCmdFromAnyProgramFolder) {
    const std::tuple<std::wstring, std::wstring, std::string> rows[] = {  // folder, its short form, the line
        {L"C:\\Zo\u00eb", L"C:\\Zo\u00eb", "netsh -c interface dump > C:\\Zo\x89\\Profiles\\p.txt\r\n"},
        {L"C:\\\u0141\u00f3d\u017a", L"C:\\\u0141ODZ~1", "netsh -c interface dump > \"%~dp0Profiles\\p.txt\"\r\n"},
        {L"C:\\50% off", L"C:\\50%OFF~1", "netsh -c interface dump > \"C:\\50%%OFF~1\\Profiles\\p.txt\"\r\n"},
    };
    for (auto& [folder, shortForm, line] : rows) {
        World w(folder, shortForm);
        w.Started(), Type(L"p")(w);
        EXPECT_EQ(w.Settings(), line);
        EXPECT_EQ(w.Bytes(folder + L"\\Profiles\\p.txt"), "dump of 192.0.2.7");
        EXPECT_EQ(w.windows.boxes, std::vector<std::wstring>{kSaved});
    }
}

// Everything a user, a posted message or another start can ask at once: none of the commands may start.
void AllAtOnce(World& w) {
    const auto beeps = w.windows.beeps, boxes = int(w.windows.boxes.size()), starts = int(w.machine.starts.size());
    w.windows.selected = L"Office";
    w.app.DeleteProfile(), w.app.LoadProfile(), w.app.NameKeyPressed(13), w.app.ListInput(Input::F2), w.app.ListInput(Input::F5);
    w.app.CreateShortcut(), w.app.ContextMenu(true), Handed(L"Home")(w);
    EXPECT_EQ(w.windows.beeps - beeps, 7);
    EXPECT_EQ(int(w.windows.boxes.size()) - boxes + int(w.machine.starts.size()) - starts, 1) << "only the answer";
}

TEST(LoadAndDelete, ApplyOrRemoveTheSelectedProfileAndSayWhatHappened) {
    const std::wstring sure = L"Roamwise: Are you sure you want to delete Home", ip = L" Active IP: 192.0.2.7";
    const std::wstring noAddress = L"Network Error: There is no active connection to change.\rPlease connect to a network before loading a Profile.";
    const Do load = Pick(L"Home", &MainController::LoadProfile), remove = Pick(L"Home", &MainController::DeleteProfile);
    const auto closed = [](int wait) { return [wait](World& w) { w.machine.duringWaits.resize(wait), w.machine.duringWaits.push_back([&w] { w.app.Close(); }); }; };
    const auto noAddressAfter = [](World& w) { w.machine.addressAfterLoad = L"127.0.0.1"; };
    const Row rows[] = {
        {"load", [](World& w) { w.machine.duringWaits = {[&w] { EXPECT_TRUE(w.windows.busy && w.windows.status == L"   Loading Settings"); }}; },
         load, {kLoaded}, L" Active IP: 192.0.2.8", {}, [](World& w) {
             EXPECT_EQ(w.machine.netshScripts, std::vector<std::wstring>{kProfiles + L"Home.txt"});
             EXPECT_EQ(w.machine.starts[1], L"C:\\WINDOWS\\system32\\netsh.exe|netsh -f C:\\ROAMWI~1\\Profiles\\Home.txt|C:\\WINDOWS\\system32");
             EXPECT_EQ(w.machine.starts.size(), 3u); }},  // the settings in force first, the capture after it
        {"load with no address after", noAddressAfter, load, {noAddress}, L" Active IP: Not Connected"},
        {"netsh fails to load", [](World& w) { w.machine.loadExit = 2; }, load,
         {L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 2."}, ip},
        {"netsh says why", [](World& w) { w.machine.loadExit = 1, w.machine.netshSays = "\r\nElement not found.\r\n\r\n  \r\nL\x84uft.\r\n"; },
         load, {L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 1.\r\rElement not found.\rL\u00e4uft."}},
        {"load nothing", nullptr, Pick(L"", &MainController::LoadProfile), {L"Roamwise: Select a profile to load"}},
        // Handed over by another start: it hears the result before the last box.
        {"a load handed over", [](World& w) { w.windows.selected = L"Home"; }, Handed(L"office.TXT"), {L"answer: 0", kLoaded},
         L" Active IP: 192.0.2.8", {}, [](World& w) {
             EXPECT_EQ(w.windows.selected + w.windows.listTip + w.machine.netshScripts.at(0), L"OfficeOffice" + kProfiles + L"Office.txt"); }},
        {"a load handed over, no address after", noAddressAfter, Handed(L"Home"), {L"answer: 3", noAddress}},
        {"a load handed over, netsh fails", [](World& w) { w.machine.loadExit = 5; }, Handed(L"Home"),
         {L"answer: 2", L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 5."}},
        {"a load handed over, netsh cannot start", [](World& w) { w.machine.startFails = true; }, Handed(L"Home"),
         {L"answer: 4", L"cmdLoad: Error: 2. cannot start\rC:\\WINDOWS\\system32\\netsh.exe"}},
        {"a load handed over, a path", nullptr, Handed(L"..\\Office"), {L"answer: 1",
         L"Roamwise: Roamwise cannot load \"..\\Office\". A profile name cannot contain the character \"\\\"."}, {}, {},
         [](World& w) { EXPECT_TRUE(w.machine.starts.empty()); }},
        {"a load handed over, closed during it", closed(0), Handed(L"Home"), {L"answer: 0"}},
        {"a load handed over of a profile copied in meanwhile", nullptr, [](World& w) {
             w.machine.Add(kProfiles + L"New.txt"), w.windows.selected = L"Home", Handed(L"new")(w); },
         {L"answer: 0", kLoaded}, {}, {}, [](World& w) {
             EXPECT_EQ(w.windows.selected + L" " + w.windows.profiles.back() + L" " + w.machine.netshScripts.at(0), L"New New " + kProfiles + L"New.txt"); }},
        // Closed while netsh runs: the window stays, taking nothing, until netsh has ended.
        {"closed during the load", [](World& w) { w.machine.duringWaits = {[&w] {
             w.app.Close(), AllAtOnce(w);
             EXPECT_TRUE(w.windows.exists && !w.windows.inputTaken && w.windows.status == L"   Closing when netsh is done"); }}; },
         load, {L"answer: 7"}, {}, {}, [](World& w) {
             EXPECT_TRUE(!w.windows.exists && !w.viewer.exists && w.machine.starts.size() == 2 && w.machine.settings[L"FormLeft"] == L"0"); }},
        {"closed during a failing load", [&](World& w) { w.machine.loadExit = 2, closed(0)(w); }, load, {}},
        {"closed during the viewer's capture", closed(0), [](World& w) { w.app.ShowCurrentSettings(); }, {}, {}, {},
         [](World& w) { EXPECT_FALSE(w.viewer.shown); }},
        {"closed during the capture after a load", closed(2), load, {}, {}, {}, [](World& w) { EXPECT_FALSE(w.viewer.exists); }},
        {"closed while the load's box is open", [](World& w) { w.windows.duringBoxes = {[&w] { w.app.Close(); EXPECT_FALSE(w.windows.exists); }}; },
         load, {kLoaded}},
        {"delete", nullptr, remove, {sure}, ip, {L"Home.txt"}, [](World& w) {
             EXPECT_TRUE(w.windows.profiles == std::vector<std::wstring>{L"Office"} && w.windows.statusAtBox == L"   Deleting profile: Home"); }},
        {"delete declined", [](World& w) { w.windows.answers = {Answer::No}; }, remove, {sure}, ip},
        {"delete a read-only profile", [](World& w) { w.machine.Find(kProfiles + L"Home.txt")->readOnly = true; }, remove, {sure}, {},
         {L"Home.txt"}, [](World& w) { EXPECT_EQ(w.Bytes(kProfiles + L"Home.txt"), "<none>"); }},
        {"delete fails", [](World& w) { w.machine.locked = {kProfiles + L"Home.txt"}; }, remove, {sure, L"cmdDelete: Error: 32. in use"}, ip,
         {}, [](World& w) { EXPECT_FALSE(w.machine.Find(kProfiles + L"Home.txt")->readOnly); }},
        {"delete a vanished profile", nullptr, Pick(L"Gone", &MainController::DeleteProfile),
         {L"Roamwise: Are you sure you want to delete Gone", L"cmdDelete: Error: 2. cannot delete"}, ip,
         {}, [](World& w) { EXPECT_EQ(w.windows.profiles, (std::vector<std::wstring>{L"Home", L"Office"})); }},
        {"delete nothing", nullptr, Pick(L"", &MainController::DeleteProfile), {L"Roamwise: Please select a profile to delete"}},
    };
    for (const Row& row : rows) Play(row);
}

TEST(Load, NetshsWordsAreShownAsTheyCameButNoMoreThanABoxHolds) {
    const std::string lines12 = [] { std::string t; for (char c = 'a'; c < 'm'; ++c) t += std::string(1, c) + "\n"; return t; }();
    const std::wstring first10 = L"a\rb\rc\rd\re\rf\rg\rh\ri\rj\r";
    const std::pair<std::string, std::wstring> rows[] = {
        {"", L""}, {"\r\n \t\r\n", L""}, {"\x01\x1b \r\n\x7f\n", L""}, {"one\ntwo", L"one\rtwo\r"}, {"a\rb\r\nc", L"a\rb\rc\r"}, {"\x82t\x1b\x81\t.  \r\n", L"\u00e9t \u00fc\t.\r"},
        {lines12.substr(0, 20), first10}, {lines12, first10 + L"\u2026\r"},
        {std::string(200, 'x'), std::wstring(200, L'x') + L"\r"}, {std::string(201, 'x') + "\n", std::wstring(200, L'x') + L"\u2026\r"},
        {std::string(900, 'z') + "\nok", std::wstring(200, L'z') + L"\u2026\rok\r"},  // what follows a cut line is whole
        {std::string(5 << 20, 'y'), std::wstring(200, L'y') + L"\u2026\r"},
        {std::string(5 << 20, '\n') + "late", L"late\r"},
    };
    fake::Machine machine(L"C:\\R", L"C:\\R");
    for (auto& [printed, shown] : rows) {
        PrintedLines lines;
        for (std::size_t at = 0; at < printed.size(); at += 4096) lines.Printed(printed.data() + at, std::min<std::size_t>(4096, printed.size() - at));
        EXPECT_EQ(lines.Text(machine), shown) << printed.substr(0, 30);
    }
}

TEST(Commands, NoneStartsInsideAnotherOrWhileItsBoxIsOpen) {
    const std::wstring kAbout = L"About: Roamwise ver.1.0\rSaves and restores the network settings of this computer.\r\r"
                                L"Comments, Questions:\r     E-Mail: roamwise@example.com";
    const std::wstring exists = L"Profile Exist: This profile already exist do you want to overite it?";
    const std::wstring busy = L"answer: 7", ip = L" Active IP: 192.0.2.7";
    const auto during = [](bool box) {  // while the action's first box is open, or during its first tool
        return [box](World& w) { (box ? w.windows.duringBoxes : w.machine.duringWaits).push_back([at = &w] { AllAtOnce(*at); }); };
    };
    const Row rows[] = {
        {"while the save asks to replace", during(true), Type(L"Home"), {exists, busy, kSaved}, ip, {L"Home.txt"},
         [](World& w) { EXPECT_EQ(w.Bytes(kProfiles + L"Home.txt"), "dump of 192.0.2.7"); }},
        {"during the dump", during(false), Type(L"n"), {busy, kSaved}, ip},
        {"while the load's last box is open", during(true), Pick(L"Home", &MainController::LoadProfile), {kLoaded, busy}},
        {"while delete asks", during(true), Pick(L"Home", &MainController::DeleteProfile),
         {L"Roamwise: Are you sure you want to delete Home", busy}, ip, {L"Home.txt"}},
        // Loops that are no command: the window is not at rest in them either.
        {"while the About box is open", during(true), [](World& w) { w.app.ShowAbout(); }, {kAbout, busy}},
        {"while the list's menu is open", [](World& w) { w.windows.duringMenus = {[&w] { AllAtOnce(w); }}; },
         Pick(L"Home", [](World& w) { w.app.ContextMenu(true); EXPECT_EQ(w.windows.selected, L"Office"); }), {busy}},
        // Only the load's own result answers the start waiting for it.
        {"another handler's failure during a handed-over load", [](World& w) {
             w.machine.throwing = L"Form2Left", w.machine.duringWaits = {[&w] { w.app.Viewer().InputGiven(Input::Escape); }}; },
         Handed(L"Home"), {L"WriteEntry: Error: 5. ", L"answer: 0", kLoaded}},
        {"harmless ones during the dump", [](World& w) {
             w.machine.duringWaits = {[&w] {
                 w.app.ShowAbout(), w.app.ShowCurrentSettings(), w.app.ProfileSelected(), w.app.NameKeyReleased();
                 EXPECT_TRUE(w.windows.status + w.windows.listTip + w.windows.nameTip == L"   Saving Settingsn" && w.windows.busy);
             }};
         }, Type(L"n"), {kAbout, kSaved}, ip, {},
         [](World& w) { EXPECT_TRUE(w.viewer.shown); }},
    };
    for (const Row& row : rows) Play(row);
    World w;  // and while the window starts up
    w.machine.duringWaits = {[&w] { AllAtOnce(w); }}, w.app.StartUp();
    EXPECT_EQ(w.windows.boxes, std::vector<std::wstring>{busy});
}

const std::wstring kUndoFile = L"C:\\Roam wise\\Roamwise-undo.txt";
Do Undo(Answer answer) { return [answer](World& w) { w.windows.answers = {answer}, w.app.UndoLoad(); }; }
Do Config(const std::string& settings) { return [settings](World& w) { EXPECT_EQ(w.machine.dumpText, settings); }; }

TEST(Undo, EveryLoadKeepsTheSettingsItReplacesAndUndoPutsThemBack) {
    const std::wstring back = L"Roamwise: Go back to the network settings from before \"Home\" was loaded at 14:03?";
    const Do load = Pick(L"Home", &MainController::LoadProfile);
    const auto menu = [](World& w) { std::wstring t; for (auto& i : w.app.ProfileMenu(false)) t += i.text; return t; };
    const Row rows[] = {
        {"a load", [](World& w) { w.Profile(L"Caf\u00e9 \u03a9\u4e2d"); }, Pick(L"Caf\u00e9 \u03a9\u4e2d", &MainController::LoadProfile),
         {kLoaded}, {}, {}, [&](World& w) {
             EXPECT_EQ(w.Bytes(kUndoFile), "# Roamwise undo: before loading \"Caf\xc3\xa9 \xce\xa9\xe4\xb8\xad\" at 2026-12-07 14:03:00\r\ndump of 192.0.2.7");
             EXPECT_EQ(menu(w), L"&Undo Load of \"Caf\u00e9 \u03a9\u4e2d\"");
             EXPECT_EQ(w.app.ProfileMenu(true).at(5).text + w.app.ProfileMenu(true).at(6).text, menu(w)); }},
        {"undo twice goes back, then forward", nullptr, [&](World& w) {
             load(w), Undo(Answer::Yes)(w), Config("dump of 192.0.2.7")(w);
             EXPECT_EQ(menu(w), L"&Undo Load of \"Undo of Home\"");
             Undo(Answer::Yes)(w); },
         {kLoaded, back, kLoaded, L"Roamwise: Go back to the network settings from before \"Undo of Home\" was loaded at 14:03?", kLoaded},
         {}, {}, Config("old Home")},
        {"undo declined", nullptr, [&](World& w) { load(w), Undo(Answer::No)(w); }, {kLoaded, back}, {}, {}, Config("old Home")},
        {"nothing to undo", nullptr, Undo(Answer::Yes), {L"Roamwise: There is no load to undo."}, {}, {}, [&](World& w) { EXPECT_EQ(menu(w), L""); }},
        {"after a restart, from a script", [](World& w) { w.machine.Add(kUndoFile, "# Roamwise undo: before loading \"AT&T\" at 2026-12-05 09:00:00\r\nbefore"); },
         [&](World& w) {
             EXPECT_EQ(menu(w), L"&Undo Load of \"AT&&T\"");
             ToolRunner runner(w.machine, w.machine.program);
             EXPECT_EQ(UndoQuestion(*UndoFile(w.machine, runner, w.machine.program).Read(), L"2026-12-07"),
                       L"Go back to the network settings from before \"AT&T\" was loaded at 2026-12-05 09:00?");
             Handed(L"/undo")(w); }, {L"answer: 0", kLoaded}, {}, {}, Config("before")},
        {"from a script, without asking", nullptr, [&](World& w) { load(w); EXPECT_EQ(w.app.FromCommandLine({true, L"", 0}, false), kExitLoaded); },
         {kLoaded, kLoaded}, {}, {}, Config("dump of 192.0.2.7")},
        {"the settings in force cannot be kept", [](World& w) { w.machine.snapshotExit = 1, w.machine.Add(kUndoFile, "# Roamwise undo: before loading \"x\" at 1"); },
         load, {kLoaded + L"\rUndo is not possible: the settings in force before could not be kept: netsh ended with exit code 1."}, {}, {},
         [](World& w) { EXPECT_EQ(w.Bytes(kUndoFile) + w.Bytes(w.machine.program + L"\\Roamwise-undo.tmp"), "<none><none>"); }},
        {"nor written", [](World& w) { w.machine.throwing = kUndoFile; }, load,
         {kLoaded + L"\rUndo is not possible: the settings in force before could not be kept: disk on fire"}},
        {"a file of the user's in the way", [](World& w) { w.machine.Add(kUndoFile, "my notes"); }, [](World& w) { w.machine.loadExit = 1, Pick(L"Home", &MainController::LoadProfile)(w); },
         {L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 1.\rUndo is not possible: the settings in force "
          L"before could not be kept: a file \"Roamwise-undo.txt\" that is not Roamwise's is in the way."}, {}, {},
         [](World& w) { EXPECT_EQ(w.Bytes(kUndoFile), "my notes"); }},
    };
    for (const Row& row : rows) Play(row);
}

TEST(Undo, ATrialLoadGoesBackByItselfUnlessSomeoneKeepsIt) {
    const std::wstring ask = L"trial: Keep these network settings?\r\rActive IP: 192.0.2.8";
    const auto went = [](const std::wstring& why) { return L"Roamwise: Roamwise went back to the network settings from before \"Home\" was loaded: " + why + L"."; };
    const auto remote = [](std::vector<TrialChoice> choices) {
        return [choices](World& w) { w.machine.remote = true, w.windows.trialChoices = choices, w.windows.secondPasses = [&w] { w.machine.now += 1000; }; };
    };
    const Do load = Pick(L"Home", &MainController::LoadProfile);
    const Row rows[] = {
        {"kept", remote({TrialChoice::Keep}), load, {ask}, L" Active IP: 192.0.2.8", {}, Config("old Home")},
        {"kept, not connected", [&](World& w) { remote({TrialChoice::Keep})(w), w.machine.addressAfterLoad = L"127.0.0.1"; }, load,
         {L"trial: Keep these network settings?\r\rNot connected"}},
        {"going back chosen", remote({TrialChoice::GoBack}), load, {ask, went(L"Go Back was chosen")}, {}, {}, Config("dump of 192.0.2.7")},
        {"the question closed", remote({TrialChoice::Closed}), load, {ask, went(L"the question was closed without an answer")}, {}, {}, Config("dump of 192.0.2.7")},
        {"nobody there", remote({}), load, {ask, went(L"nobody kept the new ones within 120 seconds")}, {}, {}, [](World& w) {
             EXPECT_EQ(w.windows.countdowns.front() + L", " + w.windows.countdowns[118] + L", " + w.windows.countdowns.back(),
                       L"Going back in 120 seconds, Going back in 2 seconds, Going back in 1 second");
             EXPECT_EQ(w.Bytes(kUndoFile).substr(0, 60), "# Roamwise undo: before going back from \"Home\" at 2026-12-07"); }},
        {"kept from a script", [&](World& w) { remote({})(w), w.windows.duringBoxes = {[&w] {
             EXPECT_NE(w.Bytes(kUndoFile).find(", on trial\r\n"), std::string::npos);  // a start after a crash would know
             EXPECT_TRUE(w.machine.KeepTrial()); }}; },
         load, {ask}, {}, {}, Config("old Home")},
        {"every way in while it asks", [&](World& w) { remote({TrialChoice::Keep})(w), w.windows.duringBoxes = {[&w] { AllAtOnce(w); }}; },
         load, {ask, L"answer: 7"}},
        {"the window closed while it asks", [&](World& w) { remote({})(w), w.windows.duringBoxes = {[&w] { w.app.Close(); }}; },
         load, {ask}, {}, {}, [](World& w) { EXPECT_TRUE(w.machine.dumpText == "dump of 192.0.2.7" && !w.windows.exists); }},
        // A load handed over without "/try" hears netsh's result before the question.
        {"handed over", remote({TrialChoice::Keep}), Handed(L"Home"), {L"answer: 0", ask}},
    };
    for (const Row& row : rows) Play(row);
    for (const Answer answer : {Answer::Yes, Answer::No}) {  // a trial found open at start-up: Roamwise ended in it
        World w;
        w.Profile(L"Home"), w.machine.Add(kUndoFile, "# Roamwise undo: before loading \"Home\" at 2026-12-07 14:00:00, on trial\r\nbefore");
        w.windows.answers = {answer}, w.app.StartUp();
        EXPECT_EQ(w.windows.boxes.front(), L"Roamwise: Roamwise ended while the trial load of \"Home\" was waiting to be kept.\r"
                                           L"Go back to the network settings from before \"Home\" was loaded at 14:00?");
        EXPECT_EQ(answer == Answer::Yes ? w.machine.dumpText : w.Bytes(kUndoFile).substr(53), answer == Answer::Yes ? "before" : "14:00:00\r\nbefore");
    }
}

// What wWinMain does with a command line: the gate and the usage first, then a load without the window,
// or start-up with it (-1: the window shows).
int Launch(World& w, const std::wstring& line) {
    const StartRequest request = ReadCommandLine(line);
    if (const auto code = EndsBeforeWindows(w.machine, w.windows, request)) return *code;
    using Action = StartRequest::Action;
    if (request.action == Action::Keep) return w.app.KeepFromCommandLine(request.quiet);
    if (request.action != Action::OpenWindow)
        return w.app.FromCommandLine({request.action == Action::Undo, request.profile, request.trySeconds}, request.quiet);
    w.app.StartUp();
    return w.app.Refused() ? 0 : -1;
}

TEST(Launch, TheGateComesFirstThenOneCopyPerFolderAndALoadFromTheCommandLineSaysHowItWent) {
    const auto usage = [](const std::wstring& problem) {
        return L"Roamwise: " + (problem.empty() ? L"" : problem + L"\r\r") + kUsageText;
    };
    const std::wstring sorry = L"Roamwise: This program requires Windows 2000 and higher. Sorry";
    const std::wstring busy = L"Roamwise: Roamwise did not load \"Home\": the Roamwise already running from this folder "
                              L"is busy with another command. Nothing was loaded.";
    const WindowsVersion me{1, 4, 90, 3000}, w95{1, 4, 0, 1111}, w98{1, 4, 10, 1998};
    using Kind = HandOverAnswer::Kind;
    const auto here = [](Kind kind, int code) {
        return [kind, code](fake::Machine& m) { m.claim = FolderClaim::RunningHere, m.answer = {kind, code}; };
    };
    const auto profile = [](const wchar_t* name) { return [name](fake::Machine& m) { m.Add(kProfiles + name + L".txt"); }; };
    const struct {
        std::wstring line;
        std::function<void(fake::Machine&)> setUp;
        int code;
        std::vector<std::wstring> boxes;
        std::size_t starts;
        std::wstring loaded;  // the listed profile loaded here or handed over
    } rows[] = {
        {L"/load Home", nullptr, kExitLoaded, {kLoaded}, 3, L"Home"},
        {L"-LOAD \"home\" /Quiet", nullptr, kExitLoaded, {}, 3, L"Home"},
        {L" /quiet  /load Home ", [](fake::Machine& m) { m.addressAfterLoad = L"127.0.0.1"; }, kExitNotConnected, {}, 3, L"Home"},
        {L"/load Home", [](fake::Machine& m) { m.loadExit = 1, m.netshSays = "Element not found.\r\n"; }, kExitNetshFailed,
         {L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 1.\r\rElement not found."}, 2, L"Home"},
        // Whatever the list shows, as Save stores a typed name, or with ".txt".
        {L"/load \"Work LAN\" /quiet", profile(L"Work_LAN"), kExitLoaded, {}, 3, L"Work_LAN"},
        {L"/load \"Home (5G)\" /quiet", profile(L"Home (5G)"), kExitLoaded, {}, 3, L"Home (5G)"},
        {L"/load AT&T /quiet", profile(L"AT&T"), kExitLoaded, {}, 3, L"AT&T"},
        {L"/load \u03a9.TXT /quiet", profile(L"\u03a9"), kExitLoaded, {}, 3, L"\u03a9"},
        {L"/load -work /quiet", profile(L"-work"), kExitLoaded, {}, 3, L"-work"},
        {L"/load \"No #2\" /quiet", profile(L"No #2"), kExitLoaded, {}, 3, L"No #2"},
        {L"/load Gone", nullptr, kExitNoSuchProfile, {L"Roamwise: There is no profile \"Gone\" in the Profiles folder."}, 0},
        {L"/load Travel /quiet", profile(L"Travel.TXT"), kExitNoSuchProfile, {}, 0},
        {L"/load " + std::wstring(300, L'x'), nullptr, kExitNoSuchProfile,
         {L"Roamwise: There is no profile \"" + std::wstring(300, L'x') + L"\" in the Profiles folder."}, 0},
        {L"/load ..", nullptr, kExitNoSuchProfile, {L"Roamwise: Roamwise cannot load \"..\". \"..\" names a folder, not a profile."}, 0},
        {L"/load ..\\Home", nullptr, kExitNoSuchProfile,
         {L"Roamwise: Roamwise cannot load \"..\\Home\". A profile name cannot contain the character \"\\\"."}, 0},
        {L"/load \"conout$ .txt\"", profile(L"conout$ "), kExitNoSuchProfile,
         {L"Roamwise: Roamwise cannot load \"conout$ .txt\". \"conout$ .txt\" is a name Windows keeps for a device."}, 0},
        // The copy running here: it loads and answers, or is busy; a refused name never reaches it.
        {L"/load home.txt", here(Kind::Answered, kExitLoaded), kExitLoaded, {}, 0, L"Home"},
        {L"/load Home", here(Kind::Answered, kExitUsage), kExitFailed, {}, 0, L"Home"},  // no answer a load gives
        {L"/load Home", here(Kind::Answered, kExitBusy), kExitBusy, {busy}, 0, L"Home"},
        {L"/load Home /quiet", here(Kind::NoAnswer, 0), kExitHandedOver, {}, 0, L"Home"},
        {L"/load Home", here(Kind::NotDelivered, 0), kExitBusy, {busy}, 0, L"Home"},
        {L"/load Home", here(Kind::Ended, 0), kExitFailed, {L"Roamwise: The Roamwise running from this folder ended before it had "
                                                            L"loaded \"Home\". The network settings may have been changed in part."}, 0, L"Home"},
        {L"/load Home", here(Kind::Unreachable, 0), kExitFailed, {kRunning}, 0, L"Home"},
        {L"/load Gone /quiet", here(Kind::Answered, kExitLoaded), kExitNoSuchProfile, {}, 0},
        {L"/load Home", [](fake::Machine& m) { m.claim = FolderClaim::LoadingHere; }, kExitBusy, {busy}, 0},
        {L"/load Home", [](fake::Machine& m) { m.claim = FolderClaim::HeldElsewhere; }, kExitFailed, {kRunning}, 0},
        {L"/load Home", [](fake::Machine& m) { m.startFails = true; }, kExitFailed,
         {L"cmdLoad: Error: 2. cannot start\rC:\\WINDOWS\\system32\\netsh.exe"}, 0},
        {L"/load Home /quiet", [](fake::Machine& m) { m.waitFails = true; }, kExitFailed, {}, 2},
        {L"/load Home /quiet", [](fake::Machine& m) { m.locked = {kProfiles + L"*"}; }, kExitFailed, {}, 0},
        {L"/load Home", [&](fake::Machine& m) { m.version = me; }, kExitFailed, {sorry}, 0},
        {L"/load Home /quiet", [&](fake::Machine& m) { m.version = w98; }, kExitFailed, {}, 0},
        {L"", [&](fake::Machine& m) { m.version = w95; }, 0, {sorry}, 0},
        {L"", here(Kind::Answered, 0), 0, {}, 0},
        {L"", [](fake::Machine& m) { m.claim = FolderClaim::LoadingHere; }, 0, {kRunning}, 0},
        {L"", [](fake::Machine& m) { m.claim = FolderClaim::HeldElsewhere; }, 0, {kRunning}, 0},
        {L"", [](fake::Machine& m) { m.settings[L"FormTop"] = L"abc"; }, -1, {L"Form_Load: Error: 13. Type mismatch"}, 0},
        {L"", [](fake::Machine& m) { m.settings[L"FormTop"] = L"2147483648"; }, -1, {L"Form_Load: Error: 6. Overflow"}, 0},
        // A line that makes no sense names what it could not use.
        {L"/?", nullptr, 0, {usage(L"")}, 0},
        {L"/? /quiet", nullptr, 0, {}, 0},
        {L"/load Home /y", nullptr, kExitUsage, {usage(L"Roamwise does not know the argument \"/y\".")}, 0},
        {L"/q /load Home", nullptr, kExitUsage, {usage(L"Roamwise does not know the argument \"/q\".")}, 0},
        {L"/load", nullptr, kExitUsage, {usage(L"\"/load\" needs the name of a profile after it.")}, 0},
        {L"-Load /quiet", nullptr, kExitUsage, {}, 0},
        {L"/load \"\"", nullptr, kExitUsage, {usage(L"The profile name after \"/load\" is empty.")}, 0},
        {L"/load a /LOAD b", nullptr, kExitUsage, {usage(L"\"/LOAD\" can be given only once.")}, 0},
        {L"-quiet", nullptr, kExitUsage, {}, 0},
        {L"Home", nullptr, kExitUsage, {usage(L"Roamwise does not know the argument \"Home\".")}, 0},
        {L"/load Home /try 0", nullptr, kExitUsage, {usage(L"\"/try\" needs a number of seconds from 1 to 3600 after it.")}, 0},
        {L"/load Home /try", nullptr, kExitUsage, {usage(L"\"/try\" needs a number of seconds from 1 to 3600 after it.")}, 0},
        {L"/try 3601 /load Home", nullptr, kExitUsage, {usage(L"\"/try\" needs a number of seconds from 1 to 3600 after it.")}, 0},
        {L"/undo /try 5", nullptr, kExitUsage, {usage(L"\"/try\" is only used together with \"/load\".")}, 0},
        {L"/undo /load Home", nullptr, kExitUsage, {usage(L"\"/load\" cannot be given together with \"/undo\".")}, 0},
        {L"/quiet", nullptr, kExitUsage, {}, 0},
        // Taking a load back, from a script: nothing to undo, no trial to keep, a trial nobody keeps.
        {L"/undo", nullptr, kExitNoSuchProfile, {L"Roamwise: There is no load to undo."}, 0},
        {L"-UNDO /quiet", here(Kind::Answered, kExitLoaded), kExitLoaded, {}, 0, L"undo"},
        {L"/keep", nullptr, kExitNoSuchProfile, {L"Roamwise: There is no trial load open to keep."}, 0},
        {L"/load Home /try 5 /quiet", nullptr, kExitWentBack, {}, 5, L"Home"},
        {L"/load Home /try 5 /quiet", [](fake::Machine& m) { m.keepAt = 4000; }, kExitLoaded, {}, 3, L"Home"},
        {L"/load Home /try 5 /quiet", [](fake::Machine& m) { m.snapshotExit = 1; }, kExitFailed, {}, 1},
        {L"/load home /try 3600", here(Kind::Answered, kExitWentBack), kExitWentBack, {}, 0, L"Home /try 3600"},
    };
    for (auto& r : rows) {
        World w;
        w.Profile(L"Home"), w.machine.Add(kProfiles + L"Office.~rw");  // put back by every start that claims the folder,
        w.machine.Add(w.machine.program + L"\\Roamwise-undo.tmp");       // and an Undo's copy cleared away
        if (r.setUp) r.setUp(w.machine);
        SCOPED_TRACE(std::string(r.line.begin(), r.line.end()) + " on 4." + std::to_string(w.machine.version.minor));
        EXPECT_EQ(Launch(w, r.line), r.code);
        EXPECT_TRUE(w.windows.boxes == r.boxes && w.machine.starts.size() == r.starts) << w.windows.boxes.size();
        const auto& scripts = w.machine.netshScripts;
        EXPECT_EQ(scripts.empty() ? w.machine.handedOver : scripts[0], scripts.empty() ? r.loaded : kProfiles + r.loaded + L".txt");
        EXPECT_EQ(w.Bytes(kProfiles + L"Office.~rw") + w.Bytes(w.machine.program + L"\\Roamwise-undo.tmp") == "<none><none>", w.machine.claimed);
        w.app.Close();  // stores only the place of a window that started up, even without its list
        EXPECT_TRUE(w.windows.profiles.empty() && !w.viewer.exists);
        if (r.code == -1) EXPECT_EQ(w.machine.settings[L"FormTop"], L"0");
        else EXPECT_TRUE(w.machine.settingReads == 0 && w.machine.settings.empty());
    }
}

TEST(Launch, AHandOverRequestCarriesWhatTheStartAskedAndNothingElse) {
    const HandedRequest good[] = {{false, L"Caf\u00e9 \u03a9", 0}, {false, std::wstring(1024, L'\u6161'), 0}, {false, L"H", 3600}, {true, L"", 0}};
    for (const HandedRequest& r : good) {
        const std::string bytes = RequestBytes(r);
        EXPECT_EQ(ReadRequest(RequestTag(r), bytes.data(), bytes.size()), r) << bytes.size();
    }
    const std::string trial = RequestBytes({false, L"H", 3600}), load = RequestBytes({false, L"H", 0});
    const std::tuple<unsigned long, std::string> bad[] = {
        {kLoadRequestTag, std::string("H\0\0\0", 4)}, {kLoadRequestTag, "H"}, {kLoadRequestTag, ""}, {kLoadRequestTag, std::string(2050, 'a')},
        {kTrialRequestTag, std::string("\0\0\0\0H\0", 6)}, {kTrialRequestTag, std::string("\x11\x0e\0\0H\0", 6)},
        {kTrialRequestTag, trial.substr(0, 4)}, {kUndoRequestTag, load}, {kLoadRequestTag + 1, load}};
    for (const auto& [tag, bytes] : bad) EXPECT_FALSE(ReadRequest(tag, bytes.data(), bytes.size())) << bytes.size();
}

Do Input(Input input) { return [input](World& w) { EXPECT_TRUE(w.app.ListInput(input)); }; }
Do Rename(const std::wstring& from, const std::wstring& to) {
    return [from, to](World& w) { w.windows.selected = from, w.windows.newNames = {to}, w.app.ListInput(Input::F2); };
}

TEST(List, KeysClicksAndTheMenuDoWhatTheButtonsDo) {
    World w;
    EXPECT_TRUE(w.app.ProfileMenu(false).empty());
    std::wstring menu;
    for (const MenuItem& item : w.app.ProfileMenu(true)) menu += item.text + std::wstring(item.isDefault ? L"* " : L" ");
    EXPECT_EQ(menu, L"&Load* &Compare with Current Settings Re&name &Delete Create &Shortcut on Desktop ");
    EXPECT_FALSE(w.app.ListInput(Input::Escape));
    const std::wstring lnk = L"C:\\Users\\me\\Desktop\\Home - Roamwise.lnk", made = L"Roamwise: The shortcut \"Home - Roamwise\" is on the desktop:\r" + lnk;
    const std::wstring replace = L"Roamwise: There is already a shortcut \"Home - Roamwise\" on the desktop. Do you want to replace it?";
    const std::wstring sure = L"Roamwise: Are you sure you want to delete Home";
    const Row rows[] = {
        {"Enter", nullptr, Pick(L"Home", Input(Input::Enter)), {kLoaded}}, {"the menu's Load", nullptr, Pick(L"Home", Menu(0)), {kLoaded}},
        {"a double-click", nullptr, Pick(L"Home", Input(Input::DoubleClick)), {kLoaded}},
        {"the Delete key", nullptr, Pick(L"Home", Input(Input::DeleteKey)), {sure}, {}, {L"Home.txt"}},
        {"the menu's Delete", nullptr, Pick(L"Home", Menu(3)), {sure}, {}, {L"Home.txt"}},
        // Rename, from F2 or the menu: Save's rules, nothing overwritten, the renamed profile selected.
        {"rename", nullptr, Rename(L"Home", L"My Home"), {L"rename Home"}, {}, {L"Home.txt"}, [](World& w) {
             EXPECT_TRUE(w.Bytes(kProfiles + L"My_Home.txt") == "old Home" && w.windows.profiles == (std::vector<std::wstring>{L"My_Home", L"Office"}));
             EXPECT_EQ(w.windows.selected + w.windows.listTip, L"My_HomeMy_Home"); }},
        {"rename, the letter case alone", [](World& w) { w.windows.newNames = {L"HOME"}; }, Pick(L"Home", Menu(2)),
         {L"rename Home"}, {}, {L"Home.txt"}, [](World& w) { EXPECT_EQ(w.machine.List(kProfiles + L"*")[0].name + w.windows.selected, L"HOME.txtHOME"); }},
        // A refused name comes back to the box, to be corrected.
        {"rename onto another profile", nullptr, Rename(L"Home", L"office"),
         {L"rename Home", L"Roamwise: There is already a file \"Office.txt\" in the Profiles folder. Please choose another name.", L"rename Home as office"}},
        {"rename onto a short name", [](World& w) { w.machine.Find(kProfiles + L"Office.txt")->shortName = L"OFFI~1.TXT"; },
         Rename(L"Home", L"OFFI~1"), {L"rename Home", L"Roamwise: \"OFFI~1\" is another name of the file \"Office.txt\" in the Profiles folder. Please choose another name.", L"rename Home as OFFI~1"}},
        {"rename to a refused name, then a good one", [](World& w) { w.windows.newNames = {L"a|b", L"a b"}; }, Pick(L"Home", Input(Input::F2)),
         {L"rename Home", L"Roamwise: A profile name cannot contain the character \"|\".", L"rename Home as a|b"}, {}, {L"Home.txt"},
         [](World& w) { EXPECT_EQ(w.windows.selected, L"a_b"); }},
        {"rename to dots", nullptr, Rename(L"Home", L".."), {L"rename Home", L"Roamwise: \"..\" cannot be the name of a file.", L"rename Home as .."}},
        {"rename to nothing", nullptr, Rename(L"Home", L""), {L"rename Home", L"Roamwise: Please enter a profile name", L"rename Home as "}},
        {"rename to the same, as Save stores it", [](World& w) { w.Profile(L"My_Home"); }, Rename(L"My_Home", L"My Home"), {L"rename My_Home"}},
        {"OK on the name as it stands", [](World& w) { w.Profile(L"Home (5G)"), w.Profile(L"Caf\u00e9 Home"); }, [](World& w) {
             Rename(L"Home (5G)", L"Home (5G)")(w), Rename(L"Caf\u00e9 Home", L"Caf\u00e9 Home")(w); },
         {L"rename Home (5G)", L"rename Caf\u00e9 Home"}, {}, {}, [](World& w) { EXPECT_EQ(w.Bytes(kProfiles + L"Caf\u00e9_Home.txt"), "<none>"); }},
        {"rename cancelled", nullptr, Pick(L"Home", Input(Input::F2)), {L"rename Home"}},
        {"rename fails: the profile went", [](World& w) { w.Profile(L"Gone"); }, [](World& w) { w.machine.Delete(kProfiles + L"Gone.txt"), Rename(L"Gone", L"x")(w); },
         {L"rename Gone", L"Roamwise: The profile \"Gone\" could not be renamed: cannot rename"}, {}, {L"Gone.txt"},
         [](World& w) { EXPECT_EQ(w.windows.profiles, (std::vector<std::wstring>{L"Home", L"Office"})); }},
        {"rename nothing", nullptr, Rename(L"", L"x"), {L"Roamwise: Select a profile to rename"}},
        // A shortcut on the desktop that loads the profile.
        {"a shortcut", nullptr, Pick(L"Home", Menu(4)), {made}, {}, {}, [lnk](World& w) {
             EXPECT_EQ(w.machine.shortcuts[lnk], L"C:\\Roam wise\\Roamwise.exe|/load \"Home\"|C:\\Roam wise|C:\\Roam wise\\Roamwise.exe"); }},
        {"a shortcut there already, kept", [lnk](World& w) { w.machine.Add(lnk, "mine"), w.windows.answers = {Answer::No}; },
         Pick(L"Home", &MainController::CreateShortcut), {replace}, {}, {}, [lnk](World& w) { EXPECT_EQ(w.Bytes(lnk), "mine"); }},
        {"a shortcut there already, replaced", [lnk](World& w) { w.machine.Add(lnk, "mine"); },
         Pick(L"Home", &MainController::CreateShortcut), {replace, made}, {}, {}, [lnk](World& w) { EXPECT_EQ(w.Bytes(lnk), ""); }},
        {"no desktop", [](World& w) { w.machine.desktop = L"C:\\Nowhere"; }, Pick(L"Home", &MainController::CreateShortcut),
         {L"Roamwise: The shortcut could not be made in the folder \"C:\\Nowhere\": cannot write"}},
        {"a shortcut of nothing", nullptr, Pick(L"", &MainController::CreateShortcut), {L"Roamwise: Select a profile to make a shortcut for"}},
        // What a profile sets: a line per adapter in its tooltip, eight at most; beside the settings in force in a window.
        {"the tooltip", [](World& w) {
             std::string dump = "pushd interface ip\r\n";
             for (char a = 'A'; a < 'J'; ++a) dump += std::string("set address ") + a + " dhcp\r\n";
             w.machine.Add(kProfiles + L"Nine.txt", dump); }, [](World& w) {
             w.windows.selected = L"Nine", w.app.ProfileSelected();
             EXPECT_EQ(w.windows.listTip, L"Nine\r\nA: DHCP\r\nB: DHCP\r\nC: DHCP\r\nD: DHCP\r\nE: DHCP\r\nF: DHCP\r\nG: DHCP\r\nH: DHCP\r\n\u2026"); }, {}},
        {"compared", [](World& w) { w.machine.Find(kProfiles + L"Home.txt")->bytes = "interface ip set address LAN dhcp", w.machine.dumpText = "interface ip set address LAN static 1.2.3.4"; },
         Pick(L"Home", Menu(1)), {}, L" Active IP: 192.0.2.7", {}, [](World& w) {
             EXPECT_TRUE(w.comparison.shown && !w.windows.busy && w.Bytes(w.machine.program + L"\\Roamwise-now.tmp") == "<none>");
             EXPECT_EQ(w.comparison.text.substr(0, 20) + w.comparison.text.substr(w.comparison.text.find(L"\r\n* "), 9), L"\"Home\" compared with\r\n* IPv4 "); }},
        {"compared, netsh fails", [](World& w) { w.machine.dumpExit = 2; }, Pick(L"Home", Menu(1)),
         {L"Roamwise: The settings in force could not be read: netsh ended with exit code 2."}, L" Active IP: 192.0.2.7", {}, [](World& w) { EXPECT_FALSE(w.comparison.exists); }},
        {"compared, nothing selected", nullptr, Pick(L"", [](World& w) { w.app.Run(ListCommand::Compare); }), {L"Roamwise: Select a profile to compare"}},
        {"a shortcut of a vanished profile", nullptr, Pick(L"Gone", &MainController::CreateShortcut),
         {L"Roamwise: There is no profile \"Gone\" in the Profiles folder."}},
    };
    for (const Row& row : rows) Play(row);
}

TEST(List, ShowsWhatChangedInTheFolderWhenAskedOrWhenTheWindowComesBack) {
    const auto copyIn = [](World& w) { w.machine.Add(kProfiles + L"New.txt"), w.windows.selected = L"Office"; };
    const auto back = [](World& w) { w.app.Activated(false), w.app.Activated(true); };
    const std::vector<std::wstring> three{L"Home", L"Office", L"New"}, two{L"Home", L"Office"};
    const std::tuple<const char*, Do, Do, std::vector<std::wstring>, std::vector<std::wstring>, int> rows[] = {
        // what, set-up, act, boxes, then listed, and how often the list was filled
        {"F5", nullptr, [&](World& w) {
             copyIn(w), Input(Input::F5)(w);
             EXPECT_EQ(w.windows.selected + w.windows.listTip, L"OfficeOffice"); }, {}, three, 2},
        {"back to the window", nullptr, [&](World& w) { copyIn(w), back(w); }, {}, three, 2},
        {"back to the window, nothing changed", nullptr, back, {}, two, 1},
        {"the window was never away", nullptr, [&](World& w) { copyIn(w), w.app.Activated(true); }, {}, two, 1},
        {"the start-up could not list", [](World& w) { w.machine.locked = {kProfiles + L"*"}; },
         [](World& w) { w.machine.locked.clear(), w.app.Activated(true); }, {}, two, 2},
        {"back, but the folder cannot be listed", nullptr, [&](World& w) { w.machine.locked = {kProfiles + L"*"}, back(w); }, {}, two, 1},
        {"back while a command asks", [&](World& w) {
             w.windows.answers = {Answer::No}, w.windows.duringBoxes = {[&w, copyIn, back] { copyIn(w), back(w); }};
         }, Pick(L"Home", &MainController::DeleteProfile), {L"Roamwise: Are you sure you want to delete Home"}, two, 1},
        {"a load finds its profile gone", [](World& w) { w.Profile(L"Gone"); }, [](World& w) {
             w.machine.Delete(kProfiles + L"Gone.txt"), w.windows.selected = L"Gone", w.app.LoadProfile();
             EXPECT_TRUE(w.machine.starts.empty()); }, {L"Roamwise: There is no profile \"Gone\" in the Profiles folder."}, two, 2},
    };
    for (auto& [what, setUp, act, boxes, listed, fills] : rows)
        Play({what, setUp, act, boxes, {}, {L"Gone.txt"}, [&](World& w) { EXPECT_TRUE(w.windows.profiles == listed && w.windows.clears == fills); }});
}

TEST(StartUp, ListsTxtFilesOfEveryKindAndPutsBackInterruptedReplaces) {
    Play({"the profiles cannot be listed", [](World& w) { w.machine.locked = {kProfiles + L"*"}; }, Type(L"n"),
          {L"FilesToArray: Error: 5. access denied", kSaved}});
    Play({"odd names and left-overs", [](World& w) {
              for (auto name : {L"b.txt", L"A.TXT", L".txt", L"txt", L"abctxt"}) w.machine.Add(kProfiles + name);
              w.machine.Add(kProfiles + L"d.txt", "", true);
              w.machine.Add(kProfiles + L"h.txt").hidden = true;
              // The user's own files, one reached through a short name like the keep-aside's.
              w.machine.Add(kProfiles + L"Home.bak", "user's");
              w.machine.Add(kProfiles + L"Notes.bak", "user's");
              w.machine.Add(kProfiles + L"x.~rwz", "user's").shortName = L"X~1.~RW";
              w.machine.Add(kProfiles + L"Office.~rw", "old Office");  // a replace that never finished
              w.machine.Find(kProfiles + L"Office.txt")->bytes = "half a dump";
              w.machine.Add(kProfiles + L"~dump.tmp", "half");
          },
          [](World&) {}, {}, L" Active IP: 192.0.2.7", {}, [](World& w) {
              EXPECT_EQ(w.windows.profiles, (std::vector<std::wstring>{L"Home", L"b", L"h", L"Office"}));
              EXPECT_EQ(w.Bytes(kProfiles + L"Office.txt"), "old Office");
              for (auto name : {L"Home.bak", L"Notes.bak", L"x.~rwz"}) EXPECT_EQ(w.Bytes(kProfiles + name), "user's");
              EXPECT_EQ(w.Bytes(kProfiles + L"~dump.tmp"), "<none>");
              EXPECT_EQ(w.viewer.text, L"Windows IP Configuration"); }});
}

TEST(Positions, SurviveClosingAndTheSessionsEndKeepTheTitleBarWithinReachAndTheViewerTakesItsKeys) {
    struct { std::wstring left, top; bool twoScreens; long wantLeft, wantTop; } const rows[] = {
        {L" 1200 ", L"-45", true, 1200, 0},       {L"-20000", L"300", true, 0, 300},
        {L"300", L"-90000", true, 300, 0},      {L"99999", L"-99999", true, 26520, 0},
        {L"15300", L"0", false, 15300, 0},      {L"15360", L"0", false, 11160, 0},
        {L"-2147483648", L"0", false, 0, 0},    {L"7500", L"-4300", false, 7500, 0},
        {L"-30", L"10", false, -30, 10},        {L"300", L"11400", false, 300, 11190},
    };
    for (auto& r : rows) {
        World w;
        if (r.twoScreens) w.windows.work.push_back({15360, 0, 30720, 11520});
        w.machine.settings = {{L"FormLeft", r.left}, {L"FormTop", r.top}, {L"Form2Left", L"x"}, {L"Form2Top", L"60"}};
        w.app.StartUp();
        EXPECT_EQ(std::make_pair(w.windows.rect.left, w.windows.rect.top), std::make_pair(r.wantLeft, r.wantTop));
        EXPECT_EQ(std::make_pair(w.viewer.rect.left, w.viewer.rect.top), std::make_pair(0L, 60L));
        EXPECT_EQ(w.viewer.textSize.width, 4215);
        w.machine.throwing = L"FormTop";  // the viewer moved, then Windows ends: nothing shown, not even a failure
        w.app.ShowCurrentSettings(), w.viewer.MoveTo(90, 120), w.app.EndSession();
        EXPECT_EQ(w.machine.settings[L"Form2Left"], L"90");
        EXPECT_EQ(w.machine.settings[L"FormLeft"], std::to_wstring(r.wantLeft));
        EXPECT_TRUE(w.windows.boxes.empty());
    }
    World w;  // the viewer shows ipconfig's text from the OEM code page; Ctrl+A selects it, Escape closes it
    w.machine.ipconfigText = "l\x84uft", w.Started(), w.app.ShowCurrentSettings(), w.viewer.MoveTo(300, 450);
    EXPECT_TRUE(w.viewer.text == L"l\u00e4uft" && w.Settings() == "ipconfig /all > C:\\ROAMWI~1\\ipinfo.txt\r\n");
    EXPECT_TRUE(!w.app.Viewer().InputGiven(Input::Enter) && w.app.Viewer().InputGiven(Input::SelectAll) && w.viewer.allSelected);
    EXPECT_TRUE(w.app.Viewer().InputGiven(Input::Escape) && !w.viewer.exists && w.machine.settings[L"Form2Top"] == L"450");
}


}  // namespace
