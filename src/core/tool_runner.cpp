#include "tool_runner.h"

#include <optional>

#include "error_report.h"

namespace roamwise {

namespace {

constexpr long kPathNotFound = 3;

// cmd expands "%" in a batch line even inside quotes.
std::wstring EscapePercent(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        escaped += c;
        if (c == L'%') escaped += L'%';
    }
    return escaped;
}

}  // namespace

namespace {

// Enough bytes for kMaxLineLength characters in any OEM code page, UTF-8 included.
constexpr std::size_t kMaxLineBytes = PrintedLines::kMaxLineLength * 4;
const wchar_t kEllipsis[] = L"\u2026";

// Blanks and control characters: single bytes in every OEM code page.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Nothing the box would take for a line end or draw as a box.
bool IsControl(wchar_t c) { return (c < L' ' && c != L'\t') || (c >= 0x7F && c < 0xA0); }

}  // namespace

// Line ends and blanks are the same bytes in every OEM code page: no
// double-byte character holds one.
void PrintedLines::Printed(const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size && !moreLines_; ++i) {
        // CR, LF or both end a line; the empty line between CR and LF is dropped.
        if (bytes[i] == '\n' || bytes[i] == '\r') EndLine();
        else if (current_.size() < kMaxLineBytes) current_ += bytes[i];
        else currentCut_ = true;
    }
}

void PrintedLines::EndLine() {
    while (!current_.empty() && IsBlank(current_.back())) current_.pop_back();
    if (!current_.empty()) {
        if (lines_.size() == kMaxLines) {
            moreLines_ = true;
        } else {
            lines_.push_back(current_);
            cut_.push_back(currentCut_);
        }
    }
    current_.clear();
    currentCut_ = false;
}

std::wstring PrintedLines::Text(Platform& platform) const {
    PrintedLines all = *this;
    all.EndLine();  // a last line without its line end
    std::wstring text;
    for (std::size_t i = 0; i < all.lines_.size(); ++i) {
        std::wstring line = platform.FromOem(all.lines_[i]);
        for (auto& c : line)
            if (IsControl(c)) c = L' ';
        if (line.find_first_not_of(L" \t") == std::wstring::npos) continue;
        bool cut = all.cut_[i] || line.size() > kMaxLineLength;
        if (line.size() > kMaxLineLength) line.resize(kMaxLineLength);
        // Never half a surrogate pair.
        if (cut && !line.empty() && line.back() >= 0xD800 && line.back() <= 0xDBFF) line.pop_back();
        text += line + (cut ? kEllipsis : L"") + L"\r";
    }
    if (all.moreLines_) text += std::wstring(kEllipsis) + L"\r";
    return text;
}

const wchar_t kDumpCommand[] = L"netsh -c interface dump";

std::wstring ExitCodeText(std::int32_t exitCode) {
    return L"netsh ended with exit code " + std::to_wstring(exitCode) + L".";
}

ToolRunner::ToolRunner(Platform& platform, const std::wstring& programFolder)
    : platform_(platform), programFolder_(programFolder) {}

std::wstring ToolRunner::CommandLinePath(const std::wstring& path) {
    // Short forms normally hold none of these; a volume without 8.3 names
    // keeps them, and the line must still name the one file.
    if (path.find_first_of(L" \t&^%!();,=") == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

std::wstring ToolRunner::ShortFolder(const std::wstring& folder) {
    const std::wstring shortForm = platform_.ShortPath(folder);
    // Without it the line would name a file at the root of the drive.
    if (shortForm.empty()) throw Failure{kPathNotFound, platform_.ErrorText(kPathNotFound), L""};
    return shortForm;
}

std::wstring ToolRunner::RelativeToProgram(const std::wstring& folder) const {
    return folder.size() > programFolder_.size() ? folder.substr(programFolder_.size() + 1) + L"\\" : L"";
}

void ToolRunner::WriteRedirection(const std::wstring& command, const std::wstring& folder,
                                  const std::wstring& file) {
    const std::wstring target = ShortFolder(folder) + L"\\" + file;
    // cmd reads the batch file in the OEM code page. A folder that page
    // cannot spell is named through the batch file's own folder instead.
    std::string line;
    if (!platform_.ToOem(command + L" > " + EscapePercent(CommandLinePath(target)), line))
        platform_.ToOem(command + L" > \"%~dp0" + EscapePercent(RelativeToProgram(folder) + file) + L"\"", line);
    platform_.Write(programFolder_ + L"\\Settings.bat", line + "\r\n");
    batchTool_ = command.substr(0, command.find(L' '));
}

std::int32_t ToolRunner::RunBatch() {
    std::wstring batch = CommandLinePath(ShortFolder(programFolder_) + L"\\Settings.bat");
    // cmd /c takes off one outer pair of quotes.
    if (batch[0] == L'"') batch = L"\"" + batch + L"\"";
    // /d: no AutoRun command from the registry runs first, with our rights,
    // changing the code page or the folder the line relies on.
    return StartAndWait(L"cmd.exe", L"cmd.exe /d /c " + batch, nullptr, batchTool_);
}

std::int32_t ToolRunner::DumpSettings(const std::wstring& folder, const std::wstring& file) {
    WriteRedirection(kDumpCommand, folder, file);
    return RunBatch();
}

std::int32_t ToolRunner::RunNetshScript(const std::wstring& folder, const std::wstring& file, ToolOutput& printed) {
    return StartAndWait(L"netsh.exe", L"netsh -f " + CommandLinePath(ShortFolder(folder) + L"\\" + file), &printed,
                        L"netsh");
}

std::int32_t ToolRunner::StartAndWait(const wchar_t* tool, const std::wstring& commandLine, ToolOutput* printed,
                                      const std::wstring& running) {
    const std::wstring system = platform_.SystemFolder();
    const std::wstring program = system + L"\\" + tool;
    // Whatever fails names the program: "file not found" alone leaves the user guessing which.
    const auto named = [&](const wchar_t* where) {
        Failure failure = CurrentFailure();
        failure.description += L"\r" + program;
        if (failure.where.empty()) failure.where = where;
        return failure;
    };
    Process process;
    try {
        process = platform_.Start(program, commandLine, system, printed);
    } catch (...) {
        throw named(L"");
    }
    running_ = running;
    std::uint32_t exitCode = 0;
    std::optional<Failure> failure;
    try {
        exitCode = platform_.WaitForExit(process);
    } catch (...) {
        failure = named(L"fWait");
    }
    running_.clear();
    if (failure) throw *failure;
    return static_cast<std::int32_t>(exitCode);
}

}  // namespace roamwise
