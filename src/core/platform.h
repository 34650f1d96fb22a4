// What the machine provides to Roamwise, in Roamwise's own terms. The Win32
// adapter implements it over kernel32, advapi32 and iphlpapi; the core
// tests implement it with a small fake.
//
// Operations marked "throws" raise roamwise::Failure with the system's error
// number and text; the others cannot fail in a way the program reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace roamwise {

// A shortcut file (.lnk) that starts a program.
struct Shortcut {
    std::wstring path;
    std::wstring target;
    std::wstring arguments;
    std::wstring folder;  // where the program starts
    std::wstring icon;    // the file whose first icon it shows
};

// A run-time failure as the error report shows it: a number and a text.
// `where` names the procedure the report is titled with when the failure
// comes from deeper down than the trap that catches it (the registry's own
// procedures); empty, the trap's title is used.
struct Failure {
    long number = 0;
    std::wstring description;
    std::wstring where;
};

// One entry of a folder listing.
struct FileEntry {
    std::wstring name;  // without folder
    bool folder = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
};

// The running Windows as the system reports it; platform 0 when it cannot
// tell (1 the 95 family, 2 the NT family, 3 CE).
struct WindowsVersion {
    std::uint32_t platform = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

// What a start finds when it claims the program folder for itself.
enum class FolderClaim {
    Claimed,        // no other copy runs from this folder
    RunningHere,    // one runs in this session with its window, which came forward
    LoadingHere,    // one runs in this session without a window: a load from the command line
    HeldElsewhere,  // one runs that this start cannot reach: in another session or with other rights
};

// What the copy running here answered to a profile handed to it.
struct HandOverAnswer {
    enum class Kind {
        Answered,      // code: the exit code its load gave, or kExitBusy
        NotDelivered,  // it has not taken messages for a while: nothing was handed over
        NoAnswer,      // it took the request but did not answer within kHandOverLimitMs
        Ended,         // it ended before it answered
        Unreachable,   // it refused the request (other rights, or not a request it takes)
    };
    Kind kind = Kind::Unreachable;
    int code = 0;
};

// How long a start waits for the copy running here to answer a hand-over
// (the usage text says so); a trial's own time comes on top.
constexpr unsigned kHandOverLimitMs = 5 * 60 * 1000;

// What a start hands the copy already running from its folder.
struct HandedRequest {
    bool undo = false;        // "/undo" rather than "/load"
    std::wstring profile;     // the name given after "/load"
    unsigned trySeconds = 0;  // "/try": a trial of that many seconds, answered once it ended
    bool operator==(const HandedRequest& other) const {
        return undo == other.undo && profile == other.profile && trySeconds == other.trySeconds;
    }
};

// Receives what a started tool prints, piece by piece as it comes.
class ToolOutput {
public:
    virtual void Printed(const char* bytes, std::size_t size) = 0;

protected:
    ~ToolOutput() = default;
};

// A started tool, owned by the caller until WaitForExit closes it.
struct Process {
    std::uintptr_t handle = 0;
    std::uintptr_t output = 0;  // the platform's reader of what it prints, if asked for
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- files -----------------------------------------------------------
    // The folder holding Roamwise.exe, without a trailing backslash.
    virtual std::wstring ProgramFolder() = 0;
    // Roamwise.exe by its full long path.
    virtual std::wstring ProgramFile() = 0;  // throws
    // The user's desktop folder, made when it is missing; where it cannot
    // be made, its path all the same.
    virtual std::wstring DesktopFolder() = 0;  // throws
    // Makes or replaces the shortcut.
    virtual void MakeShortcut(const Shortcut& shortcut) = 0;  // throws
    // Every entry matching a path or a pattern, in the order the system
    // gives them, folders included. Nothing there gives no entries.
    virtual std::vector<FileEntry> List(const std::wstring& pattern) = 0;  // throws
    virtual void Delete(const std::wstring& path) = 0;                     // throws
    // Renames a file, replacing an existing target.
    virtual void Move(const std::wstring& from, const std::wstring& to) = 0;  // throws
    // Renames a file; fails rather than replace anything.
    virtual void Rename(const std::wstring& from, const std::wstring& to) = 0;  // throws
    virtual void SetReadOnly(const std::wstring& path, bool readOnly) = 0;    // throws
    // An existing folder is no failure.
    virtual void CreateFolder(const std::wstring& path) = 0;  // throws
    // Creates or truncates the file and writes the bytes.
    virtual void Write(const std::wstring& path, const std::string& bytes) = 0;  // throws
    virtual std::string Read(const std::wstring& path) = 0;                      // throws
    // The short (8.3) form of an existing path; empty when there is none.
    virtual std::wstring ShortPath(const std::wstring& path) = 0;

    // --- settings: named text values under the program's registry key -----
    // Nothing when the value is missing, empty, unreadable or of a type
    // that holds no text or number.
    virtual std::optional<std::wstring> ReadSetting(const std::wstring& name) = 0;  // throws
    // Failures to create the key or set the value are silent.
    virtual void WriteSetting(const std::wstring& name, const std::wstring& value) = 0;  // throws

    // --- tools -----------------------------------------------------------
    // The system folder: the only place tools are started from.
    virtual std::wstring SystemFolder() = 0;
    // Starts program (a full path: nothing is searched for) with the whole
    // command line, hidden, in the given current folder; does not wait.
    // What it writes to its standard output and error goes to printed
    // while WaitForExit waits, or nowhere when that is null.
    virtual Process Start(const std::wstring& program, const std::wstring& commandLine,
                          const std::wstring& currentFolder, ToolOutput* printed) = 0;  // throws
    // Waits for the tool to end while the windows stay live, closes its
    // handle and gives its exit code.
    virtual std::uint32_t WaitForExit(Process process) = 0;  // throws

    // --- machine facts ---------------------------------------------------
    // The active IPv4 address as dotted text; "127.0.0.1" when none is up.
    virtual std::wstring ActiveAddress() = 0;
    virtual WindowsVersion Version() = 0;
    // One copy per program folder, however the folder is spelled and for
    // every user. Where another copy's window is within reach it comes forward.
    virtual FolderClaim ClaimProgramFolder() = 0;
    // After RunningHere: the running copy's window runs the request (a load
    // as its Load button does, an Undo) and answers as soon as the result
    // is known; for a trial, once the trial has ended.
    virtual HandOverAnswer HandOver(const HandedRequest& request) = 0;

    // --- time ------------------------------------------------------------
    // A clock for countdowns, in milliseconds; it never goes back.
    virtual std::uint64_t Milliseconds() = 0;
    // The local date and time, as "2026-12-07 14:03:05".
    virtual std::wstring LocalTime() = 0;
    // Whether the program runs in a remote (Remote Desktop) session.
    virtual bool RemoteSession() = 0;

    // --- a trial load's "keep", shared by the copies run from this folder --
    // Opens the signal "/keep" gives; false when it cannot be made.
    virtual bool OpenTrial() = 0;
    virtual void CloseTrial() = 0;
    // Waits up to ms for "/keep" to be run (0: only looks); true once it was.
    virtual bool WaitForKeep(std::uint32_t ms) = 0;
    // "/keep": gives the open trial its signal; false when no copy holds one.
    virtual bool KeepTrial() = 0;

    // --- text ------------------------------------------------------------
    // Wide text to the ANSI or OEM code page; false when a character has no
    // exact form there (the text is still converted, with stand-ins).
    virtual bool ToAnsi(const std::wstring& text, std::string& bytes) = 0;
    virtual bool ToOem(const std::wstring& text, std::string& bytes) = 0;
    // What a redirected console tool wrote, in the OEM code page.
    virtual std::wstring FromOem(const std::string& bytes) = 0;
    // Whether two file names name the same file: letter case aside, as the
    // file system compares them.
    virtual bool SameFileName(const std::wstring& a, const std::wstring& b) = 0;
    // The system's message for an error number.
    virtual std::wstring ErrorText(long number) = 0;
};

}  // namespace roamwise
