// Starts the system's own tools (netsh, and ipconfig through cmd and the
// one-line batch file Settings.bat), hidden, and waits for them while the
// windows stay live. Tools are started by full path from the system folder,
// so nothing lying beside the program ever runs in their place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform.h"

namespace roamwise {

// The first lines a tool prints, for a box: blank lines dropped, at most
// kMaxLines of at most kMaxLineLength characters, "\u2026" where more was
// cut. Keeps no more than it shows, however much the tool prints.
class PrintedLines : public ToolOutput {
public:
    static constexpr std::size_t kMaxLines = 10;
    static constexpr std::size_t kMaxLineLength = 200;

    void Printed(const char* bytes, std::size_t size) override;
    // The lines, decoded from the OEM code page, each ended by "\r".
    std::wstring Text(Platform& platform) const;

private:
    void EndLine();

    std::vector<std::string> lines_;  // in the OEM code page, without their line ends
    std::vector<bool> cut_;
    std::string current_;
    bool currentCut_ = false;
    bool moreLines_ = false;
};

// What dumps the network settings as a netsh script.
extern const wchar_t kDumpCommand[];

// "netsh ended with exit code 1."
std::wstring ExitCodeText(std::int32_t exitCode);

class ToolRunner {
public:
    ToolRunner(Platform& platform, const std::wstring& programFolder);

    // Settings.bat gets the one line "command > folder\file", the folder in
    // its short form. Throws when the folder has no short form.
    void WriteRedirection(const std::wstring& command, const std::wstring& folder, const std::wstring& file);
    // Runs Settings.bat through the system's cmd; gives the exit code. A
    // tool that cannot start or be waited for throws, its path named.
    std::int32_t RunBatch();
    // Dumps the settings in force into folder\file, through Settings.bat;
    // gives the exit code.
    std::int32_t DumpSettings(const std::wstring& folder, const std::wstring& file);
    // Hands folder\file to netsh as a script; gives the exit code. What
    // netsh prints goes to printed.
    std::int32_t RunNetshScript(const std::wstring& folder, const std::wstring& file, ToolOutput& printed);

    // A path as it goes into a command line: quoted only when it holds a
    // blank or a character the command interpreter treats specially.
    static std::wstring CommandLinePath(const std::wstring& path);

    // The tool being waited for ("netsh", "ipconfig"), or empty.
    const std::wstring& Running() const { return running_; }

private:
    std::wstring ShortFolder(const std::wstring& folder);
    std::wstring RelativeToProgram(const std::wstring& folder) const;
    std::int32_t StartAndWait(const wchar_t* tool, const std::wstring& commandLine, ToolOutput* printed,
                              const std::wstring& running);

    Platform& platform_;
    std::wstring programFolder_;
    std::wstring batchTool_;  // what Settings.bat runs
    std::wstring running_;
};

}  // namespace roamwise
