// Bad input and faults against the real Roamwise.exe under Wine. Each case
// is checked three ways: the user gets the box (or the behaviour) below, no
// profile file is lost or changed that should not be, and nothing appears in
// the application directory but Roamwise.exe, Settings.bat, ipinfo.txt and
// Profiles (nor anything in Profiles but profiles).
//
// Coverage at a glance. "Where" names the end-to-end test that holds the case
// (hardening.* in this file, e2e.* in e2e_tests.cpp); every case is also in
// tests/core/hardening_test.cpp, over fakes, and "core only" marks the two
// that Wine cannot produce.
//
// | Case                                          | Must give                                             | Where                                                    |
// |-----------------------------------------------|-------------------------------------------------------|----------------------------------------------------------|
// | name with \ / : * ? " < > | & ^ % ! ( ) ; , = | OK box "Roamwise" naming the character; nothing       | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | name with a control character                 | OK box "Roamwise" about control characters; nothing   | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | CON PRN AUX NUL COM1-9 LPT1-9 (any case)      | OK box "Roamwise" about a device name; nothing        | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | 300-character name                            | OK box "Roamwise": too long; nothing                  | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | blanks only "   "                             | saved as ___.txt                                      | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | leading and trailing blanks                   | blanks become "_", saved                              | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | letters the ANSI code page holds              | saved under that name and listed                      | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | letters the ANSI code page lacks              | OK box "Roamwise" about the code page; nothing        | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | FormLeft not a number                         | "Form_Load" "Error: 13. Type mismatch", list, status  | hardening.StoredPositionsOfEveryShape                    |
// |                                               | and capture skipped; closing stores the real place    |                                                          |
// | FormLeft beyond 32 bits                       | "Form_Load" "Error: 6. Overflow", as above            | hardening.StoredPositionsOfEveryShape                    |
// | FormLeft negative                             | used as stored while the window stays partly visible; | hardening.StoredPositionsOfEveryShape                    |
// |                                               | moved onto the nearest screen when wholly off it      |                                                          |
// | FormLeft REG_DWORD                            | read as its number                                    | hardening.StoredPositionsOfEveryShape                    |
// | FormLeft REG_EXPAND_SZ / empty string         | read as missing: 0                                    | hardening.StoredPositionsOfEveryShape                    |
// | FormLeft REG_SZ without terminating zero      | read whole                                            | hardening.StoredPositionsOfEveryShape                    |
// | settings key missing                          | defaults, key written on closing                      | hardening.StoredPositionsOfEveryShape                    |
// | settings key not writable                     | defaults, no box, values unchanged (Wine gives the    | core only                                                |
// |                                               | key's owner every right: no unwritable key here)      |                                                          |
// | Profiles missing                              | empty list; save creates it                           | hardening.SaveChecksTheNameAndAsksBeforeReplacing        |
// | Profiles is a file                            | "cmdSave" error 183; nothing written; empty list      | hardening.ProfilesBeingAFileIsReportedAndNothing...      |
// | read-only profile, save and delete            | replaced / deleted after Yes; nothing left behind     | hardening.SaveChecksTheNameAndAsksBeforeReplacing,       |
// |                                               |                                                       | e2e.DeleteAsksAndRemovesOnlyThatProfile                  |
// | profile gone before load                      | "could not be loaded: ... exit code 1."               | e2e.LoadHandsTheProfileToNetshOrSaysWhatStoppedIt        |
// | profile gone before delete                    | "cmdDelete" error 2; list unchanged                   | e2e.DeleteAsksAndRemovesOnlyThatProfile                  |
// | 20 000 profile files                          | all listed                                            | hardening.StartupListsEveryProfileSortedWithoutSelection |
// | ipinfo.txt of 5 MB, bytes above 127           | viewer shows it whole, as ANSI text                   | hardening.ViewerShowsWhateverIpconfigWrote               |
// | ipconfig writing nothing                      | empty viewer, no box                                  | hardening.ViewerShowsWhateverIpconfigWrote               |
// | application directory not writable            | "Run_Ipconfig" and "cmdSave" "Error: 5. Access is     | core only                                                |
// |                                               | denied."; nothing written (Wine as root writes every  |                                                          |
// |                                               | directory, whatever its permissions)                  |                                                          |
// | netsh failing at once / after half a dump     | "could not be saved: ... exit code N."; old profile   | hardening.FailedOrMissingNetshKeepsTheOldProfile         |
// | netsh missing from the path                   | the same with the interpreter's code; old profile     | hardening.FailedOrMissingNetshKeepsTheOldProfile         |
// | netsh taking ten seconds                      | window answers and repaints; second Save starts       | hardening.TenSecondDumpKeepsTheWindowLive...             |
// |                                               | nothing                                               |                                                          |
// | closing during a dump, failing dump,          | windows close at once, no box, the tool finishes,     | hardening.ClosingWhileAToolRunsFinishes...               |
// | load, or capture                              | old profile kept or new one complete, process ends    |                                                          |
#include <climits>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

using namespace fixture;

// Whether the system's ANSI code page holds the text exactly.
bool AnsiHolds(const std::wstring& text) {
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, &lossy);
    return n > 0 && !lossy;
}

// These cases run the double as ipconfig too, and may hide netsh.
class hardening : public Session {
protected:
    hardening() { ipconfigDouble_ = true; }

    void TearDown() override {
        Session::TearDown();
        PutNetshBack();
    }

    std::vector<std::wstring> Ended() const { return double_->Lines(L"ended.log"); }

    // netsh made unreachable: the double's files in the system directories
    // are moved aside, and put back by PutNetshBack (also at tear-down).
    bool HideNetsh() {
        const std::wstring system = driver::SystemDirectory();
        const std::wstring windows = system.substr(0, system.find_last_of(L'\\'));
        for (const auto& dir : {system, windows + L"\\syswow64"}) {
            if (!driver::FileExists(dir + L"\\netsh.exe")) continue;
            if (!MoveFileExW((dir + L"\\netsh.exe").c_str(), (dir + L"\\netsh.exe.away").c_str(),
                             MOVEFILE_REPLACE_EXISTING))
                return false;
            hidden_.push_back(dir);
        }
        return true;
    }
    void PutNetshBack() {
        for (const auto& dir : hidden_)
            MoveFileExW((dir + L"\\netsh.exe.away").c_str(), (dir + L"\\netsh.exe").c_str(), MOVEFILE_REPLACE_EXISTING);
        hidden_.clear();
    }

    std::vector<std::wstring> hidden_;
};

// --- saving under a name ---------------------------------------------------------------------

TEST_F(hardening, SaveChecksTheNameAndAsksBeforeReplacing) {
    struct Case {
        std::wstring typed;
        bool byEnter;
        std::wstring refusal;  // refused: the whole box for an empty name, else what it must name
        std::wstring file;     // saved: the profile's name
        int answer = 0;        // to the replacement question; 0: none may come
        bool readOnly = false;  // the profile being replaced is read-only
    };
    std::vector<Case> cases = {
        {L"", false, L"Please enter a profile name", L""},
        {L"", true, L"Please enter a profile name", L""},
    };
    for (wchar_t c : std::wstring(L"\\/:*?\"<>|&^%!();,="))
        cases.push_back({std::wstring(L"a") + c + L"b", c == L':', L"\"" + std::wstring(1, c) + L"\"", L""});
    cases.push_back({L"a\x01" L"b", false, L"control", L""});
    for (const wchar_t* device : {L"CON", L"prn", L"Aux", L"nul", L"COM1", L"com9", L"LPT1", L"lpt9", L"con.old"})
        cases.push_back({device, false, L"device", L""});
    cases.push_back({std::wstring(300, L'n'), false, L"too long", L""});
    cases.push_back({L"\u0416\u4e2d\u6587", false, L"code page", L""});
    // Accepted names; the first one makes the Profiles directory.
    cases.push_back({L"home", false, L"", L"home"});
    cases.push_back({L"My Home", true, L"", L"My_Home"});
    cases.push_back({L"   ", false, L"", L"___"});
    cases.push_back({L" home  ", false, L"", L"_home__"});
    cases.push_back({L"console", false, L"", L"console"});
    const std::wstring held = L"Caf\u00e9 \u00fcber";
    ASSERT_TRUE(AnsiHolds(held)) << "the prefix's ANSI code page lacks these letters";
    cases.push_back({held, false, L"", L"Caf\u00e9_\u00fcber"});
    // Names that exist by now.
    cases.push_back({L"home", false, L"", L"home", IDNO});
    cases.push_back({L"My Home", true, L"", L"My_Home", IDYES});
    cases.push_back({L"home", false, L"", L"home", IDYES, true});

    ASSERT_FALSE(driver::DirectoryExists(Profiles()));
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{});
    std::vector<std::wstring> saved;
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + Narrow(c.typed.substr(0, 20)) + (c.byEnter ? "\" by Enter" : "\" by button") +
                     (c.answer == IDYES ? ", Yes" : c.answer == IDNO ? ", No" : ""));
        const std::string batch = BatchText();
        const size_t dumps = DumpCalls();
        const std::string before = Content(c.file);
        // Each row its own address, so that each file shows its own dump.
        const std::string address = "192.0.2." + std::to_string(31 + row++);
        double_->SetAddress(address);
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesW(ProfileFile(c.file).c_str(), FILE_ATTRIBUTE_READONLY));
        }
        program->SetName(c.typed);
        if (c.byEnter)
            program->PressEnterInName();
        else
            program->Click(ids::kCmdSave);
        auto box = program->WaitBox();
        ASSERT_TRUE(box);
        if (c.answer) {
            EXPECT_EQ(box->title, L"Profile Exist");
            EXPECT_EQ(box->text, L"This profile already exist do you want to overite it?");
            EXPECT_TRUE(box->hasYesNo);
            ASSERT_TRUE(program->Answer(*box, c.answer));
            box.reset();
            if (c.answer == IDYES) {
                box = program->WaitBox();
                ASSERT_TRUE(box);
            }
        }
        const bool refused = !c.refusal.empty() || c.answer == IDNO;
        if (box) {
            EXPECT_EQ(box->title, kTitle);
            EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        }
        if (!c.refusal.empty()) {
            if (c.typed.empty())
                EXPECT_EQ(box->text, c.refusal);
            else
                EXPECT_NE(box->text.find(c.refusal), std::wstring::npos) << Describe(box);
        }
        if (refused) {
            EXPECT_EQ(DumpCalls(), dumps);
            EXPECT_EQ(BatchText(), batch);
            EXPECT_EQ(Content(c.file), before);
        } else {
            EXPECT_EQ(box->text, L"Settings Saved");
            if (std::find(saved.begin(), saved.end(), c.file + L".txt") == saved.end())
                saved.push_back(c.file + L".txt");
            EXPECT_EQ(Content(c.file), Reference(address));
            const std::wstring shortProfiles = driver::ShortPath(Profiles());
            ASSERT_FALSE(shortProfiles.empty());
            EXPECT_EQ(shortProfiles.find(L' '), std::wstring::npos);
            // The interpreter reads the batch file in another code page than
            // it is written in: only a plain ASCII name may appear in it.
            const std::string command = driver::ToAnsi(L"netsh -c interface dump > " + shortProfiles + L"\\");
            const std::string batchNow = BatchText();
            if (std::all_of(c.file.begin(), c.file.end(), [](wchar_t ch) { return ch < 128; })) {
                EXPECT_EQ(batchNow, command + driver::ToAnsi(c.file) + ".txt\r\n");
            } else {
                EXPECT_EQ(batchNow.rfind(command, 0), 0u) << batchNow;
                EXPECT_TRUE(std::all_of(batchNow.begin(), batchNow.end(), [](char ch) { return ch > 0; })) << batchNow;
            }
            EXPECT_EQ(DumpCalls(), dumps + 1);
            auto items = program->ListItems();
            EXPECT_EQ(items.size(), saved.size());
            EXPECT_NE(std::find(items.begin(), items.end(), c.file), items.end()) << "not listed";
        }
        if (box) {
            ASSERT_TRUE(program->Answer(*box, IDOK));
        }
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
        if (c.refusal.empty()) {
            EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        }
        std::vector<std::wstring> expected = saved;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(driver::DirectoryNames(Profiles()), expected);
        ExpectOnlyOwnFiles();
    }
    CloseProgram(*program);
}

// --- stored positions ------------------------------------------------------------------------

TEST_F(hardening, StoredPositionsOfEveryShape) {
    constexpr long kOnScreen = LONG_MIN;
    struct Case {
        const char* what;
        DWORD type;            // of FormLeft; 0: no value (and no key) at all
        std::string left;      // FormLeft's bytes
        std::string top;       // FormTop's bytes, REG_SZ
        const wchar_t* error;  // the "Form_Load" report; null: none
        long x, y;             // the place in twips when no report; kOnScreen: anywhere wholly on the screen
    };
    auto sz = [](const char* text) { return std::string(text, strlen(text) + 1); };
    const Case cases[] = {
        {"not a number", REG_SZ, sz("12a"), sz("750"), L"Error: 13. Type mismatch", 0, 0},
        {"beyond 32 bits", REG_SZ, sz("4294967296"), sz("750"), L"Error: 6. Overflow", 0, 0},
        {"negative, partly visible", REG_SZ, sz("-1500"), sz("750"), nullptr, -1500, 750},
        {"wholly off to the left", REG_SZ, sz("-100000"), sz("0"), nullptr, kOnScreen, kOnScreen},
        {"wholly below", REG_SZ, sz("0"), sz("200000"), nullptr, kOnScreen, kOnScreen},
        {"wholly off to the right and above", REG_SZ, sz("900000"), sz("-45000"), nullptr, kOnScreen, kOnScreen},
        {"REG_DWORD", REG_DWORD, std::string("\xdc\x05\0\0", 4), sz("750"), nullptr, 1500, 750},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, sz("1500"), sz("750"), nullptr, 0, 750},
        {"REG_SZ without a terminating zero", REG_SZ, "1515", sz("750"), nullptr, 1515, 750},
        {"empty string", REG_SZ, sz(""), sz("750"), nullptr, 0, 750},
        {"key missing", 0, "", "", nullptr, 0, 0},
    };
    WriteProfile(L"home", "kept\r\n");
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver::DeleteSettingsKey();
        DeleteFileW((app_ + L"\\ipinfo.txt").c_str());
        DeleteFileW(BatchFile().c_str());
        if (c.type != 0) {
            driver::WriteSettingRaw(L"FormLeft", c.type, c.left);
            driver::WriteSettingRaw(L"FormTop", REG_SZ, c.top);
        }
        Roamwise* program = Start();
        ASSERT_TRUE(program);
        if (c.error) {
            auto box = program->WaitBox();
            ASSERT_TRUE(box) << "no report at start-up";
            EXPECT_EQ(box->title, L"Form_Load");
            EXPECT_EQ(box->text, c.error);
            ASSERT_TRUE(program->Answer(*box, IDOK));
            ASSERT_TRUE(program->WaitMainWindow());
            EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{});
            EXPECT_EQ(program->Status(), L"");
            EXPECT_FALSE(driver::FileExists(app_ + L"\\ipinfo.txt")) << "the capture ran";
        } else {
            ASSERT_TRUE(program->WaitMainWindow()) << Describe(program->WaitBox(0));
            EXPECT_TRUE(program->Boxes().empty()) << Describe(program->WaitBox(0));
            if (c.type == 0) {
                EXPECT_FALSE(driver::SettingsKeyExists()) << "stored before closing";
            }
            RECT r = {};
            GetWindowRect(program->Main(), &r);
            if (c.x == kOnScreen) {
                EXPECT_GE(r.left, 0);
                EXPECT_GE(r.top, 0);
                EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
                EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
            } else {
                EXPECT_EQ(r.left * kTwipsPerPixel, c.x);
                EXPECT_EQ(r.top * kTwipsPerPixel, c.y);
            }
            EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{L"home"});
        }
        // Closing stores where the window is then, so the next start is fine.
        const int x = 37 + 20 * row, y = 411 - 20 * row;
        ++row;
        SetWindowPos(program->Main(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(driver::WaitUntil([&] {
            RECT moved = {};
            GetWindowRect(program->Main(), &moved);
            return moved.left == x && moved.top == y;
        }));
        CloseProgram(*program);
        for (const auto& [name, pixels] : {std::pair<const wchar_t*, int>{L"FormLeft", x}, {L"FormTop", y}}) {
            auto stored = driver::ReadSetting(name);
            ASSERT_TRUE(stored) << Narrow(name) << " was not stored";
            EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(stored->text, std::to_wstring(pixels * kTwipsPerPixel));
        }
        EXPECT_EQ(Content(L"home"), "kept\r\n");
        ExpectOnlyOwnFiles();
    }
}

// --- profile files ----------------------------------------------------------------------------

TEST_F(hardening, ProfilesBeingAFileIsReportedAndNothingIsWritten) {
    ASSERT_TRUE(driver::WriteBytes(Profiles(), "not a directory"));
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{});
    auto box = Save(*program, L"home");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, L"cmdSave");
    EXPECT_EQ(box->text, L"Error: 183. " + SystemMessage(183));
    ASSERT_TRUE(program->Answer(*box, IDOK));
    EXPECT_EQ(DumpCalls(), 0u);
    EXPECT_EQ(driver::ReadBytes(Profiles()).value_or("<missing>"), "not a directory");
    EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{});
    ExpectOnlyOwnFiles();
    CloseProgram(*program);
}

TEST_F(hardening, StartupListsEveryProfileSortedWithoutSelection) {
    // 20 000 profiles, made by the CTest set-up on the Unix side (creating
    // that many files through Wine takes minutes); moved into place with one
    // rename.
    const std::wstring made = L"C:\\roam e2e\\twenty thousand\\Profiles";
    ASSERT_TRUE(driver::DirectoryExists(made)) << "run through CTest: its set-up makes the files";
    ASSERT_TRUE(MoveFileW(made.c_str(), Profiles().c_str()));
    // And beside them names whose directory (byte) order differs from the
    // case-insensitive order the list must show, and files that are no
    // profiles.
    enum Kind { File, Hidden, System, Directory };
    const std::pair<const wchar_t*, Kind> entries[] = {
        {L"home.txt", File},  {L"Office.txt", File}, {L"work.txt", Hidden}, {L"sys.txt", System},
        {L"Zeta.txt", File},  {L"beta.txt", File},   {L"Mid.txt", File},    {L"alpha.txt", File},
        {L"NOTES.TXT", File}, {L"Memo.Txt", File},   {L"notes.doc", File},  {L"x.txt", Directory},
    };
    for (const auto& [name, kind] : entries) {
        SCOPED_TRACE(Narrow(name));
        std::wstring path = Profiles() + L"\\" + name;
        if (kind == Directory) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
            continue;
        }
        ASSERT_TRUE(driver::WriteBytes(path, "profile\r\n"));
        DWORD attribute = kind == Hidden ? FILE_ATTRIBUTE_HIDDEN : kind == System ? FILE_ATTRIBUTE_SYSTEM : 0;
        if (attribute) {
            SetFileAttributesW(path.c_str(), attribute);
            ASSERT_TRUE(GetFileAttributesW(path.c_str()) & attribute) << "this file system keeps no attribute";
        }
    }
    std::vector<std::wstring> expected = {L"alpha", L"beta", L"home", L"Mid", L"Office"};
    for (int i = 0; i < 20000; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"p%05d", i);
        expected.push_back(name);
    }
    expected.insert(expected.end(), {L"sys", L"work", L"Zeta"});

    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
    EXPECT_EQ(program->Text(program->Main()), kTitle);
    EXPECT_TRUE(IsActiveIpStatus(program->Status()));
    EXPECT_EQ(program->ListSelection(), LB_ERR);
    HWND list = program->Control(ids::kList1);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
    // The named ones, and every 97th of the rest: in order, each the file it stands for.
    for (size_t i = 0; i < expected.size(); ++i) {
        if (i >= 5 && i + 3 < expected.size() && i % 97 != 0) continue;
        wchar_t text[64] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        if (expected[i] != text) {
            ADD_FAILURE() << "entry " << i << " is " << Narrow(text) << ", not " << Narrow(expected[i]);
            break;
        }
    }
    CloseProgram(*program);
}

TEST_F(hardening, ViewerShowsWhateverIpconfigWrote) {
    std::string large;
    for (int i = 0; large.size() < 5u * 1024 * 1024; ++i) large += "line " + std::to_string(i) + " \xe9\xfc\r\n";
    struct Case {
        const char* what;
        std::string output;
    };
    const Case cases[] = {
        {"nothing", ""},
        {"bytes above 127", "Adapter \xc4\xe9\xfc\xa0\xe0\r\n\tDescription: caf\xe9\r\n"},
        {"5 MB", large},
    };
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    HWND viewer = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        double_->SetControl(L"ipconfig_out", c.output);
        const size_t ended = Ended().size();
        program->Click(ids::kCmdSettings);
        ASSERT_TRUE(driver::WaitUntil([&] { return Ended().size() > ended; })) << "no capture ran";
        ASSERT_TRUE(driver::WaitUntil([&] { return (viewer = program->FindVisible(ROAMWISE_VIEWER_CLASS)) != nullptr; }));
        // The capture ends inside the click's handler; a marker posted now is
        // handled only after it.
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << Describe(program->WaitBox(0));
        const std::wstring expected = driver::FromAnsi(c.output);
        const std::wstring shown = program->Text(program->ControlOf(viewer, ids::kText2));
        EXPECT_EQ(shown.size(), expected.size());
        EXPECT_TRUE(shown == expected) << "the viewer's text differs from ipinfo.txt";
        EXPECT_EQ(driver::ReadBytes(app_ + L"\\ipinfo.txt").value_or("<missing>").size(), c.output.size());
        ExpectOnlyOwnFiles();
    }
    EXPECT_EQ(program->Text(viewer), L"Current Settings");
    EXPECT_TRUE(GetWindowLongW(viewer, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const auto runs = double_->Lines(L"ipconfig.log");
    EXPECT_GE(runs.size(), 1 + std::size(cases)) << "one capture at start-up and one per click";
    for (const auto& run : runs) EXPECT_EQ(run, L"/all");

    // Text2 fills the viewer at any size.
    HWND text2 = program->ControlOf(viewer, ids::kText2);
    for (const SIZE& s : {SIZE{420, 330}, SIZE{150, 90}, SIZE{600, 500}}) {
        SCOPED_TRACE(std::to_string(s.cx) + "x" + std::to_string(s.cy));
        SetWindowPos(viewer, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client = {}, text = {};
        bool filled = driver::WaitUntil([&] {
            GetClientRect(viewer, &client);
            text = program->RectIn(text2, viewer);
            return EqualRect(&text, &client) != FALSE;
        });
        EXPECT_TRUE(filled) << "client " << client.right << "x" << client.bottom << ", Text2 (" << text.left << ","
                            << text.top << ")-(" << text.right << "," << text.bottom << ")";
    }

    SetWindowPos(viewer, nullptr, 310, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(driver::WaitUntil([&] {
        RECT place = {};
        GetWindowRect(viewer, &place);
        return place.left == 310 && place.top == 220;
    }));
    CloseProgram(*program);
    EXPECT_FALSE(IsWindow(viewer));
    for (const auto& [name, pixels] : {std::pair<const wchar_t*, int>{L"Form2Left", 310}, {L"Form2Top", 220}}) {
        auto stored = driver::ReadSetting(name);
        ASSERT_TRUE(stored) << Narrow(name) << " was not stored";
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored->text, std::to_wstring(pixels * kTwipsPerPixel));
    }
}

// --- tools failing, slow or missing -------------------------------------------------------------

TEST_F(hardening, FailedOrMissingNetshKeepsTheOldProfile) {
    struct Case {
        const char* what;
        const char* exitCode;  // null: netsh missing
        bool half;
        const wchar_t* typed;
        const char* codes;  // exit codes the box may name
    };
    const Case cases[] = {
        {"failing at once", "1", false, L"home", "1"},
        {"failing after half a dump", "1", true, L"home", "1"},
        {"failing after half a dump, new name", "1", true, L"new", "1"},
        {"missing from the path", nullptr, false, L"home", "9009|1"},
    };
    const std::string old = "old home\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteProfile(L"home", old);
        DeleteFileW((double_->Dir() + L"\\exit_code").c_str());
        DeleteFileW((double_->Dir() + L"\\half").c_str());
        if (c.exitCode) double_->SetControl(L"exit_code", c.exitCode);
        if (c.half) double_->SetControl(L"half", "");
        if (!c.exitCode) {
            ASSERT_TRUE(HideNetsh()) << "netsh.exe could not be moved aside";
        }
        Roamwise* program = Launch();
        ASSERT_TRUE(program);
        const size_t dumps = DumpCalls();
        auto box = Save(*program, c.typed);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->title, kTitle);
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        EXPECT_TRUE(std::regex_match(Narrow(box->text),
                                     std::regex(std::string("The settings could not be saved: netsh ended with exit "
                                                            "code (") + c.codes + ")\\.")))
            << Describe(box);
        EXPECT_EQ(DumpCalls(), dumps + (c.exitCode ? 1 : 0));
        ASSERT_TRUE(program->Answer(*box, IDOK));
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        EXPECT_EQ(Content(L"home"), old);
        EXPECT_EQ(driver::DirectoryNames(Profiles()), std::vector<std::wstring>{L"home.txt"});
        EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{L"home"});
        ExpectOnlyOwnFiles();
        CloseProgram(*program);
        PutNetshBack();
    }
}

TEST_F(hardening, TenSecondDumpKeepsTheWindowLiveAndASecondSaveStartsNothing) {
    ASSERT_TRUE(driver::MakeDirectories(Profiles()));
    double_->SetAddress("192.0.2.64");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    double_->SetControl(L"delay_ms", "10000");
    program->SetName(L"slow");
    program->Click(ids::kCmdSave);
    // The double logs its call before it sleeps.
    ASSERT_TRUE(driver::WaitUntil([&] { return DumpCalls() == 1; })) << "the dump never started";
    const std::string batch = BatchText();
    const size_t ended = Ended().size();

    // The window answers and repaints while the dump runs.
    ASSERT_TRUE(program->Settle());
    EXPECT_EQ(program->Status(), L"   Saving Settings");
    EXPECT_TRUE(RedrawWindow(program->Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN));
    ASSERT_TRUE(program->Settle());
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(program->Main(), &update, FALSE)) << "the invalidated window was not repainted";
    program->Click(ids::kCmdSave);
    ASSERT_TRUE(program->Settle()) << "the second click was not handled during the dump";
    EXPECT_TRUE(program->Boxes().empty()) << Describe(program->WaitBox(0));
    EXPECT_EQ(Ended().size(), ended) << "the dump ended before the checks made during it";

    auto box = program->WaitBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"Settings Saved");
    EXPECT_EQ(DumpCalls(), 1u);
    EXPECT_EQ(BatchText(), batch);
    EXPECT_EQ(Content(L"slow"), Reference("192.0.2.64"));
    ASSERT_TRUE(program->Answer(*box, IDOK));
    // Nor does the second click come back once the first save is done.
    ASSERT_TRUE(program->Settle());
    EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
    EXPECT_EQ(DumpCalls(), 1u);
    ExpectOnlyOwnFiles();
    CloseProgram(*program);
}

TEST_F(hardening, ClosingWhileAToolRunsFinishesTheFileWorkSilently) {
    struct Case {
        const char* what;
        const wchar_t* delayControl;
        const char* exitCode;  // null: the tool succeeds
        int button;
        const wchar_t* typed;   // for save
        const char* homeAfter;  // "dump": the new dump; otherwise the content
        const wchar_t* endedPrefix;
    };
    const std::string old = "set address name=\"x\" source=static addr=192.0.2.65\r\n";
    const Case cases[] = {
        {"dump", L"delay_ms", nullptr, ids::kCmdSave, L"home", "dump", L"netsh\t-c"},
        {"failing dump", L"delay_ms", "1", ids::kCmdSave, L"home", nullptr, L"netsh\t-c"},
        {"load", L"delay_ms", nullptr, ids::kCmdLoad, nullptr, nullptr, L"netsh\t-f"},
        {"capture", L"ipconfig_delay_ms", nullptr, ids::kCmdSettings, nullptr, nullptr, L"ipconfig"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver::DeleteSettingsKey();
        WriteProfile(L"home", old);
        for (const wchar_t* control : {L"delay_ms", L"ipconfig_delay_ms", L"exit_code", L"half", L"ended.log"})
            DeleteFileW((double_->Dir() + L"\\" + control).c_str());
        double_->SetAddress("192.0.2.66");
        Roamwise* program = Launch();
        ASSERT_TRUE(program);
        double_->SetControl(c.delayControl, "4000");
        if (c.exitCode) {
            double_->SetControl(L"exit_code", c.exitCode);
            double_->SetControl(L"half", "");
        }
        const size_t endedBefore = Ended().size();
        const wchar_t* log = c.delayControl == std::wstring(L"delay_ms") ? L"calls.log" : L"ipconfig.log";
        const size_t startedBefore = double_->Lines(log).size();
        if (c.button == ids::kCmdLoad) {
            ASSERT_TRUE(program->Select(L"home"));
        }
        if (c.typed) program->SetName(c.typed);
        program->Click(c.button);
        if (c.typed) {
            auto question = program->WaitBox();
            ASSERT_TRUE(question && question->hasYesNo) << Describe(question);
            ASSERT_TRUE(program->Answer(*question, IDYES));
        }
        ASSERT_TRUE(driver::WaitUntil([&] { return double_->Lines(log).size() > startedBefore; }))
            << "the tool never started";

        program->Close();
        std::vector<std::string> boxes;
        bool closedFirst = false;
        bool cameBack = false;
        EXPECT_TRUE(driver::WaitUntil([&] {
            for (const auto& b : program->Boxes()) boxes.push_back(Describe(b));
            const bool shown = program->FindVisible(ROAMWISE_MAIN_CLASS) || program->FindVisible(ROAMWISE_VIEWER_CLASS);
            if (!shown && Ended().size() == endedBefore) closedFirst = true;
            if (shown && closedFirst) cameBack = true;
            return !program->Running();
        })) << "the process did not end";
        EXPECT_TRUE(closedFirst) << "the windows stayed until the tool had ended";
        EXPECT_FALSE(cameBack) << "a window came back after closing";
        EXPECT_EQ(boxes, std::vector<std::string>{});
        auto ended = Ended();
        ASSERT_EQ(ended.size(), endedBefore + 1) << "the tool was not left to finish";
        EXPECT_EQ(ended.back().rfind(c.endedPrefix, 0), 0u) << Narrow(ended.back());
        EXPECT_TRUE(driver::ReadSetting(L"FormLeft")) << "the position was not stored";
        const std::string home = c.homeAfter ? Reference("192.0.2.66") : old;
        EXPECT_EQ(Content(L"home"), home);
        EXPECT_EQ(driver::DirectoryNames(Profiles()), std::vector<std::wstring>{L"home.txt"});
        ExpectOnlyOwnFiles();
    }
}

}  // namespace
