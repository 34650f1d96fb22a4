#include "win32_platform.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

#include <shlobj.h>

#include "com_objects.h"
#include "error_report.h"
#include "local_address.h"
#include "message_pump.h"
#include "output_pipe.h"
#include "system_library.h"

namespace roamwise {
namespace win32 {

namespace {

// The program's settings key under HKEY_LOCAL_MACHINE. Writing asks for
// query value, set value, create subkey, enumerate subkeys, notify and
// create link; reading asks only to query, all a standard user may do there.
constexpr char kSettingsKey[] = "SOFTWARE\\Quillfern\\Roamwise\\Settings";
constexpr REGSAM kKeyAccess = 0x3F;

// Largest piece handed to one WriteFile call.
constexpr DWORD kChunk = 1u << 20;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file standing where the pattern's folder should be (Windows says
// ERROR_DIRECTORY, Wine ERROR_INVALID_NAME).
bool FolderIsAFile(const std::wstring& pattern) {
    const std::wstring::size_type slash = pattern.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return false;
    const std::wstring folder = pattern.substr(0, slash);
    return GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES && !IsFolder(folder);
}

bool NothingThere(DWORD error, const std::wstring& pattern) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES) return true;
    return (error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME) && FolderIsAFile(pattern);
}

FileEntry ToEntry(const WIN32_FIND_DATAW& data) {
    const DWORD a = data.dwFileAttributes;
    return {data.cFileName, (a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_READONLY) != 0,
            (a & FILE_ATTRIBUTE_HIDDEN) != 0, (a & FILE_ATTRIBUTE_SYSTEM) != 0};
}

std::wstring FromCodePage(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring text(size, L'\0');
    size = MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], size);
    text.resize(size > 0 ? size : 0);
    return text;
}

// With flags 0, what a UTF-8 code page takes, no lost character is reported.
bool ConvertWith(UINT codePage, DWORD flags, const std::wstring& text, std::string& bytes) {
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* report = flags != 0 ? &usedDefault : nullptr;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, report);
    if (size <= 0) return false;
    bytes.resize(size);
    const int done = WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0], size, nullptr, report);
    bytes.resize(done > 0 ? done : 0);
    return done > 0 && !usedDefault;
}

bool ToCodePage(UINT codePage, const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    if (ConvertWith(codePage, WC_NO_BEST_FIT_CHARS, text, bytes)) return true;
    const DWORD error = GetLastError();
    if (!bytes.empty() || (error != ERROR_INVALID_FLAGS && error != ERROR_INVALID_PARAMETER)) return false;
    // A UTF-8 code page refuses the flag and the report, and loses nothing.
    return ConvertWith(codePage, 0, text, bytes);
}

std::string Ansi(const std::wstring& text) {
    std::string bytes;
    ToCodePage(CP_ACP, text, bytes);
    return bytes;
}

// Runs a settings operation; a failure that is not a registry result (the
// registry's own are silent) names the operation it came from.
template <typename Body>
auto Attributed(const wchar_t* where, Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        Failure failure = CurrentFailure();
        failure.where = where;
        throw failure;
    }
}

// REG_SZ: the data less one terminating zero; none stored reads whole.
std::optional<std::wstring> TextValue(HKEY key, const std::string& name, DWORD length) {
    std::string data(length, '\0');
    DWORD got = length;
    DWORD type = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &got) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // The first answer may overstate the converted length; the second is exact.
    data.resize(std::min<DWORD>(got, length));
    if (!data.empty() && data.back() == '\0') data.pop_back();
    if (data.empty()) return std::nullopt;
    return FromCodePage(CP_ACP, data);
}

// REG_DWORD: its decimal text, signed.
std::optional<std::wstring> NumberValue(HKEY key, const std::string& name, DWORD length) {
    std::uint32_t number = 0;
    DWORD got = length;
    DWORD type = 0;
    if (length > sizeof number ||
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &got) != ERROR_SUCCESS)
        return std::nullopt;
    return std::to_wstring(static_cast<std::int32_t>(number));
}

std::optional<std::wstring> ReadValue(const std::string& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const RegistryKey key(opened);
    DWORD type = 0;
    DWORD length = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &length) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_SZ) return TextValue(key.get(), name, length);
    if (type == REG_DWORD) return NumberValue(key.get(), name, length);
    return std::nullopt;
}

void WriteValue(const std::string& name, const std::string& text) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        return;
    const RegistryKey key(created);
    RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

}  // namespace

void Win32Platform::ThrowError(DWORD error) {
    throw Failure{static_cast<long>(error), ErrorText(static_cast<long>(error)), {}};
}

std::wstring Win32Platform::ProgramFolder() {
    const std::wstring path = ModulePath();
    return path.substr(0, std::min(path.size(), path.find_last_of(L"\\/")));
}

std::wstring Win32Platform::ModulePath() {
    // The module path has no documented limit; a full buffer means it was cut.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) ThrowLastError();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() > 0x10000) ThrowError(ERROR_INSUFFICIENT_BUFFER);
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<FileEntry> Win32Platform::List(const std::wstring& pattern) {
    std::vector<FileEntry> entries;
    WIN32_FIND_DATAW data;
    const FindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (!search) {
        const DWORD error = GetLastError();
        if (NothingThere(error, pattern)) return entries;
        ThrowError(error);
    }
    do {
        entries.push_back(ToEntry(data));
    } while (FindNextFileW(search.get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowError(error);
    return entries;
}

void Win32Platform::Delete(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) ThrowLastError();
}

void Win32Platform::Move(const std::wstring& from, const std::wstring& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) ThrowLastError();
}

void Win32Platform::Rename(const std::wstring& from, const std::wstring& to) {
    if (!MoveFileW(from.c_str(), to.c_str())) ThrowLastError();  // an existing target is an error
}

// As started, the path may be a short (8.3) one or a drive's other name.
std::wstring Win32Platform::ProgramFile() {
    const std::wstring path = ModulePath();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) ThrowLastError();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    ThrowError(ERROR_INSUFFICIENT_BUFFER);
}

// shell32 is loaded from the system folder only when a shortcut is made.
std::wstring Win32Platform::DesktopFolder() {
    static const Library shell32 = LoadSystemLibrary(L"shell32.dll");
    const auto folderPath = ExportOf<decltype(&SHGetFolderPathW)>(shell32.get(), "SHGetFolderPathW");
    if (!folderPath) ThrowError(ERROR_PROC_NOT_FOUND);
    wchar_t path[MAX_PATH] = {};
    // Made when missing; where it cannot be, its path still names it in the message.
    if (SUCCEEDED(folderPath(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return path;
    ThrowIfFailed(folderPath(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path));
    return path;
}

void Win32Platform::MakeShortcut(const Shortcut& shortcut) {
    ComPtr<IShellLinkW> link;
    ThrowIfFailed(CreateComObject(CLSID_ShellLink, IID_IShellLinkW, link.Receive()));
    ThrowIfFailed(link->SetPath(shortcut.target.c_str()));
    ThrowIfFailed(link->SetArguments(shortcut.arguments.c_str()));
    ThrowIfFailed(link->SetWorkingDirectory(shortcut.folder.c_str()));
    ThrowIfFailed(link->SetIconLocation(shortcut.icon.c_str(), 0));
    ComPtr<IPersistFile> file;
    ThrowIfFailed(link->QueryInterface(IID_IPersistFile, file.Receive()));
    ThrowIfFailed(file->Save(shortcut.path.c_str(), TRUE));
}

void Win32Platform::ThrowIfFailed(HRESULT result) {
    // A Win32 error wrapped in an HRESULT is reported as the error itself.
    if (FAILED(result))
        ThrowError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result));
}

void Win32Platform::SetReadOnly(const std::wstring& path, bool readOnly) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError();
    DWORD wanted = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    if (wanted == attributes) return;
    // SetFileAttributes takes FILE_ATTRIBUTE_NORMAL only on its own.
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesW(path.c_str(), wanted)) ThrowLastError();
}

void Win32Platform::CreateFolder(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && IsFolder(path)) return;
    ThrowError(error);  // a file of that name stays ERROR_ALREADY_EXISTS
}

void Win32Platform::Write(const std::wstring& path, const std::string& bytes) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    std::string::size_type done = 0;
    while (done < bytes.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr)) ThrowLastError();
        if (written == 0) ThrowError(ERROR_WRITE_FAULT);
        done += written;
    }
}

std::string Win32Platform::Read(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) ThrowLastError();
        if (got == 0) return bytes;
        bytes.append(buffer.data(), got);
    }
}

std::wstring Win32Platform::ShortPath(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);  // the size needed, with the zero
    }
    return std::wstring();
}

std::optional<std::wstring> Win32Platform::ReadSetting(const std::wstring& name) {
    return Attributed(L"GetKeyValue", [&] { return ReadValue(Ansi(name)); });
}

void Win32Platform::WriteSetting(const std::wstring& name, const std::wstring& value) {
    Attributed(L"SetKeyValue", [&] { WriteValue(Ansi(name), Ansi(value)); });
}

std::wstring Win32Platform::SystemFolder() {
    const std::wstring folder = SystemFolderPath();
    if (folder.empty()) ThrowLastError();
    return folder;
}

Process Win32Platform::Start(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& currentFolder, ToolOutput* printed) {
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    // Where the tool's words are wanted, it prints into a pipe instead (none
    // made: they are lost, and the tool runs all the same).
    std::unique_ptr<OutputPipe> pipe = printed ? OutputPipe::Open(*printed) : nullptr;
    if (pipe) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = pipe->ToolInput();
        startup.hStdOutput = startup.hStdError = pipe->ToolEnd();
    }
    PROCESS_INFORMATION started = {};
    // The program by its full path: nothing is searched for. A console
    // without a window: cmd runs batch files and redirects in it, the tools
    // it starts share it, and none writes into ours.
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, pipe ? TRUE : FALSE, CREATE_NO_WINDOW,
                        nullptr, currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started))
        ThrowLastError();
    const KernelHandle thread(started.hThread);
    if (pipe) pipe->Started();
    return Process{reinterpret_cast<std::uintptr_t>(started.hProcess), reinterpret_cast<std::uintptr_t>(pipe.release())};
}

std::uint32_t Win32Platform::WaitForExit(Process process) {
    const KernelHandle tool(reinterpret_cast<HANDLE>(process.handle));
    const std::unique_ptr<OutputPipe> pipe(reinterpret_cast<OutputPipe*>(process.output));
    DWORD failure = ERROR_SUCCESS;
    for (;;) {  // what the tool prints is taken as it comes, so it never waits for room
        const HANDLE objects[2] = {tool.get(), pipe ? pipe->Ready() : nullptr};
        DWORD signalled = 0;
        failure = WaitPumping(objects, objects[1] ? 2 : 1, signalled);
        if (failure != ERROR_SUCCESS || signalled == 0) break;
        pipe->Collect();
    }
    if (pipe && failure == ERROR_SUCCESS) pipe->Finish();
    // Waiting on the handle, not polling for STILL_ACTIVE, lets a tool that
    // really ends with 259 report it.
    DWORD exitCode = 0;
    if (failure == ERROR_SUCCESS && !GetExitCodeProcess(tool.get(), &exitCode)) failure = GetLastError();
    if (failure != ERROR_SUCCESS) ThrowError(failure);
    return exitCode;
}

std::wstring Win32Platform::ActiveAddress() { return win32::ActiveAddress(); }

// GetTickCount (Windows 2000 has no 64-bit count) wraps after 49.7 days: each wrap seen is added on.
std::uint64_t Win32Platform::Milliseconds() {
    static DWORD last = 0;
    static std::uint64_t wraps = 0;
    const DWORD now = GetTickCount();
    if (now < last) wraps += 1ull << 32;
    last = now;
    return wraps + now;
}

std::wstring Win32Platform::LocalTime() {
    SYSTEMTIME t = {};
    GetLocalTime(&t);
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

bool Win32Platform::RemoteSession() { return GetSystemMetrics(SM_REMOTESESSION) != 0; }

WindowsVersion Win32Platform::Version() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return WindowsVersion{};
    WindowsVersion version;
    version.platform = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
    return version;
}

bool Win32Platform::SameFileName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    std::wstring x = a, y = b;
    if (!x.empty()) {
        CharUpperBuffW(&x[0], static_cast<DWORD>(x.size()));
        CharUpperBuffW(&y[0], static_cast<DWORD>(y.size()));
    }
    return x == y;
}

bool Win32Platform::ToAnsi(const std::wstring& text, std::string& bytes) { return ToCodePage(CP_ACP, text, bytes); }

bool Win32Platform::ToOem(const std::wstring& text, std::string& bytes) { return ToCodePage(CP_OEMCP, text, bytes); }

std::wstring Win32Platform::FromOem(const std::string& bytes) { return FromCodePage(CP_OEMCP, bytes); }

std::wstring Win32Platform::ErrorText(long number) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(number), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    const LocalMemory owned(message);
    std::wstring text = message ? std::wstring(message, length) : std::wstring();
    text.erase(text.find_last_not_of(L" \t\r\n") + 1);  // npos + 1: all blank
    return text.empty() ? std::wstring(L"Unknown error") : text;
}

}  // namespace win32
}  // namespace roamwise
