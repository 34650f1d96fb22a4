// The Win32 adapters on the real system (Wine here): what they alone decide.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "control_ids.h"
#include "launch.h"
#include "main_window.h"
#include "viewer_window.h"
#include "win32_platform.h"

using namespace roamwise;
using win32::Win32Platform;
namespace fs = std::filesystem;

namespace {

fs::path Self() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A copy of this program named cmd.exe ends at once with 86: it tells which cmd a start ran.
const bool kPlanted = Self().filename() == L"cmd.exe" && (ExitProcess(86), true);
// One named printer.exe leaves behind a child that keeps its output open, printing until nobody reads.
int PrintOn(bool child) {
    PROCESS_INFORMATION started = {};
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES, startup.hStdOutput = startup.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
    std::wstring line = L"printer child";
    if (!child) return CreateProcessW(Self().c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started) ? 0 : 1;
    DWORD written = 0;
    for (int i = 0; i < 3000 && WriteFile(startup.hStdOutput, "child\r\n", 7, &written, nullptr); ++i) Sleep(20);
    return 0;
}
const bool kPrinter = Self().filename() == L"printer.exe" && (ExitProcess(PrintOn(wcsstr(GetCommandLineW(), L"child"))), true);
const std::wstring kCmd = Win32Platform().SystemFolder() + L"\\cmd.exe";

constexpr char kKey[] = "SOFTWARE\\Quillfern\\Roamwise\\Settings";

void DeleteSettingsKeys() {  // the key and its parents, where nothing else lies in them
    for (std::string key = kKey + std::string("\\child"); key != "SOFTWARE"; key.erase(key.rfind('\\')))
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

struct Folder {  // a fresh scratch folder; a tool's console may still hold it at the end
    fs::path path = fs::temp_directory_path() / ("rw-" + std::to_string(GetTickCount() ^ GetCurrentProcessId()));
    Folder() { fs::create_directories(path); }
    ~Folder() { std::error_code ignored; fs::remove_all(path, ignored); }
    std::wstring operator/(const wchar_t* name) const { return (path / name).wstring(); }
};

void Put(const std::wstring& path, const std::string& bytes) {
    std::ofstream(fs::path(path), std::ios::binary) << bytes;
}

TEST(Settings, ReadGivesTextNumbersOrNothingWriteStoresAnsiTextWithOneZeroInALastingKey) {
    DeleteSettingsKeys();
    Win32Platform platform;
    EXPECT_EQ(platform.ReadSetting(L"FormLeft"), std::nullopt) << "no key";
    const std::tuple<const char*, DWORD, std::string, std::optional<std::wstring>> cases[] = {
        {"zero", REG_SZ, std::string("-1200\0", 6), L"-1200"}, {"no zero", REG_SZ, "1200", L"1200"},
        {"ansi", REG_SZ, std::string("Caf\xE9\0", 5), L"Caf\u00E9"}, {"empty", REG_SZ, "", std::nullopt},
        {"only a zero", REG_SZ, std::string(1, '\0'), std::nullopt}, {"number", REG_DWORD, "\4\3\2\1", L"16909060"},
        {"negative", REG_DWORD, "\xFB\xFF\xFF\xFF", L"-5"}, {"expand", REG_EXPAND_SZ, "1200", std::nullopt}};
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    for (const auto& [name, type, data, expected] : cases) {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), data.size());
        EXPECT_EQ(platform.ReadSetting(fs::path(name).wstring()), expected) << name;
    }
    EXPECT_EQ(platform.ReadSetting(L"missing"), std::nullopt);
    RegCloseKey(key);
    const std::pair<std::wstring, std::string> written[] = {  // and written
        {L"-1200", std::string("-1200\0", 6)}, {L"Caf\u00E9", std::string("Caf\xE9\0", 5)}, {L"", {'\0'}}};
    for (const auto& [value, bytes] : written) {
        DeleteSettingsKeys();
        Win32Platform().WriteSetting(L"FormTop", value);
        HKEY child = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key), 0) << "parents created";
        char data[16] = {};
        DWORD type = 0, length = sizeof data;
        EXPECT_EQ(RegQueryValueExA(key, "FormTop", nullptr, &type, reinterpret_cast<BYTE*>(data), &length), 0);
        EXPECT_EQ(std::make_pair(type, std::string(data, length)), std::make_pair(DWORD{REG_SZ}, bytes));
        // A volatile key takes no lasting subkey.
        EXPECT_EQ(RegCreateKeyExA(key, "child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr), 0);
        RegCloseKey(child), RegCloseKey(key);
    }
    DeleteSettingsKeys();
}

TEST(Files, NothingThereListsNoEntriesMoveReplacesReadOnlyKeepsTheRest) {
    Folder folder;
    Win32Platform platform;
    Put(folder / L"new.txt", "new");
    Put(folder / L"old.txt", "old");
    for (const wchar_t* pattern : {L"missing\\*.txt", L"old.txt\\*.txt", L"missing.txt"})
        EXPECT_TRUE(platform.List(folder / pattern).empty()) << fs::path(pattern).string();
    platform.Move(folder / L"new.txt", folder / L"old.txt");
    EXPECT_EQ(platform.Read(folder / L"old.txt"), "new");
    EXPECT_TRUE(platform.List(folder / L"new.txt").empty());
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, ro = FILE_ATTRIBUTE_READONLY;
    const std::tuple<DWORD, bool, DWORD> cases[] = {{kept, true, kept | ro}, {kept | ro, false, kept}, {ro, false, 0}};
    for (const auto& [before, readOnly, after] : cases) {
        SetFileAttributesW((folder / L"old.txt").c_str(), before);
        platform.SetReadOnly(folder / L"old.txt", readOnly);
        EXPECT_EQ(GetFileAttributesW((folder / L"old.txt").c_str()) & (kept | ro), after) << before;
    }
}

struct Sink : ToolOutput {  // the first bytes and the count
    std::string first;
    size_t total = 0;
    void Printed(const char* bytes, size_t size) override { total += size, first.append(bytes, std::min<size_t>(size, 60)); }
};

TEST(Tools, TheProgramNamedByItsFullPathRunsAndWhatItPrintsArrivesAsItComes) {
    Folder folder;
    const fs::path besideTest = Self().parent_path() / L"cmd.exe", before = fs::current_path();
    for (const fs::path& planted : {besideTest, folder.path / L"cmd.exe"}) fs::copy_file(Self(), planted);
    fs::current_path(folder.path);
    Put(folder / L"big.txt", std::string(5 << 20, 'x'));
    const size_t any = SIZE_MAX, forever = any - 1;  // forever: ended from outside
    const std::tuple<const wchar_t*, DWORD, std::string, size_t> cases[] = {
        {L"cmd /c cd& exit 1", 1, folder.path.string() + "\r\n", folder.path.string().size() + 2},
        {L"cmd /c exit 259", 259, "", 0}, {L"cmd /c nosuchtool-roamwise", 9009, "", any},
        {L"cmd /c echo out& echo err 1>&2", 0, "out\r\nerr \r\n", 11}, {L"cmd /c type big.txt", 0, "xxxxx", 5 << 20},
        {L"cmd /c set /p x=& echo %x%", 0, "%x%\r\n", 5},  // its input is empty: it never waits for it
        {L"cmd /c for /l %i in (0,0,1) do @echo forever", 9, "forever\r\nforever\r\n", forever}};
    Win32Platform platform;
    for (const auto& [line, code, first, total] : cases) {
        Sink printed;
        const Process tool = platform.Start(kCmd, line, folder.path.wstring(), &printed);
        std::thread end([&, endless = total == forever] { if (endless) Sleep(1000), TerminateProcess(HANDLE(tool.handle), 9); });
        EXPECT_EQ(platform.WaitForExit(tool), code) << fs::path(line).string();
        end.join();
        EXPECT_EQ(printed.first.substr(0, first.size()), first);
        if (total != any) EXPECT_TRUE(total == forever ? printed.total > 1000 : printed.total == total) << printed.total;
    }
    fs::current_path(before);
    fs::remove(besideTest);
}

bool pumped = false;
LRESULT CALLBACK Pumped(HWND w, UINT m, WPARAM wp, LPARAM lp) { return m == WM_APP ? pumped = true, 0 : DefWindowProcW(w, m, wp, lp); }
LRESULT CALLBACK EndsWhenHandedALoad(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_COPYDATA) return DefWindowProcW(w, m, wp, lp);
    return DestroyWindow(w), PostQuitMessage(0), 0;
}

TEST(Tools, AChildThatKeepsThePipeOpenNeitherHoldsTheResultNorTheWindow) {
    Folder folder;
    fs::copy_file(Self(), folder.path / L"printer.exe");
    const WNDCLASSW type = {0, &Pumped, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"rw-pump"};
    RegisterClassW(&type);
    struct Poster : Sink {
        HWND window = CreateWindowW(L"rw-pump", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        void Printed(const char* bytes, size_t size) override { Sink::Printed(bytes, size), PostMessageW(window, WM_APP, 0, 0); }
    } printed;
    Win32Platform platform;
    EXPECT_EQ(platform.WaitForExit(platform.Start(folder / L"printer.exe", L"printer", folder.path.wstring(), &printed)), 0u);
    EXPECT_TRUE(printed.first.rfind("child\r\n", 0) == 0 && pumped) << printed.first;  // posted once the child's words came
    DestroyWindow(printed.window);
}

TEST(Text, ConversionsKeepOrReportEachCharacter) {
    using Convert = bool (Win32Platform::*)(const std::wstring&, std::string&);
    const std::tuple<Convert, std::wstring, std::string, bool> cases[] = {
        {&Win32Platform::ToOem, L"Caf\u00E9", "Caf\x82", true}, {&Win32Platform::ToOem, L"\u0100", "?", false},
        {&Win32Platform::ToAnsi, L"Caf\u00E9", "Caf\xE9", true}, {&Win32Platform::ToAnsi, L"\u0100", "?", false}};
    Win32Platform platform;
    for (const auto& [convert, text, expected, exact] : cases) {
        std::string bytes;
        EXPECT_EQ((platform.*convert)(text, bytes), exact) << expected;
        EXPECT_EQ(bytes, expected);
    }
    EXPECT_EQ(platform.FromOem("Caf\x82"), L"Caf\u00E9");
    EXPECT_TRUE(platform.SameFileName(L"Caf\u00E9.txt", L"CAF\u00C9.TXT"));
    EXPECT_FALSE(platform.SameFileName(L"Caf\u00E9.txt", L"Cafe.txt"));
}

TEST(Claim, ACopyOutOfReachHoldsTheFolder) {
    // What a copy in another session holds: only the claim every session sees.
    const HANDLE otherSession = CreateMutexW(nullptr, FALSE, win32::GlobalClaimName(Win32Platform().ProgramFolder()).c_str());
    EXPECT_EQ(Win32Platform().ClaimProgramFolder(), FolderClaim::HeldElsewhere);
    CloseHandle(otherSession);
    Folder folder;  // one claim however a folder is spelled, and one per folder
    const fs::path spelled = folder.path / L"Program folder, long";
    wchar_t shortForm[MAX_PATH] = L"";
    fs::create_directories(spelled), GetShortPathNameW(spelled.c_str(), shortForm, MAX_PATH);
    EXPECT_TRUE(spelled != shortForm && win32::GlobalClaimName(shortForm) == win32::GlobalClaimName(spelled));
    EXPECT_NE(win32::GlobalClaimName(folder.path), win32::GlobalClaimName(spelled));
    Win32Platform commandLine;  // a copy without a window: nothing to hand a request to
    ASSERT_EQ(commandLine.ClaimProgramFolder(), FolderClaim::Claimed);
    EXPECT_EQ(Win32Platform().ClaimProgramFolder(), FolderClaim::LoadingHere);
}

TEST(Claim, AHandOverToACopyThatTakesNoMessagesOrEndsMeetingItSaysSo) {
    const WNDCLASSW type = {0, &EndsWhenHandedALoad, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, ROAMWISE_MAIN_CLASS};
    RegisterClassW(&type);
    for (const bool hung : {true, false}) {
        HWND window = nullptr;
        const HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread copy([&] {
            window = CreateWindowW(ROAMWISE_MAIN_CLASS, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
            SetEvent(made);
            MSG msg;
            if (hung) Sleep(6500), DestroyWindow(window);  // five seconds without a look at its messages: hung
            else while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        });
        WaitForSingleObject(made, INFINITE), CloseHandle(made);
        Win32Platform running, start;
        running.SetMainWindow(window);
        ASSERT_EQ(running.ClaimProgramFolder(), FolderClaim::Claimed);
        ASSERT_EQ(start.ClaimProgramFolder(), FolderClaim::RunningHere);
        if (hung) Sleep(5500);
        EXPECT_EQ(int(start.HandOver({false, L"Home", 0}).kind), int(hung ? HandOverAnswer::Kind::NotDelivered : HandOverAnswer::Kind::Ended));
        copy.join();
    }
    UnregisterClassW(ROAMWISE_MAIN_CLASS, GetModuleHandleW(nullptr));
}

// As a screen reader asks: oleacc's name for each control (oleacc loaded as readers load it).
std::wstring AccessibleName(HWND control) {
    static const auto fromWindow = reinterpret_cast<decltype(&AccessibleObjectFromWindow)>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    const IID iAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    IAccessible* accessible = nullptr;
    if (fromWindow(control, OBJID_CLIENT, iAccessible, reinterpret_cast<void**>(&accessible)) != S_OK) return L"(none)";
    VARIANT self = {};
    BSTR name = nullptr;
    self.vt = VT_I4, self.lVal = CHILDID_SELF, accessible->get_accName(self, &name);
    const std::wstring text = name ? name : L"";
    SysFreeString(name), accessible->Release();
    return text;
}

TEST(MainWindow, EveryControlHasANameForScreenReadersNothingVisibleChangesAndTheListSorts) {
    CoInitialize(nullptr);
    win32::MainWindow window(GetModuleHandleW(nullptr));
    ASSERT_TRUE(window.Create());
    win32::ViewerWindow viewer(GetModuleHandleW(nullptr), window);
    viewer.Create();
    const std::tuple<HWND, int, const wchar_t*> named[] = {
        {window.Handle(), ids::kProfileList, L"Profiles"}, {window.Handle(), ids::kLoadButton, L"Load"},
        {window.Handle(), ids::kNameBox, L"Profile name"}, {window.Handle(), ids::kSettingsButton, L"View Current Settings"},
        {viewer.Handle(), ids::kSettingsText, L"Current settings"}};
    for (const auto& [parent, id, name] : named) EXPECT_EQ(AccessibleName(GetDlgItem(parent, id)), name) << id;
    for (int label : {ids::kProfileListLabel, ids::kNameBoxLabel}) EXPECT_FALSE(IsWindowVisible(GetDlgItem(window.Handle(), label)));
    EXPECT_EQ(GetNextDlgTabItem(window.Handle(), GetDlgItem(window.Handle(), ids::kDeleteButton), FALSE),
              GetDlgItem(window.Handle(), ids::kNameBox));
    window.ClearProfiles();  // the list sorts as the user reads, letter case aside
    for (const wchar_t* name : {L"gamma", L"alpha", L"Beta"}) window.AddProfile(name);
    const wchar_t* sorted[] = {L"alpha", L"Beta", L"gamma"};
    for (int i : {0, 1, 2}) {
        SendMessageW(GetDlgItem(window.Handle(), ids::kProfileList), LB_SETCURSEL, i, 0);
        EXPECT_EQ(window.SelectedProfile(), sorted[i]);
    }
}

}  // namespace
