// Bad input and faults, over the fakes. Every case of the table below is run
// the same way (start-up, the case's action, closing) and checked three ways:
//   1. the user sees exactly the boxes the case names (title and text), or
//      none;
//   2. the Profiles directory holds exactly the files the case names, with
//      their contents: nothing lost, nothing changed that should not be;
//   3. nothing was written, moved or deleted outside Settings.bat,
//      ipinfo.txt and the Profiles directory, and the registry holds
//      nothing but the four position values under the program's own key.
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

using testing::Program;

using Files = std::map<std::wstring, std::string>;

struct Box {
    std::wstring title;
    std::wstring text;
    bool whole = true;  // false: the text only has to appear in the box
};

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

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::string Describe(const std::vector<testing::FakeView::Message>& messages) {
    std::string all;
    for (const auto& m : messages) all += "[" + Narrow(m.title) + ": " + Narrow(m.text) + "] ";
    return all;
}

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

std::function<void(Program&)> Registry(std::uint32_t type, const std::string& bytes) {
    return [type, bytes](Program& p) {
        Having({{L"home.txt", kOld}})(p);
        p.platform.SetRegistryValue(testing::kSettingsKey, "FormLeft", type, bytes);
        p.platform.SetRegistryValue(testing::kSettingsKey, "FormTop", kRegSz, std::string("600", 4));
    };
}

std::string Stored(Program& p, const char* name) {
    const auto* value = p.platform.RegistryValue(testing::kSettingsKey, name);
    return value ? value->bytes : "<missing>";
}

// Where the window system puts a window that start-up never moves.
constexpr long kPlacedLeft = 330;
constexpr long kPlacedTop = 495;

std::function<void(Program&)> WindowAt(long left) {
    return [left](Program& p) {
        EXPECT_EQ(p.view.mainRect.left, left);
        EXPECT_EQ(Stored(p, "FormLeft"), std::to_string(p.view.mainRect.left) + '\0');
    };
}

// A start-up that failed at the stored position: nothing after it ran, and
// closing stores the window's real place, so that the next start is fine.
void StartUpStoppedAtPosition(Program& p) {
    EXPECT_TRUE(p.view.items.empty());
    EXPECT_EQ(p.view.status, L"");
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_FALSE(p.platform.Exists(p.platform.appDir + L"\\ipinfo.txt"));
    EXPECT_EQ(Stored(p, "FormLeft"), std::to_string(kPlacedLeft) + '\0');
    EXPECT_EQ(Stored(p, "FormTop"), std::to_string(kPlacedTop) + '\0');
}

std::vector<Case> NameCases() {
    std::vector<Case> cases;
    // Every character class the save refuses: each must be named in the box.
    const std::wstring refused = L"\\/:*?\"<>|&^%!();,=";
    for (wchar_t c : refused) {
        cases.push_back({"refused character " + std::string(1, static_cast<char>(c)), Having({}),
                         Saving(std::wstring(L"a") + c + L"b"),
                         {{L"Roamwise", L"\"" + std::wstring(1, c) + L"\"", false}}, {}, nullptr});
    }
    for (wchar_t c : {L'\x01', L'\t', L'\x1f', L'\x7f'}) {
        cases.push_back({"control character " + std::to_string(static_cast<int>(c)), Having({}),
                         Saving(std::wstring(L"a") + c + L"b"), {{L"Roamwise", L"control", false}}, {}, nullptr});
    }
    std::vector<std::wstring> devices = {L"CON", L"prn", L"Aux", L"nul", L"con.old"};
    for (int n = 1; n <= 9; ++n) {
        devices.push_back(L"COM" + std::to_wstring(n));
        devices.push_back(L"lpt" + std::to_wstring(n));
    }
    for (const auto& device : devices) {
        cases.push_back({"device name " + std::string(device.begin(), device.end()), Having({}), Saving(device),
                         {{L"Roamwise", L"device", false}}, {}, nullptr});
    }
    cases.push_back({"300 characters", Having({}), Saving(std::wstring(300, L'n')),
                     {{L"Roamwise", L"too long", false}}, {}, nullptr});
    cases.push_back({"letters the code page lacks", Having({}), Saving(L"\u0416\u4e2d"),
                     {{L"Roamwise", L"code page", false}}, {}, nullptr});
    // Names that are fine, however odd they look.
    cases.push_back({"blanks only", Having({}), Saving(L"   "), {{L"Roamwise", kSaved}},
                     {{L"___.txt", "<dump>"}}, nullptr});
    cases.push_back({"leading and trailing blanks", Having({}), Saving(L"  home "), {{L"Roamwise", kSaved}},
                     {{L"__home_.txt", "<dump>"}},
                     [](Program& p) {
                         EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"__home_"});
                     }});
    cases.push_back({"letters the code page holds", Having({}), Saving(L"Caf\u00e9 \u00fcber"),
                     {{L"Roamwise", kSaved}}, {{L"Caf\u00e9_\u00fcber.txt", "<dump>"}},
                     [](Program& p) {
                         EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"Caf\u00e9_\u00fcber"});
                         // The interpreter reads the batch line in another code
                         // page than the program writes: only ASCII survives.
                         for (char c : p.platform.Content(p.Batch()))
                             EXPECT_LT(static_cast<unsigned char>(c), 128) << "batch line beyond ASCII";
                     }});
    cases.push_back({"device name inside a longer name", Having({}), Saving(L"console"), {{L"Roamwise", kSaved}},
                     {{L"console.txt", "<dump>"}}, nullptr});
    return cases;
}

std::vector<Case> RegistryCases() {
    return {
        {"FormLeft not a number", Registry(kRegSz, std::string("12a", 4)), Nothing,
         {{L"Form_Load", L"Error: 13. Type mismatch"}}, {{L"home.txt", kOld}}, StartUpStoppedAtPosition},
        {"FormLeft beyond 32 bits", Registry(kRegSz, std::string("4294967296", 11)), Nothing,
         {{L"Form_Load", L"Error: 6. Overflow"}}, {{L"home.txt", kOld}}, StartUpStoppedAtPosition},
        {"FormLeft negative, window still partly visible", Registry(kRegSz, std::string("-3000", 6)), Nothing, {},
         {{L"home.txt", kOld}}, WindowAt(-3000)},
        {"FormLeft negative, window wholly off the screen", Registry(kRegSz, std::string("-90000", 7)), Nothing, {},
         {{L"home.txt", kOld}}, WindowAt(0)},
        {"FormLeft as REG_DWORD", Registry(kRegDword, std::string("\xdc\x05\0\0", 4)), Nothing, {},
         {{L"home.txt", kOld}}, WindowAt(1500)},
        {"FormLeft as REG_EXPAND_SZ", Registry(kRegExpandSz, std::string("1500", 5)), Nothing, {},
         {{L"home.txt", kOld}}, WindowAt(0)},
        {"FormLeft as REG_SZ without a terminating zero", Registry(kRegSz, "1500"), Nothing, {},
         {{L"home.txt", kOld}}, WindowAt(1500)},
        {"FormLeft as an empty string", Registry(kRegSz, std::string(1, '\0')), Nothing, {}, {{L"home.txt", kOld}},
         WindowAt(0)},
        {"FormLeft with no data at all", Registry(kRegSz, ""), Nothing, {}, {{L"home.txt", kOld}}, WindowAt(0)},
        {"whole key missing", Having({{L"home.txt", kOld}}), Nothing, {}, {{L"home.txt", kOld}},
         [](Program& p) {
             EXPECT_EQ(p.view.mainRect.left, 0);
             EXPECT_EQ(p.view.mainRect.top, 0);
             EXPECT_EQ(Stored(p, "FormTop"), std::string("0", 2));
             EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
         }},
        // Without write rights the key cannot be opened with the one mask the
        // program uses, so every start gets the defaults, silently, and the
        // stored values stay as they were.
        {"key present but not writable",
         [](Program& p) {
             Registry(kRegSz, std::string("1500", 5))(p);
             p.platform.registryReadOnly = true;
         },
         Nothing, {}, {{L"home.txt", kOld}},
         [](Program& p) {
             EXPECT_EQ(p.view.mainRect.left, 0);
             EXPECT_EQ(Stored(p, "FormLeft"), std::string("1500", 5));
             EXPECT_EQ(p.view.items, std::vector<std::wstring>{L"home"});
         }},
    };
}

std::vector<Case> FileCases() {
    return {
        {"Profiles missing", Nothing, Saving(L"first"), {{L"Roamwise", kSaved}}, {{L"first.txt", "<dump>"}},
         nullptr},
        {"Profiles is a file", [](Program& p) { p.platform.AddFile(p.Profiles(), "not a directory"); },
         Saving(L"home"), {{L"cmdSave", L"Error: 183. Cannot create a file when that file already exists."}}, {},
         [](Program& p) {
             EXPECT_EQ(p.platform.Content(p.Profiles()), "not a directory");
             EXPECT_TRUE(p.view.items.empty());
             EXPECT_TRUE(p.platform.netshScripts.empty());
         }},
        {"read-only profile replaced by save", Having({{L"home.txt", kOld}}, attr::kReadOnly), Saving(L"home"),
         {{L"Profile Exist", L"This profile already exist do you want to overite it?"}, {L"Roamwise", kSaved}},
         {{L"home.txt", "<dump>"}}, nullptr},
        {"read-only profile kept when the dump fails",
         [](Program& p) {
             Having({{L"home.txt", kOld}}, attr::kReadOnly)(p);
             p.platform.dumpExitCode = 1;
             p.platform.partialDump = "# Interf";
         },
         Saving(L"home"),
         {{L"Profile Exist", L"This profile already exist do you want to overite it?"},
          {L"Roamwise", L"The settings could not be saved: netsh ended with exit code 1."}},
         {{L"home.txt", kOld}},
         [](Program& p) { EXPECT_TRUE(p.platform.Attributes(p.Profile(L"home")) & attr::kReadOnly); }},
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
         {{L"work.txt", kOld}},
         [](Program& p) { EXPECT_FALSE(p.view.busyPointer); }},
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
         Saving(L"home"),
         {{L"Run_Ipconfig", kAccessDenied},
          {L"Profile Exist", L"This profile already exist do you want to overite it?"},
          {L"cmdSave", kAccessDenied}},
         {{L"home.txt", kOld}},
         [](Program& p) {
             EXPECT_TRUE(p.platform.starts.empty());
             EXPECT_FALSE(p.view.busyPointer);
         }},
        {"application directory not writable, Profiles missing",
         [](Program& p) { p.platform.lockedDirectory = p.platform.appDir; }, Saving(L"home"),
         {{L"Run_Ipconfig", kAccessDenied}, {L"cmdSave", kAccessDenied}}, {},
         [](Program& p) { EXPECT_FALSE(p.platform.Exists(p.Profiles())); }},
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
    auto couldNotSave = [](const wchar_t* code) {
        return Box{L"Roamwise", std::wstring(L"The settings could not be saved: netsh ended with exit code ") + code +
                                    L"."};
    };
    const Box replace{L"Profile Exist", L"This profile already exist do you want to overite it?"};
    auto closeDuringWait = [](Program& p) { p.platform.duringWait = [&p] { p.form.Form_Unload(); }; };
    auto closedQuietly = [](Program& p) {
        EXPECT_TRUE(p.form.Unloaded());
        EXPECT_FALSE(p.view.viewerCreated);
        EXPECT_NE(p.platform.RegistryValue(testing::kSettingsKey, "FormLeft"), nullptr);
    };
    return {
        {"netsh failing at once", failingDump(1, ""), Saving(L"home"), {replace, couldNotSave(L"1")},
         {{L"home.txt", kOld}}, nullptr},
        {"netsh failing after half a dump", failingDump(1, "#====\r\n# Interface conf"), Saving(L"home"),
         {replace, couldNotSave(L"1")}, {{L"home.txt", kOld}}, nullptr},
        {"netsh failing on a new name leaves no file", failingDump(1, "#====\r\n# Interface conf"), Saving(L"new"),
         {couldNotSave(L"1")}, {{L"home.txt", kOld}}, nullptr},
        {"netsh missing from the path", failingDump(9009, ""), Saving(L"home"), {replace, couldNotSave(L"9009")},
         {{L"home.txt", kOld}}, nullptr},
        {"second save while netsh runs starts nothing", Having({{L"home.txt", kOld}}),
         [](Program& p) {
             p.platform.duringWait = [&p] { Saving(L"other")(p); };
             Saving(L"first")(p);
         },
         {{L"Roamwise", kSaved}}, {{L"home.txt", kOld}, {L"first.txt", "<dump>"}},
         [](Program& p) { EXPECT_EQ(p.view.beeps, 1); }},
        // The viewer's text is looked at while the program still runs.
        {"ipconfig writing nothing", [](Program& p) { p.platform.ipconfigText.clear(); },
         ShowingViewer(L""), {}, {}, nullptr},
        {"ipinfo.txt of 5 MB", [](Program& p) { p.platform.ipconfigText = std::string(5u << 20, 'x') + "\r\nend"; },
         ShowingViewer(std::wstring(5u << 20, L'x') + L"\r\nend"), {}, {}, nullptr},
        {"ipinfo.txt with bytes above 127",
         [](Program& p) { p.platform.ipconfigText = "Adapter \xc4\xe9\xfc\xa0\xff\r\n"; },
         ShowingViewer(L"Adapter \u00c4\u00e9\u00fc\u00a0\u00ff\r\n"), {}, {}, nullptr},
        // Closing while a tool runs: no box, the file work still completes.
        {"closing during a dump", [&](Program& p) { Having({{L"home.txt", kOld}})(p); closeDuringWait(p); },
         Saving(L"home"), {replace}, {{L"home.txt", "<dump>"}}, closedQuietly},
        {"closing during a failing dump",
         [&](Program& p) {
             failingDump(1, "# half")(p);
             closeDuringWait(p);
         },
         Saving(L"home"), {replace}, {{L"home.txt", kOld}}, closedQuietly},
        {"closing during a dump with netsh missing",
         [&](Program& p) {
             failingDump(9009, "")(p);
             closeDuringWait(p);
         },
         Saving(L"new"), {}, {{L"home.txt", kOld}}, closedQuietly},
        {"closing during a load",
         [&](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             closeDuringWait(p);
         },
         Selecting(L"home", &frmRoamwise::cmdLoad_Click), {}, {{L"home.txt", kOld}},
         [&](Program& p) {
             closedQuietly(p);
             EXPECT_EQ(p.platform.netshScripts.size(), 1u);
         }},
        {"closing during a failing load",
         [&](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             p.platform.loadExitCode = 1;
             closeDuringWait(p);
         },
         Selecting(L"home", &frmRoamwise::cmdLoad_Click), {}, {{L"home.txt", kOld}}, closedQuietly},
        {"closing during the viewer's capture",
         [&](Program& p) {
             Having({{L"home.txt", kOld}})(p);
             p.platform.ipconfigText.clear();
         },
         [&](Program& p) {
             closeDuringWait(p);
             p.form.cmdSettings_Click();
         },
         {}, {{L"home.txt", kOld}}, closedQuietly},
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
    c.act(p);
    p.form.Form_Unload();

    ASSERT_EQ(p.view.messages.size(), c.boxes.size()) << "boxes: " << Describe(p.view.messages);
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        const auto& shown = p.view.messages[i];
        EXPECT_EQ(shown.title, c.boxes[i].title) << "box " << i;
        if (c.boxes[i].whole)
            EXPECT_EQ(shown.text, c.boxes[i].text) << "box " << i;
        else
            EXPECT_NE(shown.text.find(c.boxes[i].text), std::wstring::npos) << "box " << i << ": " << Narrow(shown.text);
        const bool question = shown.title == L"Profile Exist" || shown.text.rfind(L"Are you sure", 0) == 0;
        EXPECT_EQ(shown.buttons, question ? Buttons::YesNo : Buttons::Ok) << "box " << i;
    }
    EXPECT_EQ(ProfilesOf(p), c.profiles);
    ExpectOnlyOwnPlacesTouched(p);
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

TEST(Hardening, TwentyThousandProfilesAreAllListed) {
    Program p;
    p.platform.AddDirectory(p.Profiles());
    for (int i = 0; i < 20000; ++i) p.platform.AddNewFile(p.Profiles() + L"\\p" + std::to_wstring(i) + L".txt");
    p.form.Form_Load();
    ASSERT_EQ(p.view.items.size(), 20000u);
    EXPECT_EQ(p.view.items.front(), L"p0");
    EXPECT_EQ(p.view.items.back(), L"p19999");
    EXPECT_TRUE(p.view.messages.empty());
}

}  // namespace
}  // namespace roamwise
