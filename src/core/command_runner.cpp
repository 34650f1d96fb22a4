#include "command_runner.h"

namespace roamwise {

const wchar_t kBatchFileName[] = L"Settings.bat";

namespace {
constexpr std::uint32_t kShortPathBuffer = 1024;
// Exit code given when the wait itself failed: never taken for success.
constexpr std::int32_t kWaitFailed = -1;
}  // namespace

std::wstring CommandRunner::GetShortFilename(const std::wstring& sLongFilename) {
    std::wstring result;
    report_.Trap(L"GetShortFilename", [&] {
        std::string path;
        platform_.ToAnsi(sLongFilename, path);
        std::string buffer(kShortPathBuffer, ' ');
        std::uint32_t r = platform_.GetShortPathNameA(path, &buffer[0], kShortPathBuffer);
        if (r > kShortPathBuffer) {
            buffer.assign(r + 1, ' ');
            r = platform_.GetShortPathNameA(path, &buffer[0], static_cast<std::uint32_t>(buffer.size()));
        }
        if (r > 0 && r < buffer.size()) result = platform_.FromAnsi(buffer.substr(0, r));
    });
    return result;
}

std::wstring CommandRunner::CommandLinePath(const std::wstring& path) {
    // Short forms normally hold none of these; a volume without 8.3 names
    // keeps them, and the line must still name the one file.
    if (path.find_first_of(L" \t&^%!();,=") == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

void CommandRunner::WriteBatchFile(const std::wstring& directory, const std::wstring& commandLine) {
    std::string line;
    platform_.ToAnsi(commandLine, line);
    platform_.WriteFile(directory + L"\\" + kBatchFileName, line + "\r\n");
}

std::int32_t CommandRunner::RunBatchFile() {
    const std::wstring appDir = platform_.ApplicationDirectory();
    std::wstring dir = GetShortFilename(appDir);
    if (dir.empty()) dir = appDir;  // never start a Settings.bat from the drive's root
    return StartAndWait(CommandLinePath(dir + L"\\" + kBatchFileName));
}

std::int32_t CommandRunner::RunDirect(const std::wstring& commandLine) { return StartAndWait(commandLine); }

std::int32_t CommandRunner::StartAndWait(const std::wstring& text) {
    // The system directory as the current one: a netsh.exe or ipconfig.exe
    // beside the program must never be run in place of the system's.
    const Process process = platform_.StartHidden(text, platform_.SystemDirectory());
    return fWait(process);
}

std::int32_t CommandRunner::fWait(Process process) {
    std::int32_t exitCode = kWaitFailed;
    report_.Trap(L"fWait", [&] { exitCode = static_cast<std::int32_t>(platform_.WaitForExit(process)); });
    return exitCode;
}

}  // namespace roamwise
