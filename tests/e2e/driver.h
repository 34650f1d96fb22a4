// Drives the real Roamwise.exe from another process: starts it in a private
// application directory, finds its windows and message boxes, clicks and
// types through window messages, and reads back what it shows and stores.
//
// Every wait polls with a generous limit; a limit is only a safety net for a
// hung program, never something a test asserts on.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace driver {

// How long a poll waits before giving up.
constexpr DWORD kPatience = 30000;

// --- paths and files --------------------------------------------------------
std::wstring RoamwiseExe();  // the Roamwise.exe copied beside the running test program
std::wstring ShortPath(const std::wstring& path);  // GetShortPathNameW, empty on failure
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);        // a file, not a directory
bool DirectoryExists(const std::wstring& path);
bool MakeDirectories(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Names in a directory (files and sub-directories, without "." and ".."), sorted.
std::vector<std::wstring> DirectoryNames(const std::wstring& path);
std::wstring FromAnsi(const std::string& bytes);
std::wstring FromUtf8(const std::string& bytes);
std::string ToAnsi(const std::wstring& text);
std::string ToUtf8(const std::wstring& text);
std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator);

// Polls cond until it is true or the limit has passed; gives cond's last value.
bool WaitUntil(const std::function<bool()>& cond, DWORD limitMs = kPatience);

// --- the netsh double's state directory ---------------------------------------
class NetshDouble {
public:
    explicit NetshDouble(std::wstring dir) : dir_(std::move(dir)) {}
    const std::wstring& Dir() const { return dir_; }
    void SetAddress(const std::string& address) const;
    std::string Address() const;  // state.txt, trimmed
    void SetControl(const wchar_t* name, const std::string& value) const;
    // The non-empty lines of one of its logs (calls.log, ended.log, ...).
    std::vector<std::wstring> Lines(const wchar_t* log) const;
    // Every logged call: its current directory, then its arguments.
    std::vector<std::vector<std::wstring>> Calls() const;

private:
    std::wstring dir_;
};

// --- registry -----------------------------------------------------------------
extern const wchar_t kSettingsKey[];  // SOFTWARE\Quillfern\Roamwise\Settings
bool SettingsKeyExists();
// A value of the settings key and its type; nothing when key or value is missing.
struct RegText {
    DWORD type = 0;
    std::wstring text;
};
std::optional<RegText> ReadSetting(const wchar_t* name);
void DeleteSettingsKey();  // the key and its vendor parents when empty
// Stores raw data through the ANSI function, as another program might:
// any type, with or without a terminating zero.
void WriteSettingRaw(const wchar_t* name, DWORD type, const std::string& bytes);
// Whether the session prefix runs the ipconfig double (installed beside the
// netsh double) instead of Wine's own ipconfig.
void UseIpconfigDouble(bool use);
std::wstring SystemDirectory();
// Wine's per-program Windows version (HKCU\Software\Wine\AppDefaults\Roamwise.exe).
void SetWineVersion(const wchar_t* version);
void ClearWineVersion();

// --- the machine's addresses, as the program may report them -------------------
std::vector<std::wstring> AdapterAddresses();

// --- a message box of the program ------------------------------------------------
struct Box {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    bool hasOk = false;
    bool hasYesNo = false;
};

// --- the running program -----------------------------------------------------------
class Roamwise {
public:
    Roamwise() = default;
    Roamwise(const Roamwise&) = delete;
    Roamwise& operator=(const Roamwise&) = delete;
    ~Roamwise();  // kills the program if it still runs

    // Starts appDir\Roamwise.exe with ROAMWISE_DOUBLE_DIR set to doubleDir.
    bool Start(const std::wstring& appDir, const std::wstring& doubleDir);
    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for the process to end; false if it is still running at the limit.
    bool WaitExit(DWORD limitMs = kPatience);
    void Kill();

    // The visible main window (class ROAMWISE_MAIN_CLASS) of this process;
    // null when the process ends or shows a message box first.
    HWND WaitMainWindow(DWORD limitMs = kPatience);
    HWND FindVisible(const wchar_t* windowClass) const;
    HWND Main() const { return main_; }
    // A control of the main window (or of a window of this process) by its id.
    HWND Control(int id) const;
    HWND ControlOf(HWND parent, int id) const;

    // Message boxes.
    std::vector<Box> Boxes() const;
    std::optional<Box> WaitBox(DWORD limitMs = kPatience);
    // Answers with IDOK, IDYES or IDNO and waits for the box to go away.
    bool Answer(const Box& box, int id);

    // Actions.
    void Click(int id);                 // BM_CLICK, posted
    void SetName(const std::wstring& text);
    void PressEnterInName();            // WM_CHAR 13 to Text1, posted
    bool Select(const std::wstring& item);  // LB_SETCURSEL + LBN_SELCHANGE
    void Close();                        // WM_CLOSE, posted
    // Posts a marker behind everything posted so far and waits until the
    // program has dispatched it, so that earlier posts have been handled.
    bool Settle(DWORD limitMs = kPatience);

    // Reading.
    std::vector<std::wstring> ListItems() const;
    int ListSelection() const;
    std::wstring Status() const;         // panel 1 of StatusBar1
    std::wstring Text(HWND window) const;
    RECT RectIn(HWND window, HWND reference) const;  // window's rect in reference's client coordinates
    RECT ControlRect(int id) const { return RectIn(Control(id), main_); }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

}  // namespace driver
