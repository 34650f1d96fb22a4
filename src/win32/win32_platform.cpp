#include <windows.h>

// Platform's methods carry the plain names that <windows.h> maps to its W
// functions; this file calls the W functions by their own names.
#undef DeleteFile
#undef MoveFile
#undef CreateDirectory

#include "win32_platform.h"

#include <algorithm>
#include <vector>

#include "failure.h"
#include "local_address.h"
#include "message_pump.h"

namespace roamwise {
namespace win32 {

namespace {

// Closes a handle when the operation that owns it ends, however it ends.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

HKEY RootKey(std::uint32_t root) {
    // The predefined roots are sign-extended LONGs (0x80000002 is
    // 0xFFFFFFFF80000002 in a 64-bit build).
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

HKEY OpenedKey(RegKey key) { return reinterpret_cast<HKEY>(key); }

RegKey ToRegKey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// Largest piece handed to one ReadFile or WriteFile call.
constexpr DWORD kChunk = 1u << 20;

}  // namespace

void Win32Platform::ThrowError(unsigned long code) {
    throw Failure{static_cast<long>(code), ErrorText(static_cast<long>(code))};
}

void Win32Platform::ThrowLastError() { ThrowError(GetLastError()); }

std::wstring Win32Platform::ApplicationDirectory() {
    // The module path has no documented limit; a full buffer means it was cut.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    std::wstring path;
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) ThrowLastError();
        if (length < buffer.size()) {
            path.assign(buffer.data(), length);
            break;
        }
        if (buffer.size() > 0x10000) ThrowError(ERROR_INSUFFICIENT_BUFFER);
        buffer.resize(buffer.size() * 2);
    }
    std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

std::wstring Win32Platform::SystemDirectory() {
    UINT needed = GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) ThrowLastError();
    std::vector<wchar_t> buffer(needed + 1);
    UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size()) ThrowLastError();
    return std::wstring(buffer.data(), length);
}

std::vector<DirEntry> Win32Platform::FindFiles(const std::wstring& pattern) {
    std::vector<DirEntry> entries;
    WIN32_FIND_DATAW data;
    FindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (search.get() == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return entries;
        // A file standing where the pattern's directory should be holds no
        // entries either (Windows says ERROR_DIRECTORY, Wine ERROR_INVALID_NAME).
        if (error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME) {
            std::wstring::size_type slash = pattern.find_last_of(L"\\/");
            if (slash != std::wstring::npos) {
                DWORD attributes = GetFileAttributesW(pattern.substr(0, slash).c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return entries;
            }
        }
        ThrowError(error);
    }
    do {
        entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileW(search.get(), &data));
    DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowError(error);
    return entries;
}

void Win32Platform::DeleteFile(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) ThrowLastError();
}

void Win32Platform::MoveFile(const std::wstring& from, const std::wstring& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) ThrowLastError();
}

void Win32Platform::SetReadOnly(const std::wstring& path, bool readOnly) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError();
    DWORD wanted = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    if (wanted == attributes) return;
    // SetFileAttributes takes FILE_ATTRIBUTE_NORMAL only on its own.
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesW(path.c_str(), wanted)) ThrowLastError();
}

void Win32Platform::CreateDirectory(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    }
    ThrowError(error);  // a file of that name stays ERROR_ALREADY_EXISTS
}

void Win32Platform::WriteFile(const std::wstring& path, const std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) ThrowLastError();
    std::string::size_type done = 0;
    while (done < bytes.size()) {
        DWORD piece = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr)) ThrowLastError();
        if (written == 0) ThrowError(ERROR_WRITE_FAULT);
        done += written;
    }
}

std::string Win32Platform::ReadFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) ThrowLastError();
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            ThrowLastError();
        if (got == 0) break;
        bytes.append(buffer.data(), got);
    }
    return bytes;
}

std::uint32_t Win32Platform::GetShortPathNameA(const std::string& longPath, char* buffer,
                                               std::uint32_t bufferLength) {
    return ::GetShortPathNameA(longPath.c_str(), buffer, bufferLength);
}

long Win32Platform::RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                                  std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    LONG result = ::RegOpenKeyExA(RootKey(root), subKey.c_str(), options, access, &opened);
    if (key != nullptr) *key = result == ERROR_SUCCESS ? ToRegKey(opened) : 0;
    return result;
}

long Win32Platform::RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type,
                                     std::uint8_t* data, std::uint32_t* dataLength) {
    DWORD valueType = type != nullptr ? *type : 0;
    DWORD length = dataLength != nullptr ? *dataLength : 0;
    LONG result = ::RegQueryValueExA(OpenedKey(key), valueName.c_str(), nullptr,
                                     type != nullptr ? &valueType : nullptr, data,
                                     dataLength != nullptr ? &length : nullptr);
    if (type != nullptr) *type = valueType;
    if (dataLength != nullptr) *dataLength = length;
    return result;
}

long Win32Platform::RegCreateKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                                    std::uint32_t access, RegKey* key) {
    HKEY created = nullptr;
    LONG result = ::RegCreateKeyExA(RootKey(root), subKey.c_str(), 0, nullptr, options, access, nullptr,
                                    &created, nullptr);
    if (key != nullptr) *key = result == ERROR_SUCCESS ? ToRegKey(created) : 0;
    return result;
}

long Win32Platform::RegSetValueExA(RegKey key, const std::string& valueName, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t dataLength) {
    return ::RegSetValueExA(OpenedKey(key), valueName.c_str(), 0, type, data, dataLength);
}

long Win32Platform::RegCloseKey(RegKey key) { return ::RegCloseKey(OpenedKey(key)); }

Process Win32Platform::StartHidden(const std::wstring& commandLine, const std::wstring& currentDirectory) {
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    // A console of its own, hidden, whatever the caller has: cmd needs a
    // console to run a batch file, and the tool must not write into ours.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
        ThrowLastError();
    CloseHandle(info.hThread);
    return Process{reinterpret_cast<std::uintptr_t>(info.hProcess), info.dwProcessId};
}

std::uint32_t Win32Platform::WaitForExit(Process process) {
    HANDLE handle = reinterpret_cast<HANDLE>(process.handle);
    bool quit = false;
    int quitCode = 0;
    auto pump = [&] {
        int code = 0;
        if (PumpPending(&code)) {
            quit = true;
            quitCode = code;
        }
    };
    // MsgWaitForMultipleObjects wakes only for messages that arrive after
    // the queue was last looked at; take what is already there first.
    pump();
    DWORD failure = ERROR_SUCCESS;
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) break;
        if (woken == WAIT_OBJECT_0 + 1) {
            pump();
            continue;
        }
        failure = GetLastError();
        if (failure == ERROR_SUCCESS) failure = ERROR_INVALID_HANDLE;
        break;
    }
    // Waiting on the handle, not polling for STILL_ACTIVE, lets a tool that
    // really ends with 259 report it.
    DWORD exitCode = 0;
    if (failure == ERROR_SUCCESS && !GetExitCodeProcess(handle, &exitCode)) failure = GetLastError();
    CloseHandle(handle);
    // A quit that came during the wait belongs to the loop that waits for it.
    if (quit) PostQuitMessage(quitCode);
    if (failure != ERROR_SUCCESS) ThrowError(failure);
    return exitCode;
}

std::wstring Win32Platform::LocalIP() { return win32::LocalIP(); }

bool Win32Platform::GetVersionExA(OsVersionInfoA& info) {
    // The core's record is laid out as OSVERSIONINFOA, byte for byte.
    OSVERSIONINFOA record;
    static_assert(sizeof record == sizeof info, "OSVERSIONINFOA layout");
    CopyMemory(&record, &info, sizeof record);
    const BOOL ok = ::GetVersionExA(&record);
    CopyMemory(&info, &record, sizeof info);
    return ok != FALSE;
}

bool Win32Platform::ToAnsi(const std::wstring& text, std::string& ansi) {
    ansi.clear();
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                   &usedDefault);
    if (size > 0) {
        ansi.resize(size);
        usedDefault = FALSE;
        size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, &ansi[0], size, nullptr,
                                   &usedDefault);
        if (size <= 0) {
            ansi.clear();
            return false;
        }
        ansi.resize(size);
        return usedDefault == FALSE;
    }
    // A UTF-8 code page takes neither the flag nor the default-character
    // report, and loses nothing.
    if (GetLastError() != ERROR_INVALID_FLAGS && GetLastError() != ERROR_INVALID_PARAMETER) return false;
    size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    ansi.resize(size);
    size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, &ansi[0], size, nullptr, nullptr);
    ansi.resize(size > 0 ? size : 0);
    return size > 0;
}

std::wstring Win32Platform::FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    const int length = static_cast<int>(ansi.size());
    int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring text(size, L'\0');
    size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &text[0], size);
    text.resize(size > 0 ? size : 0);
    return text;
}

std::wstring Win32Platform::ErrorText(long code) {
    wchar_t* message = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&message), 0,
                                  nullptr);
    std::wstring text;
    if (length != 0 && message != nullptr) text.assign(message, length);
    if (message != nullptr) LocalFree(message);
    std::wstring::size_type end = text.find_last_not_of(L" \t\r\n");
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    return text.empty() ? std::wstring(L"Unknown error") : text;
}

}  // namespace win32
}  // namespace roamwise
