// Starts the system's own tools (netsh, and ipconfig through cmd and the
// one-line batch file Settings.bat), hidden, and waits for them while the
// windows stay live. Tools are started by full path from the system folder,
// so nothing lying beside the program ever runs in their place.
#pragma once

#include <cstdint>
#include <string>

#include "error_report.h"
#include "platform.h"

namespace roamwise {

class ToolRunner {
public:
    ToolRunner(Platform& platform, ErrorReport& report, const std::wstring& programFolder);

    // Settings.bat gets the one line "command > folder\file", the folder in
    // its short form. Throws when the folder has no short form.
    void WriteRedirection(const std::wstring& command, const std::wstring& folder, const std::wstring& file);
    // Runs Settings.bat through the system's cmd; gives the exit code.
    std::int32_t RunBatch();
    // Hands folder\file to netsh as a script; gives the exit code.
    std::int32_t RunNetshScript(const std::wstring& folder, const std::wstring& file);

    // A path as it goes into a command line: quoted only when it holds a
    // blank or a character the command interpreter treats specially.
    static std::wstring CommandLinePath(const std::wstring& path);

private:
    std::wstring ShortFolder(const std::wstring& folder);
    std::wstring RelativeToProgram(const std::wstring& folder) const;
    std::int32_t StartAndWait(const wchar_t* tool, const std::wstring& commandLine);

    Platform& platform_;
    ErrorReport& report_;
    std::wstring programFolder_;
};

}  // namespace roamwise
