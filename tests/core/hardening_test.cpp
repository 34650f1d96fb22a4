// Bad input and faults, over the fakes. Every case of the table below is run
// the same way (start-up, the case's action, closing) and checked three ways:
//   1. the user sees exactly the boxes the case names (title and text), or
//      none;
//   2. the Profiles directory holds exactly the files the case names, with
//      their contents: nothing lost, nothing changed that should not be;
//   3. nothing was written, moved or deleted outside Settings.bat,
//      ipinfo.txt and the Profiles directory, the registry holds nothing
//      but the four position values under the program's own key, and no
//      key was left open.
// The ordinary paths of saving, loading and deleting are in profiles_test.cpp.
// Cases the fakes cannot show (the real command interpreter, Wine's
// registry, large real directories) are in tests/e2e/hardening_tests.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "harness.h"

namespace roamwise {
namespace {

using testing::Box;
using testing::Narrow;
using testing::Program;

using Files = std::map<std::wstring, std::string>;

struct Case {
    std::string what;
    std::function<void(Program&)> arrange;  // before start-up
    std::function<void(Program&)> act;      // after start-up
    std::vector<Box> boxes;                 // every box of the run, start-up included
    Files profiles;                         // the Profiles directory afterwards
    std::function<void(Program&)> check;    // what else the case must give
};

const std::string kOld = "old dump\r\n";
const std::wstring kSaved = L"Settings Saved";
const std::wstring kAccessDenied = L"Error: 5. Access is denied.";

void Nothing(Program&) {}

// A profile the user already has.
std::function<void(Program&)> Having(Files files, std::uint32_t attributes = 0) {
    return [files, attributes](Program& p) {
        p.platform.AddDirectory(p.Profiles());
        for (const auto& f : files) p.platform.AddFile(p.Profiles() + L"\\" + f.first, f.second, attributes);
    };
}

std::function<void(Program&)> Saving(const std::wstring& typed) {
    return [typed](Program& p) {
        p.view.name = typed;
        p.form.cmdSave_Click();
    };
}

std::function<void(Program&)> Selecting(const std::wstring& item, void (frmRoamwise::*command)()) {
    return [item, command](Program& p) {
        p.view.Select(item);
        (p.form.*command)();
    };
}

// Opens the viewer and expects it to show the text, whole.
std::function<void(Program&)> ShowingViewer(std::wstring text) {
    return [text](Program& p) {
        p.form.cmdSettings_Click();
        EXPECT_TRUE(p.view.viewerShown);
        EXPECT_EQ(p.view.viewerText.size(), text.size());
        EXPECT_TRUE(p.view.viewerText == text) << "the viewer's text differs";
    };
}

// Another program removes a file behind Roamwise's back.
void RemoveBehindTheBack(Program& p, const std::wstring& path) {
    const auto before = p.platform.touched.size();
    p.platform.DeleteFile(path);
    p.platform.touched.resize(before);
}

// A REG_SZ value's bytes.
std::string Sz(const std::string& text) { return text + '\0'; }

std::string Stored(Program& p, const char* name) {
    const auto* value = p.platform.RegistryValue(testing::kSettingsKey, name);
    return value ? value->bytes : "<missing>";
}

// Where the window system puts a window that start-up never moves.
constexpr long kPlacedLeft = 330;
constexpr long kPlacedTop = 495;

// The command did nothing but show its boxes: no tool ran, Settings.bat
// still holds the start-up capture's line, the window is as start-up left it.
void NothingRan(Program& p) {
    EXPECT_EQ(p.platform.starts.size(), 1u);
    EXPECT_EQ(p.platform.Content(p.Batch()), "ipconfig /all > C:\\ROAMWI~1\\ipinfo.txt\r\n");
    for (const auto& e : p.view.events) EXPECT_EQ(e.rfind(L"message: ", 0), 0u) << Narrow(e);
}

// A failed tool leaves the window as before it started: status back, normal
// pointer, the list not refilled.
void BackAsBefore(Program& p) {
    EXPECT_EQ(p.view.status, L" Active IP: 192.0.2.7");
    EXPECT_FALSE(p.view.busyPointer);
    for (const auto& e : p.view.events) EXPECT_NE(e, L"list cleared");
}

// A start-up that failed at the stored position: nothing after it ran, and
// closing stores the window's real place, so that the next start is fine.
void StartUpStoppedAtPosition(Program& p) {
    EXPECT_TRUE(p.view.items.empty());
    EXPECT_EQ(p.view.status, L"");
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_FALSE(p.platform.Exists(p.platform.appDir + L"\\ipinfo.txt"));
    EXPECT_EQ(Stored(p, "FormLeft"), Sz(std::to_string(kPlacedLeft)));
    EXPECT_EQ(Stored(p, "FormTop"), Sz(std::to_string(kPlacedTop)));
}

std::vector<Case> NameCases() {
    // Refused names, each with the box that says why.
    std::vector<std::pair<std::wstring, std::wstring>> refused = {
        {L"", L"Please enter a profile name"},
        {L"\u0416\u4e2d", L"A profile name can only hold characters of the system's code page."},
    };
    // Every character class the save refuses: each must be named in the box.
    for (wchar_t c : std::wstring(L"\\/:*?\"<>|&^%!();,="))
        refused.push_back({std::wstring(L"a") + c + L"b",
                           L"A profile name cannot contain the character \"" + std::wstring(1, c) + L"\"."});
    for (wchar_t c : {L'\x01', L'\t', L'\x1f', L'\x7f'})
        refused.push_back({std::wstring(L"a") + c + L"b", L"A profile name cannot contain control characters."});
    std::vector<std::wstring> devices = {L"CON", L"prn", L"Aux", L"nul", L"con.old"};
    for (int n = 1; n <= 9; ++n) {
        devices.push_back(L"COM" + std::to_wstring(n));
        devices.push_back(L"lpt" + std::to_wstring(n));
    }
    for (const auto& device : devices)
        refused.push_back({device, L"\"" + device + L"\" is a name Windows keeps for a device."});
    // The whole path may hold 259 characters.
    const std::size_t room = 259 - std::wstring(L"C:\\Roam wise\\Profiles\\.txt").size();
    for (std::size_t length : {room + 1, std::size_t{300}})
        refused.push_back({std::wstring(length, L'n'), L"The profile name is too long."});

    // Names that are fine, however odd they look, and the file each gives.
    const std::pair<std::wstring, std::wstring> allowed[] = {
        {L"   ", L"___"},
        {L"  home ", L"__home_"},
        {L"Caf\u00e9 \u00fcber", L"Caf\u00e9_\u00fcber"},
        {std::wstring(room, L'n'), std::wstring(room, L'n')},
        {L"console", L"console"},
        {L"com10", L"com10"},
        {L"Home+Office", L"Home+Office"},
        {L"v1.2-office", L"v1.2-office"},
    };

    std::vector<Case> cases;
    for (const auto& [typed, text] : refused) {
        cases.push_back({"refused " + Narrow(typed.substr(0, 12)), Having({}), Saving(typed), {{L"Roamwise", text}},
                         {}, NothingRan});
    }
    for (const auto& [typed, file] : allowed) {
        cases.push_back({"allowed " + Narrow(typed.substr(0, 12)), Having({}), Saving(typed),
                         {{L"Roamwise", kSaved}}, {{file + L".txt", "<dump>"}}, [file = file](Program& p) {
                             EXPECT_EQ(p.view.items, std::vector<std::wstring>{file});
                             // The interpreter reads the batch line in another
                             // code page than the program writes: only ASCII
                             // survives.
                             for (char c : p.platform.Content(p.Batch()))
                                 EXPECT_LT(static_cast<unsigned char>(c), 128) << "batch line beyond ASCII";
                         }});
    }
    return cases;
}

std::vector<Case> RegistryCases() {
    const Files home{{L"home.txt", kOld}};
    const struct {
        const char* what;
        std::uint32_t type;  // 0: the key is missing
        std::string left, top;
        const wchar_t* report;  // the box that ends start-up, or null
        long x, y;              // where the window goes otherwise
    } rows[] = {
        {"FormLeft not a number", kRegSz, Sz("12a"), Sz("600"), L"Error: 13. Type mismatch", 0, 0},
        {"FormTop not a number", kRegSz, Sz("0"), Sz("12px"), L"Error: 13. Type mismatch", 0, 0},
        {"FormLeft beyond 32 bits", kRegSz, Sz("4294967296"), Sz("600"), L"Error: 6. Overflow", 0, 0},
        {"negative, window still partly visible", kRegSz, Sz("-3000"), Sz("-300"), nullptr, -3000, -300},
        {"negative, window wholly off the screen", kRegSz, Sz("-90000"), Sz("600"), nullptr, 0, 600},
        // Pulled back by the window's own size.
        {"far beyond the lower right corner", kRegSz, Sz("90000"), Sz("90000"), nullptr, 15360 - 4200, 11520 - 5000},
        {"REG_DWORD", kRegDword, std::string("\xdc\x05\0\0", 4), std::string("\x64\0\0\0", 4), nullptr, 1500, 100},
        {"REG_EXPAND_SZ", kRegExpandSz, Sz("1500"), Sz("600"), nullptr, 0, 0},
        {"REG_SZ without a terminating zero", kRegSz, "1500", "600", nullptr, 1500, 600},
        {"an empty string", kRegSz, Sz(""), Sz(""), nullptr, 0, 0},
        {"no data at all", kRegSz, "", "", nullptr, 0, 0},
        {"whole key missing", 0, "", "", nullptr, 0, 0},
    };
    std::vector<Case> cases;
    for (const auto& r : rows) {
        auto arrange = [=, type = r.type, left = r.left, top = r.top](Program& p) {
            Having(home)(p);
            if (type == 0) return;
            p.platform.SetRegistryValue(testing::kSettingsKey, "FormLeft", type, left);
            p.platform.SetRegistryValue(testing::kSettingsKey, "FormTop", type, top);
        };
        if (r.report) {
            cases.push_back({r.what, arrange, Nothing, {{L"Form_Load", r.report}}, home, StartUpStoppedAtPosition});
            continue;
        }
        cases.push_back({r.what, arrange, Nothing, {}, home, [x = r.x, y = r.y](Program& p) {
                             EXPECT_EQ(p.view.mainRect.left, x);
                             EXPECT_EQ(p.view.mainRect.top, y);
                             EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
                             // Closing stores the place, creating the key if need be.
                             EXPECT_EQ(Stored(p, "FormLeft"), Sz(std::to_string(x)));
                             EXPECT_EQ(Stored(p, "FormTop"), Sz(std::to_string(y)));
                         }});
    }
    // Without write rights the key cannot be opened with the one mask the
    // program uses, so every start gets the defaults, silently, and the
    // stored values stay as they were.
    cases.push_back({"key present but not writable",
                     [=](Program& p) {
                         Having(home)(p);
                         p.platform.SetRegistryValue(testing::kSettingsKey, "FormLeft", kRegSz, Sz("1500"));
                         p.platform.registryReadOnly = true;
                     },
                     Nothing, {}, home, [](Program& p) {
                         EXPECT_EQ(p.view.mainRect.left, 0);
                         EXPECT_EQ(Stored(p, "FormLeft"), Sz("1500"));
                         EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
                     }});
    return cases;
}

const Box kReplace{L"Profile Exist", L"This profile already exist do you want to overite it?"};

Box CouldNotSave(std::int32_t code) {
    return {L"Roamwise", L"The settings could not be saved: netsh ended with exit code " + std::to_wstring(code) + L"."};
}

std::vector<Case> FileCases() {
    return {
        {"Profiles missing", Nothing,
         [](Program& p) {
             EXPECT_TRUE(p.view.items.empty());
             Saving(L"first")(p);
         },
         {{L"Roamwise", kSaved}}, {{L"first.txt", "<dump>"}}, nullptr},
        {"Profiles is a file", [](Program& p) { p.platform.AddFile(p.Profiles(), "not a directory"); },
         Saving(L"home"), {{L"cmdSave", L"Error: 183. Cannot create a file when that file already exists."}}, {},
         [](Program& p) {
             EXPECT_EQ(p.platform.Content(p.Profiles()), "not a directory");
             EXPECT_TRUE(p.view.items.empty());
             EXPECT_EQ(p.platform.starts.size(), 1u);
         }},
        {"replacing answered No",
         [](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             p.view.answers = {Answer::No};
         },
         Saving(L"home"), {kReplace}, {{L"home.txt", kOld}}, NothingRan},
        {"read-only profile replaced by save", Having({{L"home.txt", kOld}}, attr::kReadOnly), Saving(L"home"),
         {kReplace, {L"Roamwise", kSaved}}, {{L"home.txt", "<dump>"}}, nullptr},
        {"read-only profile kept when the dump fails",
         [](Program& p) {
             Having({{L"home.txt", kOld}}, attr::kReadOnly)(p);
             p.platform.dumpExitCode = 1;
             p.platform.partialDump = "# Interf";
         },
         Saving(L"home"), {kReplace, CouldNotSave(1)}, {{L"home.txt", kOld}},
         [](Program& p) { EXPECT_TRUE(p.platform.Attributes(p.Profile(L"home")) & attr::kReadOnly); }},
        // Not offered for replacement, yet still kept aside during the dump.
        {"hidden profile kept when the dump fails",
         [](Program& p) {
             Having({{L"home.txt", kOld}}, attr::kHidden)(p);
             p.platform.dumpExitCode = 1;
         },
         Saving(L"home"), {CouldNotSave(1)}, {{L"home.txt", kOld}}, BackAsBefore},
        {"read-only profile deleted by delete", Having({{L"home.txt", kOld}, {L"work.txt", kOld}}, attr::kReadOnly),
         Selecting(L"home", &frmRoamwise::cmdDelete_Click), {{L"Roamwise", L"Are you sure you want to delete home"}},
         {{L"work.txt", kOld}},
         [](Program& p) {
             EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"work"});
             EXPECT_TRUE(p.platform.Attributes(p.Profile(L"work")) & attr::kReadOnly);
         }},
        {"profile gone between listing and load",
         [](Program& p) {
             Having({{L"home.txt", kOld}, {L"work.txt", kOld}})(p);
             p.platform.loadExitCode = 1;  // what netsh gives for a missing script
         },
         [](Program& p) {
             RemoveBehindTheBack(p, p.Profile(L"home"));
             Selecting(L"home", &frmRoamwise::cmdLoad_Click)(p);
         },
         {{L"Roamwise", L"The network settings could not be loaded: netsh ended with exit code 1."}},
         {{L"work.txt", kOld}}, BackAsBefore},
        {"profile gone between listing and delete", Having({{L"home.txt", kOld}, {L"work.txt", kOld}}),
         [](Program& p) {
             RemoveBehindTheBack(p, p.Profile(L"home"));
             Selecting(L"home", &frmRoamwise::cmdDelete_Click)(p);
         },
         {{L"Roamwise", L"Are you sure you want to delete home"},
          {L"cmdDelete", L"Error: 2. The system cannot find the file specified."}},
         {{L"work.txt", kOld}},
         [](Program& p) {
             EXPECT_EQ(p.view.items, (std::vector<std::wstring>{L"home", L"work"}));
             EXPECT_EQ(p.view.status, L"   Deleting profile: home");
         }},
        {"application directory not writable",
         [](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             p.platform.lockedDirectory = p.platform.appDir;
         },
         Saving(L"home"), {{L"Run_Ipconfig", kAccessDenied}, kReplace, {L"cmdSave", kAccessDenied}},
         {{L"home.txt", kOld}},
         [](Program& p) {
             EXPECT_TRUE(p.platform.starts.empty());
             EXPECT_FALSE(p.view.busyPointer);
         }},
        {"application directory not writable, Profiles missing",
         [](Program& p) { p.platform.lockedDirectory = p.platform.appDir; },
         [](Program& p) {
             Saving(L"home")(p);
             p.form.cmdSettings_Click();
             EXPECT_TRUE(p.view.viewerShown);  // all the same, with what it has
         },
         {{L"Run_Ipconfig", kAccessDenied}, {L"cmdSave", kAccessDenied}, {L"Run_Ipconfig", kAccessDenied}}, {},
         [](Program& p) {
             EXPECT_FALSE(p.platform.Exists(p.Profiles()));
             EXPECT_TRUE(p.platform.starts.empty());
         }},
    };
}

std::vector<Case> ToolCases() {
    auto failingDump = [](std::int32_t code, std::string partial) {
        return [code, partial](Program& p) {
            Having({{L"home.txt", kOld}})(p);
            p.platform.dumpExitCode = code;
            p.platform.partialDump = partial;
        };
    };
    const Files home{{L"home.txt", kOld}};
    // Closing while a tool runs: no box, nothing done to the closed windows,
    // the file work still completes.
    auto closingDuring = [](std::function<void(Program&)> action) {
        return [action](Program& p) {
            p.platform.duringWait = [&p] {
                p.form.Form_Unload();
                p.view.events.clear();
            };
            action(p);
        };
    };
    auto closedQuietly = [](Program& p) {
        EXPECT_TRUE(p.form.Unloaded());
        EXPECT_FALSE(p.view.viewerCreated);
        EXPECT_TRUE(p.view.events.empty()) << "the closed window was still changed";
        EXPECT_NE(p.platform.RegistryValue(testing::kSettingsKey, "FormLeft"), nullptr);
    };
    auto loadingHome = Selecting(L"home", &frmRoamwise::cmdLoad_Click);
    return {
        {"netsh failing at once", failingDump(1, ""), Saving(L"home"), {kReplace, CouldNotSave(1)}, home,
         BackAsBefore},
        {"netsh failing after half a dump", failingDump(1, "#====\r\n# Interface conf"), Saving(L"home"),
         {kReplace, CouldNotSave(1)}, home, nullptr},
        {"netsh failing on a new name leaves no file", failingDump(1, "#====\r\n# Interface conf"), Saving(L"new"),
         {CouldNotSave(1)}, home, BackAsBefore},
        {"netsh missing from the path", failingDump(9009, ""), Saving(L"home"), {kReplace, CouldNotSave(9009)}, home,
         nullptr},
        // 259 is what a process still running reports; a negative code must
        // keep its sign.
        {"netsh ending with 259", failingDump(259, "# half"), Saving(L"home"), {kReplace, CouldNotSave(259)}, home,
         nullptr},
        {"netsh ending with a negative code", failingDump(-5, "# half"), Saving(L"home"),
         {kReplace, CouldNotSave(-5)}, home, nullptr},
        {"command interpreter failing to start", Having(home),
         [](Program& p) {
             p.platform.startFails = true;
             Saving(L"home")(p);
         },
         {kReplace, {L"cmdSave", L"Error: 2. The system cannot find the file specified."}}, home,
         [](Program& p) { EXPECT_FALSE(p.view.busyPointer); }},
        {"netsh failing a load",
         [](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             p.platform.loadExitCode = 2;
         },
         loadingHome, {{L"Roamwise", L"The network settings could not be loaded: netsh ended with exit code 2."}},
         home,
         [](Program& p) {
             EXPECT_EQ(p.platform.starts.size(), 2u);  // no capture after it
             BackAsBefore(p);
         }},
        // While netsh runs the user tries every command once more: only those
        // that start no tool do anything.
        {"commands while netsh runs", Having(home),
         [](Program& p) {
             p.view.Select(L"home");
             p.platform.duringWait = [&p] {
                 Saving(L"second")(p);
                 int enter = 13;
                 p.form.Text1_KeyPress(enter);
                 p.form.cmdLoad_Click();
                 p.form.cmdSettings_Click();
                 EXPECT_TRUE(p.view.viewerShown);  // with what it had
                 p.form.Command1_Click();
                 p.form.cmdDelete_Click();
             };
             Saving(L"first")(p);
             EXPECT_EQ(p.platform.starts.size(), 2u);  // the start-up capture and the dump
             p.form.cmdSettings_Click();
             EXPECT_EQ(p.platform.starts.size(), 3u);  // tools start again afterwards
         },
         {{L"About", L"Roamwise ver.1.0", false},
          {L"Roamwise", L"Are you sure you want to delete home"},
          {L"Roamwise", kSaved}},
         {{L"first.txt", "<dump>"}}, [](Program& p) { EXPECT_EQ(p.view.beeps, 3); }},
        // The viewer's text is looked at while the program still runs.
        {"ipconfig writing nothing", [](Program& p) { p.platform.ipconfigText.clear(); },
         ShowingViewer(L""), {}, {}, nullptr},
        {"ipinfo.txt of 5 MB", [](Program& p) { p.platform.ipconfigText = std::string(5u << 20, 'x') + "\r\nend"; },
         ShowingViewer(std::wstring(5u << 20, L'x') + L"\r\nend"), {}, {}, nullptr},
        {"ipinfo.txt with bytes above 127",
         [](Program& p) { p.platform.ipconfigText = "Adapter \xc4\xe9\xfc\xa0\xff\r\n"; },
         ShowingViewer(L"Adapter \u00c4\u00e9\u00fc\u00a0\u00ff\r\n"), {}, {}, nullptr},
        {"closing during a dump", Having(home), closingDuring(Saving(L"home")), {kReplace},
         {{L"home.txt", "<dump>"}}, closedQuietly},
        {"closing during a failing dump", failingDump(1, "# half"), closingDuring(Saving(L"home")), {kReplace}, home,
         closedQuietly},
        // Even a failure of the file work after closing shows no box.
        {"closing during a failing dump whose kept copy vanished", failingDump(1, "# half"),
         [](Program& p) {
             p.platform.duringWait = [&p] {
                 p.form.Form_Unload();
                 p.view.events.clear();
                 p.platform.DeleteFile(p.Profile(L"home") + L".bak");  // another program removes it
             };
             Saving(L"home")(p);
         },
         {kReplace}, {}, closedQuietly},
        {"closing during a dump with netsh missing", failingDump(9009, ""), closingDuring(Saving(L"new")), {}, home,
         closedQuietly},
        {"closing during a load", Having(home), closingDuring(loadingHome), {}, home,
         [=](Program& p) {
             closedQuietly(p);
             EXPECT_EQ(p.platform.netshScripts.size(), 1u);
         }},
        {"closing during a failing load",
         [=](Program& p) {
             Having(home)(p);
             p.platform.loadExitCode = 1;
         },
         closingDuring(loadingHome), {}, home, closedQuietly},
        {"closing during the viewer's capture", Having(home),
         closingDuring([](Program& p) { p.form.cmdSettings_Click(); }), {}, home, closedQuietly},
    };
}

Files ProfilesOf(Program& p) {
    Files files;
    for (const DirEntry& e : p.platform.FindFiles(p.Profiles() + L"\\*")) {
        if (e.attributes & attr::kDirectory) continue;
        const std::string content = p.platform.Content(p.Profiles() + L"\\" + e.name);
        files[e.name] = content == p.platform.dumpText ? "<dump>" : content;
    }
    return files;
}

// Every path the run touched lies in the program's own places.
void ExpectOnlyOwnPlacesTouched(Program& p) {
    const std::wstring app = testing::Lower(p.platform.appDir);
    const std::wstring profiles = testing::Lower(p.Profiles());
    for (const std::wstring& entry : p.platform.touched) {
        std::vector<std::wstring> paths;
        const std::wstring operation = entry.substr(entry.find(L' ') + 1);
        const auto arrow = operation.find(L" -> ");
        paths.push_back(operation.substr(0, arrow));
        if (arrow != std::wstring::npos) paths.push_back(operation.substr(arrow + 4));
        for (const std::wstring& path : paths) {
            const std::wstring lower = testing::Lower(path);
            const bool own = lower == app + L"\\settings.bat" || lower == app + L"\\ipinfo.txt" || lower == profiles ||
                             (lower.rfind(profiles + L"\\", 0) == 0 &&
                              lower.find(L'\\', profiles.size() + 1) == std::wstring::npos);
            EXPECT_TRUE(own) << "touched outside the program's places: " << Narrow(entry);
        }
    }
    for (const auto& k : p.platform.registry) {
        const bool ownPath = std::string("software\\quillfern\\roamwise\\settings").rfind(k.first, 0) == 0;
        EXPECT_TRUE(ownPath) << "registry key outside the program's: " << k.first;
        for (const auto& v : k.second) {
            const bool ownValue = k.first == "software\\quillfern\\roamwise\\settings" &&
                                  (v.first == "formleft" || v.first == "formtop" || v.first == "form2left" ||
                                   v.first == "form2top");
            EXPECT_TRUE(ownValue) << "registry value outside the program's: " << k.first << "\\" << v.first;
        }
    }
}

void RunCase(const Case& c) {
    SCOPED_TRACE(c.what);
    Program p;
    p.view.mainRect = {kPlacedLeft, kPlacedTop, kPlacedLeft + 4200, kPlacedTop + 5000};
    c.arrange(p);
    p.platform.touched.clear();
    p.form.Form_Load();
    p.view.events.clear();  // the checks look at what the case's action did
    c.act(p);
    p.form.Form_Unload();

    testing::ExpectBoxes(p.view, c.boxes);
    EXPECT_EQ(ProfilesOf(p), c.profiles);
    ExpectOnlyOwnPlacesTouched(p);
    EXPECT_EQ(p.platform.openKeys, 0) << "a registry key was left open";
    if (c.check) c.check(p);
}

TEST(Hardening, ProfileNames) {
    for (const Case& c : NameCases()) RunCase(c);
}

TEST(Hardening, StoredPositions) {
    for (const Case& c : RegistryCases()) RunCase(c);
}

TEST(Hardening, ProfileFilesAndDirectories) {
    for (const Case& c : FileCases()) RunCase(c);
}

TEST(Hardening, ToolsFailingSlowOrMissing) {
    for (const Case& c : ToolCases()) RunCase(c);
}

TEST(Hardening, TensOfThousandsOfProfilesAreAllListed) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    // Past the 32767 names a 16-bit count could hold.
    for (int i = 0; i < 33000; ++i) p.platform.AddNewFile(p.Profiles() + L"\\p" + std::to_wstring(i) + L".txt");
    p.form.Form_Load();
    ASSERT_EQ(p.view.items.size(), 33000u);
    EXPECT_EQ(p.view.items.front(), L"p0");
    EXPECT_EQ(p.view.items.back(), L"p32999");
    EXPECT_TRUE(p.view.messages.empty());
}

}  // namespace
}  // namespace roamwise
