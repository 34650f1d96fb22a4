// Stands in for netsh.exe in the end-to-end tests' Wine prefix.
//
// Its state lives in the directory named by ROAMWISE_DOUBLE_DIR:
//   calls.log   one line per call: current directory, then each argument as
//               received, separated by tabs (UTF-8)
//   state.txt   the address the "machine" has; 192.0.2.10 when missing
//   exit_code   when present: exit with this number instead of doing the work
//   half        with exit_code: a dump prints the first half of its text first
//   delay_ms    when present: sleep this long after logging the call
//
//   netsh -c interface dump   prints an interface dump holding the address
//   netsh -f FILE             takes the address of FILE's "set address" line
//                             into state.txt; a missing FILE exits with 1
// Anything else is logged and exits with 0, as the system stub does.
//   ended.log   one line per call that ran to its end (netsh or ipconfig)
//
// Installed as ipconfig.exe it stands in for ipconfig instead:
//   ipconfig.log       one line per call, its arguments
//   ipconfig_out       when present: printed verbatim (empty: prints nothing)
//   ipconfig_delay_ms  when present: sleep this long before printing
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <string>

#include "netsh_dump.h"

namespace {

constexpr char kDefaultAddress[] = "192.0.2.10";

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool ReadWhole(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// Appends in one write, so that two doubles running at once never mix lines.
void AppendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

// A control file's number, or false when the file is absent or holds none.
bool ControlNumber(const std::wstring& dir, const wchar_t* name, long& value) {
    std::string bytes;
    if (!ReadWhole(dir + L"\\" + name, bytes)) return false;
    std::string text = Trimmed(bytes);
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == '\0';
}

bool ControlExists(const std::wstring& dir, const wchar_t* name) {
    return GetFileAttributesW((dir + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameWord(const wchar_t* arg, const wchar_t* word) { return lstrcmpiW(arg, word) == 0; }

void WriteStdout(const std::string& bytes) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE) WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WriteStderr(const char* text) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (err && err != INVALID_HANDLE_VALUE) WriteFile(err, text, lstrlenA(text), &written, nullptr);
}

// The value of addr= in the first "set address" line that has one.
bool AddressFromScript(const std::string& script, std::string& address) {
    std::istringstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("set address") != 0) continue;
        size_t at = line.find(" addr=");
        if (at == std::string::npos) continue;
        at += 6;
        size_t end = line.find_first_of(" \t\r", at);
        address = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
        return !address.empty();
    }
    return false;
}

}  // namespace

bool RunningAs(const wchar_t* name) {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    const wchar_t* base = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') base = p + 1;
    return lstrcmpiW(base, name) == 0;
}

int Ipconfig(const std::wstring& dir, int argc, wchar_t** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) line += (i > 1 ? "\t" : "") + ToUtf8(argv[i]);
    AppendLine(dir + L"\\ipconfig.log", line + "\r\n");
    long delay = 0;
    if (ControlNumber(dir, L"ipconfig_delay_ms", delay) && delay > 0) Sleep(static_cast<DWORD>(delay));
    std::string out;
    if (ReadWhole(dir + L"\\ipconfig_out", out))
        WriteStdout(out);
    else
        WriteStdout("\r\nWindows IP Configuration\r\n\r\n   Host Name . . . . . . . . . . . . : double\r\n");
    AppendLine(dir + L"\\ended.log", "ipconfig\r\n");
    return 0;
}

int Netsh(const std::wstring& dir, int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    wchar_t dirBuffer[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableW(L"ROAMWISE_DOUBLE_DIR", dirBuffer, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) {
        WriteStderr("netsh double: ROAMWISE_DOUBLE_DIR is not set\r\n");
        return 3;
    }
    std::wstring dir = dirBuffer;
    while (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
    if (RunningAs(L"ipconfig.exe")) return Ipconfig(dir, argc, argv);
    const int code = Netsh(dir, argc, argv);
    std::string line = "netsh";
    for (int i = 1; i < argc; ++i) line += "\t" + ToUtf8(argv[i]);
    AppendLine(dir + L"\\ended.log", line + "\r\n");
    return code;
}

int Netsh(const std::wstring& dir, int argc, wchar_t** argv) {

    wchar_t cwd[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, cwd);
    std::string line = ToUtf8(cwd);
    for (int i = 1; i < argc; ++i) line += "\t" + ToUtf8(argv[i]);
    AppendLine(dir + L"\\calls.log", line + "\r\n");

    long delay = 0;
    if (ControlNumber(dir, L"delay_ms", delay) && delay > 0) Sleep(static_cast<DWORD>(delay));

    std::string state;
    std::string address = kDefaultAddress;
    if (ReadWhole(dir + L"\\state.txt", state) && !Trimmed(state).empty()) address = Trimmed(state);

    bool isDump = argc == 4 && SameWord(argv[1], L"-c") && SameWord(argv[2], L"interface") &&
                  SameWord(argv[3], L"dump");
    bool isScript = argc >= 2 && SameWord(argv[1], L"-f");

    long forcedExit = 0;
    if (ControlNumber(dir, L"exit_code", forcedExit)) {
        if (isDump && ControlExists(dir, L"half")) {
            std::string dump = NetshDump(address);
            WriteStdout(dump.substr(0, dump.size() / 2));
        }
        return static_cast<int>(forcedExit);
    }

    if (isDump) {
        WriteStdout(NetshDump(address));
        return 0;
    }
    if (isScript) {
        if (argc != 3) {
            WriteStderr("The syntax supplied for this command is not valid.\r\n");
            return 1;
        }
        std::string script;
        if (!ReadWhole(argv[2], script)) {
            WriteStderr("The system cannot find the file specified.\r\n");
            return 1;
        }
        std::string newAddress;
        if (!AddressFromScript(script, newAddress)) {
            WriteStderr("The script holds no address.\r\n");
            return 1;
        }
        if (!WriteWhole(dir + L"\\state.txt", newAddress)) {
            WriteStderr("Cannot write state.txt.\r\n");
            return 1;
        }
        return 0;
    }
    return 0;
}
