// The real Roamwise.exe under Wine, driven from outside, with the double (double.cpp) in place of the
// system's netsh and ipconfig: only what a running program alone can show.
#include <gtest/gtest.h>

#include <set>

#include "driver.h"  // first: it sets the Windows version the tests build for

#include <shellapi.h>
#include <shlobj.h>

namespace e2e {

const std::wstring kSaved = L"Roamwise: Settings Saved", kLoaded = L"Roamwise: Network Settings Loaded";
const wchar_t kBox[] = L"#32770", kViewer[] = ROAMWISE_VIEWER_CLASS;
const fs::path kHere = fs::path(_pgmptr).parent_path();  // Roamwise.exe, the double and the DLL are here
bool DeleteKey() { return RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quillfern") == ERROR_SUCCESS; }  // was there one?
class e2e : public ::testing::Test {  // each case runs the program from its own folder, with a blank in its path
protected:
    void SetUp() override {
        root_ = fs::path(L"C:\\roam e2e") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        TearDown();  // what a killed run left
        fs::create_directories(state_ = root_ / L"double");
        fs::create_directories(profiles_ = (app_ = root_ / L"app dir") / L"Profiles");
        fs::copy_file(kHere / L"Roamwise.exe", app_ / L"Roamwise.exe");
        SetEnvironmentVariableW(L"ROAMWISE_DOUBLE_DIR", state_.c_str());  // Roamwise and its tools inherit it
        Replace(L"netsh.exe");
    }
    void TearDown() override {
        programs_.clear();
        for (const fs::path& tool : replaced_) {
            if (fs::remove(tool)) fs::rename(tool.wstring() + L".away", tool);
            RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", tool.filename().c_str());
        }
        DeleteKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Roamwise.exe");
        fs::remove_all(root_);
    }
    // Puts the double in place of a system tool (for a 32-bit program in syswow64), moving the tool
    // aside rather than overwriting it: the prefix shares its files with its template.
    void Replace(const wchar_t* tool) {
        const fs::path& path = replaced_.emplace_back(fs::path(L"C:\\windows\\system32") / tool);
        fs::rename(path, path.wstring() + L".away");
        fs::copy_file(kHere / L"e2e_double.exe", path);
        SetWine(L"DllOverrides", tool, L"native");  // 64-bit Wine would prefer its built-in tool
    }
    Program& Start(const fs::path& folder = {}) {  // with its main window
        programs_.emplace_back(std::make_unique<Program>(folder.empty() ? app_ : folder));
        EXPECT_TRUE(programs_.back()->Main()) << "no main window";
        return *programs_.back();
    }
    std::string Calls() const { return Read(state_ / "calls.log"); }  // the double's log
    fs::path root_, app_, profiles_, state_;
    std::vector<fs::path> replaced_;
    std::vector<std::unique_ptr<Program>> programs_;
};

// Keys and clicks as Windows hands them on, through the program's own message loop.
void Key(HWND to, UINT key) { PostMessageW(to, WM_KEYDOWN, key, 1), PostMessageW(to, WM_KEYUP, key, 0xC0000001); }
LPARAM Item(HWND list, int index) {  // the middle of a listed item, in the list's client area
    DWORD_PTR height = 0, top = 0;
    Send(list, LB_GETITEMHEIGHT, 0, 0, &height), Send(list, LB_GETTOPINDEX, 0, 0, &top);
    return MAKELPARAM(8, (index - int(top)) * int(height) + int(height) / 2);
}
TEST_F(e2e, AHandedOverLoadNeverRunsInsideAnotherCommandEndsWithItsOwnCodeAndOnlyTheSystemsToolsRun) {
    for (const wchar_t* tool : {L"netsh.exe", L"ipconfig.exe", L"cmd.exe"})  // planted beside it: never run
        fs::copy_file(kHere / L"e2e_double.exe", app_ / tool);
    fs::copy_file(kHere / L"libe2e_planted.dll", app_ / L"iphlpapi.dll");
    SetWine(L"AppDefaults\\Roamwise.exe\\DllOverrides", L"iphlpapi", L"native,builtin");  // the folder first
    Write(profiles_ / L"Caf\u00e9_Home.txt", "home\r\n"), Write(profiles_ / L"Work_LAN.txt", "address 192.0.2.9\r\n");
    Write(state_ / "state", "address 192.0.2.7\r\n");
    Program& p = Start();
    p.SetName(L"Caf\u00e9 Home"), p.Click(ids::kSaveButton);  // a blank and a letter beyond ASCII, through the real cmd
    ASSERT_TRUE(p.Window(kBox));  // asks whether to replace it
    EXPECT_EQ(Program(app_, L"/load Work_LAN /quiet").ExitCode(), 7u) << "not busy";
    EXPECT_EQ(p.Answer(IDYES).rfind(L"Profile Exist: ", 0), 0u);
    EXPECT_EQ(p.Answer(), kSaved);
    EXPECT_EQ(Read(profiles_ / L"Caf\u00e9_Home.txt"), "address 192.0.2.7\r\n") << "it got another configuration";
    p.Click(ids::kAboutButton), p.Select(L"Work_LAN");  // loops that are no command take none either
    ASSERT_TRUE(p.Window(kBox));
    EXPECT_EQ(Program(app_, L"/load Work_LAN /quiet").ExitCode(), 7u) << "loaded inside the About box";
    p.Answer(), PostMessageW(p.Control(ids::kProfileList), WM_CONTEXTMENU, WPARAM(p.Control(ids::kProfileList)), -1);
    ASSERT_TRUE(p.Window(L"#32768"));
    EXPECT_EQ(Program(app_, L"/load Work_LAN /quiet").ExitCode(), 7u) << "loaded inside the menu";
    Key(p.Window(L"#32768"), VK_ESCAPE);
    Write(state_ / "hold", "");  // two starts at once: the first loads, the second is told the window is busy
    const size_t before = Calls().size();
    Program first(app_, L"/load \"Work LAN\" /quiet");
    ASSERT_TRUE(WaitFor([&] { return Calls().find("dump", before) != std::string::npos; }));  // the settings in force first
    EXPECT_EQ(Program(app_, L"/load \"Caf\u00e9 Home\" /quiet").ExitCode(), 7u);
    fs::remove(state_ / "hold");
    EXPECT_EQ(first.ExitCode(), 0u);  // before the box below is answered
    EXPECT_EQ(p.Answer(), kLoaded);
    EXPECT_EQ(Program(app_, L"/load ..\\Home /quiet").ExitCode(), 1u);
    EXPECT_FALSE(p.Window(kBox, 1000)) << p.Answer();
    EXPECT_EQ(Program(app_, L"/load \"CAF\u00c9 HOME\" /quiet").ExitCode(), 0u);  // beyond ASCII, letter case aside
    EXPECT_EQ(p.Answer(), kLoaded);
    const std::string calls = Calls();
    EXPECT_TRUE(calls.find("planted") == std::string::npos && calls.find("-f", calls.find("-f") + 1) == calls.rfind("-f")) << calls;
}
TEST_F(e2e, TheListTakesWindowsKeysClicksAndMenuAndItsShortcutLoadsAsWindowsStartsIt) {
    Write(profiles_ / L"Caf\u00e9 Home.txt", "address 192.0.2.9\r\n");
    Replace(L"ipconfig.exe"), Write(state_ / "state", "Verbindung l\x84" "uft \x81" "ber\r\n");  // code page 437
    Program& p = Start();
    const HWND list = p.Control(ids::kProfileList);
    const auto listed = [&](DWORD_PTR n) { return WaitFor([&] { DWORD_PTR got = 0; return Send(list, LB_GETCOUNT, 0, 0, &got) && got == n; }); };
    p.Click(ids::kSettingsButton);  // the viewer comes forward, a profile is copied in, the window comes back
    const HWND viewer = p.Window(kViewer), text = GetDlgItem(viewer, ids::kSettingsText);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == viewer; }));
    EXPECT_TRUE(WaitFor([&] { return TextOf(text) == L"Verbindung l\u00e4uft \u00fcber\r\n"; })) << TextOf(text);
    Write(profiles_ / L"Office.txt", "office\r\n"), SetForegroundWindow(p.Main());
    EXPECT_TRUE(listed(2)) << "not there when the window came back";
    p.Click(ids::kSettingsButton);  // a viewer behind the window comes forward; Ctrl+A selects its text, Escape closes it
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == viewer; }));
    PostMessageW(text, WM_CHAR, 1, 1);
    EXPECT_TRUE(WaitFor([&] { DWORD_PTR got = 0; return Send(text, EM_GETSEL, 0, 0, &got) && got == MAKELONG(0, 23); }));
    Key(text, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer) && Setting(L"Form2Left") != L""; }));
    Write(profiles_ / L"Travel.txt", ""), Key(p.Control(ids::kNameBox), VK_F5);
    EXPECT_TRUE(listed(3)) << "F5";
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) PostMessageW(list, message, 0, Item(list, 0));  // "Café Home"
    Key(list, VK_RETURN);
    EXPECT_EQ(p.Answer(), kLoaded);
    Key(list, VK_DELETE);
    EXPECT_EQ(p.Answer(IDNO), L"Roamwise: Are you sure you want to delete Caf\u00e9 Home");
    // The menu from the keyboard (Shift+F10, the Applications key) opens at the selected profile: its fifth
    // item makes a shortcut on the desktop.
    PostMessageW(list, WM_CONTEXTMENU, WPARAM(list), -1);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) Key(p.Window(L"#32768"), key);
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    const fs::path shortcut = fs::path(desktop) / L"Caf\u00e9 Home - Roamwise.lnk";
    EXPECT_EQ(p.Answer(), L"Roamwise: The shortcut \"Caf\u00e9 Home - Roamwise\" is on the desktop:\r" + shortcut.wstring());
    // A right-click selects the profile under the pointer; F2 renames it, the letter case alone too (Wine's
    // MoveFileW would keep the old one); a double-click loads.
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, Item(list, 1)), PostMessageW(list, WM_RBUTTONUP, 0, Item(list, 1));
    Key(p.Window(L"#32768"), VK_ESCAPE);
    Key(list, VK_F2);
    const HWND box = p.Window(kBox);
    Send(GetDlgItem(box, 1002), WM_SETTEXT, 0, LPARAM(L"OFFICE")), PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return std::any_of(fs::directory_iterator(profiles_), {}, [](auto& e) { return e.path().filename() == L"OFFICE.txt"; }); }));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostMessageW(list, message, 0, Item(list, 4));
    EXPECT_FALSE(p.Window(kBox, 1000)) << "a double-click below the profiles loaded: " << p.Answer();
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostMessageW(list, message, 0, Item(list, 1));
    EXPECT_EQ(p.Answer(), kLoaded);
    EXPECT_EQ(Read(state_ / "state"), "office\r\n");
    p.Close(), Write(state_ / "state", "");
    ASSERT_TRUE(p.Ended());
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof run, run.fMask = SEE_MASK_FLAG_NO_UI, run.lpFile = shortcut.c_str(), run.nShow = SW_SHOWNORMAL;
    EXPECT_TRUE(ShellExecuteExW(&run));  // Wine gives no process to wait for: wait for what it does
    EXPECT_TRUE(WaitFor([&] { return Read(state_ / "state") == "address 192.0.2.9\r\n"; })) << Calls();
    HWND loaded = nullptr;
    DWORD started = 0;
    EXPECT_TRUE(WaitFor([&] { return GetWindowThreadProcessId(loaded = FindWindowW(kBox, L"Roamwise"), &started); }));
    EXPECT_EQ(TextOf(GetDlgItem(loaded, 0xFFFF)), L"Network Settings Loaded");
    const HANDLE ends = OpenProcess(SYNCHRONIZE, FALSE, started);
    PostMessageW(loaded, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(ends, 30000), WAIT_OBJECT_0);
    CloseHandle(ends), fs::remove(shortcut);
}
TEST_F(e2e, ALongDumpKeepsTheWindowLiveEndsWhenClosedAndThePlaceIsKeptEvenAtTheSessionsEnd) {
    Write(profiles_ / L"keep.txt", "kept\r\n");
    Write(state_ / "state", "new\r\n");
    Program& p = Start();
    const auto moveTo = [main = p.Main()](int x) { SetWindowPos(main, nullptr, x, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
    moveTo(90);  // Windows ends the session: the place is kept (15 twips to the pixel at 96 DPI), nothing shown
    DWORD_PTR mayEnd = 0;
    EXPECT_TRUE(Send(p.Main(), WM_QUERYENDSESSION, 0, 0, &mayEnd) && mayEnd && Send(p.Main(), WM_ENDSESSION, TRUE, 0));
    EXPECT_FALSE(p.Window(kBox, 0)) << p.Answer();
    EXPECT_EQ(Setting(L"FormLeft") + L" " + Setting(L"FormTop"), L"1350 1800");
    moveTo(150);
    Write(state_ / "hold", "");
    p.SetName(L"keep"), p.Click(ids::kSaveButton);
    EXPECT_EQ(p.Answer(IDYES).rfind(L"Profile Exist: ", 0), 0u);
    ASSERT_TRUE(WaitFor([&] { return Calls().find("dump") != std::string::npos; }));
    EXPECT_EQ(p.Status(), L"   Saving Settings");  // and so the window answers
    p.Close();  // while the dump still runs: the window stays until it has ended, and a second start finds it
    EXPECT_TRUE(WaitFor([&] { return p.Status() == L"   Closing when netsh is done"; })) << p.Status();
    Program second(app_);
    EXPECT_FALSE(second.Window(kBox, 3000)) << second.Answer();
    EXPECT_TRUE(second.ExitCode() == 0 && IsWindowVisible(p.Main()) && !IsWindowEnabled(p.Main()));
    fs::remove(state_ / "hold");
    EXPECT_TRUE(p.Ended()) << "still running: " << p.Answer();
    EXPECT_EQ(Calls().find("dump"), Calls().rfind("dump")) << "a second dump";
    const std::string kept = Read(profiles_ / L"keep.txt");
    EXPECT_TRUE(kept == "kept\r\n" || kept == "new\r\n") << kept;
    RECT again = {};  // where it was closed
    GetWindowRect(Start().Main(), &again);
    EXPECT_EQ(std::make_pair(again.left, again.top), std::make_pair(150L, 120L));
}
TEST_F(e2e, AFailedLoadShowsNetshsOwnWordsAlsoFromTheCommandLine) {
    Write(profiles_ / L"Bad.txt", "say Element nicht gefunden: Schnittstelle \x84\r\nsay  \r\nerr Das Objekt existiert. \x81\r\nexit 1\r\n");
    const std::wstring said = L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 1.\r\r"
                              L"Element nicht gefunden: Schnittstelle \u00e4\rDas Objekt existiert. \u00fc";  // code page 437
    for (const wchar_t* version : {L"win95", L"winme"}) {  // the 95 family is refused before any window exists
        SetWine(L"AppDefaults\\Roamwise.exe", L"Version", version);
        Program refused(app_);
        EXPECT_FALSE(!refused.Window(kBox) || refused.Window(ROAMWISE_MAIN_CLASS, 0, false)) << version;
        EXPECT_EQ(refused.Answer(), L"Roamwise: This program requires Windows 2000 and higher. Sorry");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Roamwise.exe");
    }
    Program alone(app_, L"/load bad");  // without a window, and nothing written but what the user has
    EXPECT_FALSE(!alone.Window(kBox) || alone.Window(ROAMWISE_MAIN_CLASS, 0, false)) << "a window was made";
    EXPECT_EQ(alone.Answer(), said);
    EXPECT_EQ(alone.ExitCode(), 2u);
    EXPECT_FALSE(DeleteKey()) << "a position was written";
    Program& p = Start();
    p.Select(L"Bad"), p.Click(ids::kLoadButton);
    EXPECT_EQ(p.Answer(), said);
    std::set<fs::path> left;  // no file the user did not have
    for (const auto& entry : fs::directory_iterator(app_)) left.insert(entry.path().filename());
    EXPECT_EQ(left, (std::set<fs::path>{L"Profiles", L"Roamwise.exe", L"Settings.bat", L"ipinfo.txt", L"Roamwise-undo.txt"}));
}
TEST_F(e2e, ALoadIsTakenBackByUndoAndATrialGoesBackUnlessKept) {
    const std::string before = "address 192.0.2.7\r\n", office = "address 192.0.2.9\r\n";
    Write(profiles_ / L"Office.txt", office), Write(state_ / "state", before);
    Program& p = Start();
    const HWND list = p.Control(ids::kProfileList);
    p.Select(L"Office"), p.Click(ids::kLoadButton);
    EXPECT_EQ(p.Answer(), kLoaded);
    for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP}) PostMessageW(list, message, 0, Item(list, 3));  // no profile: Undo alone
    for (UINT key : {VK_DOWN, VK_RETURN}) Key(p.Window(L"#32768"), key);
    EXPECT_EQ(p.Answer(IDYES).rfind(L"Roamwise: Go back to the network settings from before \"Office\" was loaded at ", 0), 0u);
    EXPECT_EQ(p.Answer(), kLoaded);
    EXPECT_EQ(Read(state_ / "state"), before);
    EXPECT_EQ(Program(app_, L"/undo /quiet").ExitCode(), 0u);  // and forward again, from a script
    EXPECT_EQ(p.Answer(), kLoaded);
    EXPECT_EQ(Read(state_ / "state"), office);
    Program tried(app_, L"/load Office /try 2 /quiet");  // handed to the window, whose question nobody answers
    EXPECT_EQ(tried.ExitCode(), 8u);
    EXPECT_EQ(p.Answer(), L"Roamwise: Roamwise went back to the network settings from before \"Office\" was loaded: nobody kept "
                          L"the new ones within 2 seconds.");
    p.Close(), Write(state_ / "state", before);
    ASSERT_TRUE(p.Ended());
    EXPECT_EQ(Program(app_, L"/load Office /try 5 /quiet").ExitCode(), 8u) << "nobody kept it";
    EXPECT_EQ(Read(state_ / "state"), before);
    Program kept(app_, L"/load Office /try 60 /quiet");
    ASSERT_TRUE(WaitFor([&] { return Read(state_ / "state") == office; }));
    EXPECT_EQ(Program(app_, L"/keep").ExitCode(), 0u);
    EXPECT_EQ(kept.ExitCode(), 0u);
    EXPECT_EQ(Program(app_, L"/keep /quiet").ExitCode(), 1u) << "no trial open";
    EXPECT_EQ(Read(state_ / "state"), office);
}
TEST_F(e2e, AProfilesSettingsShowInItsTooltipAndBesideTheSettingsInForce) {
    Write(profiles_ / L"Caf\u00e9.txt", "# Schnittstellenkonfiguration f\x81r \"LAN 2\"\r\npushd interface ip\r\n"  // code page 437
          "set address name=\"LAN 2\" source=static addr=192.0.2.20 mask=255.255.255.0\r\nset address name=\"LAN 2\" gateway=192.0.2.1 "
          "gwmetric=0\r\nset dns name=\"LAN 2\" source=static addr=192.0.2.53 register=PRIMARY\r\nset address name=\"Wireless\" source=dhcp\r\npopd\r\n");
    Write(state_ / "state", "pushd interface ip\r\nset address name=\"lan 2\" source=dhcp\r\nset address name=\"Other\" source=dhcp\r\npopd\r\n");
    Program& p = Start();
    const HWND list = p.Control(ids::kProfileList);
    p.Select(L"Caf\u00e9");
    EXPECT_EQ(TooltipText(p.Window(TOOLTIPS_CLASSW, 30000, false), list),
              L"Caf\u00e9\r\nLAN 2: 192.0.2.20/24, gateway 192.0.2.1, DNS 192.0.2.53\r\nWireless: DHCP");
    PostMessageW(list, WM_CONTEXTMENU, WPARAM(list), -1);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) Key(p.Window(L"#32768"), key);  // its second item compares
    const HWND shown = p.Window(ROAMWISE_COMPARISON_CLASS), text = GetDlgItem(shown, ids::kSettingsText);
    std::wstring compared;
    EXPECT_TRUE(WaitFor([&] { return (compared = TextOf(text)).find(L"Other") != std::wstring::npos; })) << compared;
    EXPECT_EQ(compared, L"\"Caf\u00e9\" compared with the settings in force now. Lines marked * differ.\r\n\r\nLAN 2\r\n"
                        L"* IPv4 addresses: 192.0.2.20/24; now from DHCP\r\n* Gateways: 192.0.2.1 (metric 0); now from DHCP\r\n"
                        L"* DNS servers: 192.0.2.53; now none\r\n\r\nWireless\r\n* IPv4 addresses: from DHCP; now not present\r\n"
                        L"* Gateways: from DHCP; now not present\r\n\r\nLeft alone by \"Caf\u00e9\": Other");
    Key(text, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(shown) && Setting(L"Form3Left") != L""; }));
}
TEST_F(e2e, ActiveAddress) {  // run in a network namespace by namespace-test.sh, which says what to expect
    wchar_t expected[64] = L"";
    if (!GetEnvironmentVariableW(L"ROAMWISE_EXPECT_STATUS", expected, 64)) GTEST_SKIP() << "outside a namespace";
    Program& p = Start();
    EXPECT_TRUE(WaitFor([&] { return p.Status() == expected; })) << p.Status();
    p.Close();
    ASSERT_TRUE(p.Ended());
    Write(profiles_ / L"Home.txt", "address 192.0.2.5\r\n");  // loaded, then connected or not
    EXPECT_EQ(Program(app_, L"/load Home /quiet").ExitCode(), wcsstr(expected, L"Not Connected") ? 3u : 0u);
}

}  // namespace e2e
