#include "driver.h"

#include <commctrl.h>
#include <iphlpapi.h>

#include <algorithm>

#include "control_ids.h"

namespace driver {

namespace {

// Limit for one cross-process message: a program that does not answer in
// that time is hung, and the test fails on the empty answer.
constexpr UINT kMessageLimit = 10000;

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kMessageLimit, &result);
    if (answered) *answered = ok != 0;
    return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// An environment block: ours with the given variable replaced.
std::vector<wchar_t> EnvironmentWith(const std::wstring& name, const std::wstring& value) {
    std::vector<wchar_t> block;
    std::wstring prefix = name + L"=";
    wchar_t* env = GetEnvironmentStringsW();
    for (const wchar_t* p = env; p && *p; p += wcslen(p) + 1) {
        std::wstring entry = p;
        if (entry.size() >= prefix.size() && _wcsnicmp(entry.c_str(), prefix.c_str(), prefix.size()) == 0)
            continue;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    if (env) FreeEnvironmentStringsW(env);
    std::wstring ours = prefix + value;
    block.insert(block.end(), ours.begin(), ours.end());
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

std::wstring Widen(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Opens or makes a key for writing; null on failure.
HKEY CreateKey(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenSettings(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// Visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    std::vector<HWND> all, mine;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window)) mine.push_back(window);
    }
    return mine;
}

constexpr wchar_t kAppDefaultsKey[] = L"Software\\Wine\\AppDefaults\\Roamwise.exe";

}  // namespace

const wchar_t kSettingsKey[] = L"SOFTWARE\\Quillfern\\Roamwise\\Settings";

// --- paths and files ----------------------------------------------------------------

std::wstring RoamwiseExe() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + L"Roamwise.exe";
}

std::wstring ShortPath(const std::wstring& path) {
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    DWORD got = GetShortPathNameW(path.c_str(), &buffer[0], needed);
    if (got == 0 || got >= needed) return {};
    buffer.resize(got);
    return buffer;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[8192];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectories(const std::wstring& path) {
    if (path.empty() || DirectoryExists(path)) return true;
    size_t cut = path.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 2 && !MakeDirectories(path.substr(0, cut))) return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> DirectoryNames(const std::wstring& path) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring FromAnsi(const std::string& bytes) { return Widen(bytes, CP_ACP); }
std::wstring FromUtf8(const std::string& bytes) { return Widen(bytes, CP_UTF8); }
std::string ToAnsi(const std::wstring& text) { return Narrow(text, CP_ACP); }
std::string ToUtf8(const std::wstring& text) { return Narrow(text, CP_UTF8); }

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos) return parts;
        start = at + 1;
    }
}

bool WaitUntil(const std::function<bool()>& cond, DWORD limitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start > limitMs) return cond();
        Sleep(50);
    }
}

// --- the netsh double -----------------------------------------------------------------

void NetshDouble::SetAddress(const std::string& address) const { WriteBytes(dir_ + L"\\state.txt", address); }

std::string NetshDouble::Address() const {
    const std::string text = ReadBytes(dir_ + L"\\state.txt").value_or("");
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

void NetshDouble::SetControl(const wchar_t* name, const std::string& value) const {
    WriteBytes(dir_ + L"\\" + name, value);
}

std::vector<std::wstring> NetshDouble::Lines(const wchar_t* log) const {
    std::vector<std::wstring> lines;
    auto bytes = ReadBytes(dir_ + L"\\" + log);
    if (!bytes) return lines;
    for (std::wstring line : Split(FromUtf8(*bytes), L'\n')) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::vector<std::wstring>> NetshDouble::Calls() const {
    std::vector<std::vector<std::wstring>> calls;
    for (const auto& line : Lines(L"calls.log")) calls.push_back(Split(line, L'\t'));
    return calls;
}

// --- registry -------------------------------------------------------------------------

bool SettingsKeyExists() {
    HKEY key = OpenSettings(KEY_READ);
    if (!key) return false;
    RegCloseKey(key);
    return true;
}

std::optional<RegText> ReadSetting(const wchar_t* name) {
    HKEY key = OpenSettings(KEY_READ);
    if (!key) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<RegText> result;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + sizeof(wchar_t), 0);
        if (RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
            RegText value;
            value.type = type;
            if (type == REG_SZ || type == REG_EXPAND_SZ) {
                value.text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
                while (!value.text.empty() && value.text.back() == L'\0') value.text.pop_back();
            }
            result = value;
        }
    }
    RegCloseKey(key);
    return result;
}

void DeleteSettingsKey() {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quillfern\\Roamwise");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quillfern");
}

void WriteSettingRaw(const wchar_t* name, DWORD type, const std::string& bytes) {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kSettingsKey);
    if (!key) return;
    RegSetValueExA(key, ToAnsi(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void UseIpconfigDouble(bool use) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides");
    if (!key) return;
    if (use) {
        const wchar_t value[] = L"native";
        RegSetValueExW(key, L"ipconfig.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    } else {
        RegDeleteValueW(key, L"ipconfig.exe");
    }
    RegCloseKey(key);
}

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH * 2] = {};
    UINT n = GetSystemDirectoryW(path, MAX_PATH * 2);
    return std::wstring(path, n);
}

void SetWineVersion(const wchar_t* version) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, kAppDefaultsKey);
    if (!key) return;
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void ClearWineVersion() { RegDeleteKeyW(HKEY_CURRENT_USER, kAppDefaultsKey); }

// --- addresses ----------------------------------------------------------------------------

std::vector<std::wstring> AdapterAddresses() {
    std::vector<std::wstring> addresses;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return addresses;
    std::vector<BYTE> buffer(size);
    auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(info, &size) != NO_ERROR) return addresses;
    for (auto* a = info; a; a = a->Next) {
        for (auto* ip = &a->IpAddressList; ip; ip = ip->Next) {
            std::string text = ip->IpAddress.String;
            if (!text.empty() && text != "0.0.0.0") addresses.push_back(FromAnsi(text));
        }
    }
    return addresses;
}

// --- the running program ------------------------------------------------------------------

Roamwise::~Roamwise() {
    if (process_) {
        if (Running()) Kill();
        CloseHandle(process_);
    }
}

bool Roamwise::Start(const std::wstring& appDir, const std::wstring& doubleDir) {
    std::wstring exe = appDir + L"\\Roamwise.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    auto env = EnvironmentWith(L"ROAMWISE_DOUBLE_DIR", doubleDir);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // Started from C:\ on purpose: the program must find its files beside
    // its executable, not in the current directory.
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        env.data(), L"C:\\", &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    main_ = nullptr;
    return true;
}

bool Roamwise::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Roamwise::WaitExit(DWORD limitMs) {
    return process_ && WaitForSingleObject(process_, limitMs) == WAIT_OBJECT_0;
}

void Roamwise::Kill() {
    if (!process_) return;
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, kPatience);
}

HWND Roamwise::FindVisible(const wchar_t* windowClass) const {
    for (HWND window : VisibleWindowsOf(pid_))
        if (ClassOf(window) == windowClass) return window;
    return nullptr;
}

HWND Roamwise::WaitMainWindow(DWORD limitMs) {
    main_ = nullptr;
    WaitUntil(
        [&] {
            main_ = FindVisible(ROAMWISE_MAIN_CLASS);
            return main_ != nullptr || !Running() || !Boxes().empty();
        },
        limitMs);
    return main_;
}

HWND Roamwise::ControlOf(HWND parent, int id) const {
    if (!parent) return nullptr;
    std::vector<HWND> descendants;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&descendants));
    for (HWND window : descendants)
        if (GetDlgCtrlID(window) == id) return window;
    return nullptr;
}

HWND Roamwise::Control(int id) const { return ControlOf(main_, id); }

std::vector<Box> Roamwise::Boxes() const {
    std::vector<Box> boxes;
    for (HWND window : VisibleWindowsOf(pid_)) {
        if (ClassOf(window) != L"#32770") continue;
        Box box;
        box.hwnd = window;
        box.title = Text(window);
        box.text = Text(GetDlgItem(window, 0xFFFF));
        auto shown = [&](int id) {
            HWND button = GetDlgItem(window, id);
            return button && IsWindowVisible(button);
        };
        box.hasOk = shown(IDOK);
        box.hasYesNo = shown(IDYES) && shown(IDNO);
        boxes.push_back(box);
    }
    return boxes;
}

std::optional<Box> Roamwise::WaitBox(DWORD limitMs) {
    std::optional<Box> found;
    WaitUntil(
        [&] {
            auto boxes = Boxes();
            if (!boxes.empty()) found = boxes.front();
            return found.has_value() || !Running();
        },
        limitMs);
    return found;
}

bool Roamwise::Answer(const Box& box, int id) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, id)));
    return WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

void Roamwise::Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void Roamwise::SetName(const std::wstring& text) {
    SendWithin(Control(roamwise::ids::kText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Roamwise::PressEnterInName() { PostMessageW(Control(roamwise::ids::kText1), WM_CHAR, 13, 1); }

bool Roamwise::Select(const std::wstring& item) {
    auto items = ListItems();
    auto at = std::find(items.begin(), items.end(), item);
    if (at == items.end()) return false;
    HWND list = Control(roamwise::ids::kList1);
    SendWithin(list, LB_SETCURSEL, static_cast<WPARAM>(at - items.begin()), 0);
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(roamwise::ids::kList1, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return Settle();
}

void Roamwise::Close() { PostMessageW(main_, WM_CLOSE, 0, 0); }

bool Roamwise::Settle(DWORD limitMs) {
    // The marker is a new length limit of Text1, put back afterwards.
    HWND text = Control(roamwise::ids::kText1);
    if (!text) return false;
    LRESULT original = SendWithin(text, EM_GETLIMITTEXT, 0, 0);
    LRESULT marker = original == 12345 ? 54321 : 12345;
    PostMessageW(text, EM_SETLIMITTEXT, static_cast<WPARAM>(marker), 0);
    bool seen = WaitUntil([&] { return SendWithin(text, EM_GETLIMITTEXT, 0, 0) == marker; }, limitMs);
    SendWithin(text, EM_SETLIMITTEXT, static_cast<WPARAM>(original), 0);
    return seen;
}

std::vector<std::wstring> Roamwise::ListItems() const {
    std::vector<std::wstring> items;
    HWND list = Control(roamwise::ids::kList1);
    bool answered = false;
    LRESULT count = SendWithin(list, LB_GETCOUNT, 0, 0, &answered);
    if (!answered || count == LB_ERR) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendWithin(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) length = 0;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT got = SendWithin(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
        items.push_back(text);
    }
    return items;
}

int Roamwise::ListSelection() const {
    return static_cast<int>(SendWithin(Control(roamwise::ids::kList1), LB_GETCURSEL, 0, 0));
}

std::wstring Roamwise::Status() const {
    HWND bar = Control(roamwise::ids::kStatusBar1);
    if (!bar) return L"<no status bar>";
    LRESULT length = LOWORD(SendWithin(bar, SB_GETTEXTLENGTHW, 0, 0));
    SIZE_T bytes = (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t);
    // The message is not marshalled: the buffer must live in the program.
    void* remote = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return L"<no remote buffer>";
    SendWithin(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process_, remote, &text[0], bytes, &read);
    VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::wstring Roamwise::Text(HWND window) const {
    if (!window) return {};
    LRESULT length = SendWithin(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendWithin(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, length))));
    return text;
}

RECT Roamwise::RectIn(HWND window, HWND reference) const {
    RECT rect = {};
    if (!window) return rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace driver
