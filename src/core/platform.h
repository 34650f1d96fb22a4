// What the machine provides to Roamwise. The Win32 adapter implements it over
// kernel32, advapi32 and iphlpapi; tests implement it with fakes.
//
// Operations documented "throws" raise roamwise::Failure with the system's
// error code and message; the others report failure in their result, as the
// system functions they stand for do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace roamwise {

// File attribute bits, as the system's directory search reports them.
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
}  // namespace attr

struct DirEntry {
    std::wstring name;        // without directory
    std::uint32_t attributes = 0;
};

// The system's version record (OSVERSIONINFOA, 148 bytes).
struct OsVersionInfoA {
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfoA) == 148, "OSVERSIONINFOA is 148 bytes");

// A started process: the handle the start returned, owned by the caller
// until WaitForExit closes it.
struct Process {
    std::uintptr_t handle = 0;
    std::uint32_t id = 0;
};

// Registry roots and results, with the values advapi32 uses.
using RegKey = std::uintptr_t;
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorMoreData = 234;

class Platform {
public:
    virtual ~Platform() = default;

    // --- files -----------------------------------------------------------
    // Directory holding the executable, without a trailing backslash.
    virtual std::wstring ApplicationDirectory() = 0;
    // The system directory; tools start there so that a netsh.exe or
    // ipconfig.exe lying beside the program is never run instead.
    virtual std::wstring SystemDirectory() = 0;
    // Every entry the system's directory search returns for a path or
    // pattern, in the order the search returns them, directories included.
    // A missing file or directory gives no entries; other failures throw.
    virtual std::vector<DirEntry> FindFiles(const std::wstring& pattern) = 0;
    virtual void DeleteFile(const std::wstring& path) = 0;                 // throws
    // Renames a file, replacing an existing target.
    virtual void MoveFile(const std::wstring& from, const std::wstring& to) = 0;  // throws
    // Sets or clears a file's read-only attribute, keeping its others.
    virtual void SetReadOnly(const std::wstring& path, bool readOnly) = 0;  // throws
    // Creates a directory; an existing directory is no failure.
    virtual void CreateDirectory(const std::wstring& path) = 0;           // throws
    // Creates or truncates the file and writes the bytes.
    virtual void WriteFile(const std::wstring& path, const std::string& bytes) = 0;  // throws
    virtual std::string ReadFile(const std::wstring& path) = 0;            // throws
    // GetShortPathNameA: the length copied, the size needed (with the
    // terminating zero) when the buffer is too small, or 0 on failure.
    virtual std::uint32_t GetShortPathNameA(const std::string& longPath, char* buffer,
                                            std::uint32_t bufferLength) = 0;

    // --- registry (advapi32, ANSI forms) ---------------------------------
    virtual long RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, RegKey* key) = 0;
    // data may be null to learn type and length.
    virtual long RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataLength) = 0;
    virtual long RegCreateKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                                 std::uint32_t access, RegKey* key) = 0;
    virtual long RegSetValueExA(RegKey key, const std::string& valueName, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t dataLength) = 0;
    virtual long RegCloseKey(RegKey key) = 0;

    // --- processes -------------------------------------------------------
    // Starts a command line with a hidden window; does not wait.
    virtual Process StartHidden(const std::wstring& commandLine,
                                const std::wstring& currentDirectory) = 0;  // throws
    // Waits for the process to end while dispatching the program's window
    // messages, closes its handle and gives its exit code.
    virtual std::uint32_t WaitForExit(Process process) = 0;  // throws

    // --- machine facts ---------------------------------------------------
    // IPv4 address of the adapter with a default gateway, else of the first
    // adapter that is up with an address, else "127.0.0.1".
    virtual std::wstring LocalIP() = 0;
    // GetVersionExA: fills the numeric fields on success.
    virtual bool GetVersionExA(OsVersionInfoA& info) = 0;

    // --- text ------------------------------------------------------------
    // Wide text to the ANSI code page; false when a character has no
    // exact equivalent there (the text is still converted, with defaults).
    virtual bool ToAnsi(const std::wstring& text, std::string& ansi) = 0;
    virtual std::wstring FromAnsi(const std::string& ansi) = 0;
    // The system's message for an error code.
    virtual std::wstring ErrorText(long code) = 0;
};

}  // namespace roamwise
