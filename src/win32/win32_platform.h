// Roamwise's machine access over kernel32, advapi32 and iphlpapi.
//
// This header deliberately does not include <windows.h>: its DeleteFile,
// MoveFile and CreateDirectory macros would rename the interface's methods
// in the including file. Use the object through roamwise::Platform&.
#pragma once

#include "platform.h"

namespace roamwise {
namespace win32 {

class Win32Platform : public Platform {
public:
    std::wstring ApplicationDirectory() override;
    std::wstring SystemDirectory() override;
    std::vector<DirEntry> FindFiles(const std::wstring& pattern) override;
    void DeleteFile(const std::wstring& path) override;
    void MoveFile(const std::wstring& from, const std::wstring& to) override;
    void SetReadOnly(const std::wstring& path, bool readOnly) override;
    void CreateDirectory(const std::wstring& path) override;
    void WriteFile(const std::wstring& path, const std::string& bytes) override;
    std::string ReadFile(const std::wstring& path) override;
    std::uint32_t GetShortPathNameA(const std::string& longPath, char* buffer,
                                    std::uint32_t bufferLength) override;

    long RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                       std::uint32_t access, RegKey* key) override;
    long RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type,
                          std::uint8_t* data, std::uint32_t* dataLength) override;
    long RegCreateKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* key) override;
    long RegSetValueExA(RegKey key, const std::string& valueName, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t dataLength) override;
    long RegCloseKey(RegKey key) override;

    Process StartHidden(const std::wstring& commandLine,
                        const std::wstring& currentDirectory) override;
    std::uint32_t WaitForExit(Process process) override;

    std::wstring LocalIP() override;
    bool GetVersionExA(OsVersionInfoA& info) override;

    bool ToAnsi(const std::wstring& text, std::string& ansi) override;
    std::wstring FromAnsi(const std::string& ansi) override;
    std::wstring ErrorText(long code) override;

private:
    [[noreturn]] void ThrowLastError();
    [[noreturn]] void ThrowError(unsigned long code);
};

}  // namespace win32
}  // namespace roamwise
