// Roamwise's machine access over kernel32 and advapi32 (iphlpapi is loaded
// from the system folder when the address is asked for).
#pragma once

#include <windows.h>

#include "handles.h"
#include "platform.h"

namespace roamwise {
namespace win32 {

class Win32Platform : public Platform {
public:
    // The window a second copy started from this folder brings to the
    // front and hands its loads to; set before ClaimProgramFolder (none
    // for a start from the command line).
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    std::wstring ProgramFolder() override;
    std::wstring ProgramFile() override;
    std::wstring DesktopFolder() override;
    void MakeShortcut(const Shortcut& shortcut) override;
    std::vector<FileEntry> List(const std::wstring& pattern) override;
    void Delete(const std::wstring& path) override;
    void Move(const std::wstring& from, const std::wstring& to) override;
    void Rename(const std::wstring& from, const std::wstring& to) override;
    void SetReadOnly(const std::wstring& path, bool readOnly) override;
    void CreateFolder(const std::wstring& path) override;
    void Write(const std::wstring& path, const std::string& bytes) override;
    std::string Read(const std::wstring& path) override;
    std::wstring ShortPath(const std::wstring& path) override;

    std::optional<std::wstring> ReadSetting(const std::wstring& name) override;
    void WriteSetting(const std::wstring& name, const std::wstring& value) override;

    std::wstring SystemFolder() override;
    Process Start(const std::wstring& program, const std::wstring& commandLine, const std::wstring& currentFolder,
                  ToolOutput* printed) override;
    std::uint32_t WaitForExit(Process process) override;

    std::wstring ActiveAddress() override;
    WindowsVersion Version() override;
    FolderClaim ClaimProgramFolder() override;
    HandOverAnswer HandOver(const HandedRequest& request) override;

    std::uint64_t Milliseconds() override;
    std::wstring LocalTime() override;
    bool RemoteSession() override;
    bool OpenTrial() override;
    void CloseTrial() override;
    bool WaitForKeep(std::uint32_t ms) override;
    bool KeepTrial() override;

    bool ToAnsi(const std::wstring& text, std::string& bytes) override;
    bool ToOem(const std::wstring& text, std::string& bytes) override;
    std::wstring FromOem(const std::string& bytes) override;
    bool SameFileName(const std::wstring& a, const std::wstring& b) override;
    std::wstring ErrorText(long number) override;

private:
    [[noreturn]] void ThrowError(DWORD error);
    [[noreturn]] void ThrowLastError() { ThrowError(GetLastError()); }
    void ThrowIfFailed(HRESULT result);
    std::wstring ModulePath();

    HWND mainWindow_ = nullptr;
    HWND runningCopy_ = nullptr;  // the window of the copy found running here
    // Held while this copy runs: the folder's claim in this session and in
    // all of them, seen by later copies.
    KernelHandle folderClaim_;
    KernelHandle globalClaim_;
    KernelHandle keep_;  // an open trial's signal, set by "/keep"
};

// Names for kernel objects, the same for every spelling of the folder.
std::wstring FolderKey(const std::wstring& folder);

// The name of the claim every session sees, for a program folder however spelled.
std::wstring GlobalClaimName(const std::wstring& folder);

}  // namespace win32
}  // namespace roamwise
