// Starts the system tools with a hidden window, directly or through the
// one-line batch file Settings.bat, and waits for them.
#pragma once

#include <cstdint>
#include <string>

#include "error_report.h"
#include "platform.h"

namespace roamwise {

extern const wchar_t kBatchFileName[];  // "Settings.bat"

class CommandRunner {
public:
    CommandRunner(Platform& platform, ErrorReport& report) : platform_(platform), report_(report) {}

    // The short (8.3) form of a path, or the empty text when there is none.
    std::wstring GetShortFilename(const std::wstring& sLongFilename);

    // Replaces directory\Settings.bat with the one line, in the ANSI code page.
    void WriteBatchFile(const std::wstring& directory, const std::wstring& commandLine);
    // Starts Settings.bat from the short application directory and waits.
    std::int32_t RunBatchFile();
    // Starts the command line itself and waits.
    std::int32_t RunDirect(const std::wstring& commandLine);

    // Waits for the started process and gives its exit code.
    std::int32_t fWait(Process process);

    // A path as it goes into a command line: quoted only when it holds a
    // blank or a character the command interpreter treats specially.
    static std::wstring CommandLinePath(const std::wstring& path);

private:
    std::int32_t StartAndWait(const std::wstring& text);

    Platform& platform_;
    ErrorReport& report_;
};

}  // namespace roamwise
