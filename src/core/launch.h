// How one start of Roamwise.exe begins: what its command line asks for, the
// version gate every start passes first, the exit codes a script reads
// after "/load", and the request a start hands the copy already running.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform.h"
#include "view.h"

namespace roamwise {

struct StartRequest {
    enum class Action { OpenWindow, LoadProfile, Undo, Keep, ShowUsage };
    Action action = Action::OpenWindow;
    std::wstring profile;     // the name given after "/load"
    unsigned trySeconds = 0;  // "/try": a trial load of that many seconds; 0 for none
    bool quiet = false;       // no box at all: the exit code tells the result
    // What made no sense on the line, naming the argument; shown before the
    // usage. Empty when the line was understood.
    std::wstring problem;
};

// The arguments after the program's name: nothing, "/load NAME" with an
// optional "/try SECONDS", "/undo" or "/keep", each with an optional
// "/quiet" (in any order, "-" for "/", any letter case), or "/?". A quoted
// argument is never taken for a switch.
StartRequest ReadCommandLine(const std::wstring& arguments);

// Exit codes of a start from the command line.
enum ExitCode : int {
    kExitLoaded = 0,         // loaded, and the machine has an active address
    kExitNoSuchProfile = 1,  // no such profile, or a name the rules refuse
    kExitNetshFailed = 2,    // netsh ended with an error: maybe applied in part
    kExitNotConnected = 3,   // loaded, but no active connection afterwards
    kExitFailed = 4,         // anything else (refused Windows, a copy out of reach, a tool that cannot start)
    kExitHandedOver = 5,     // the copy running from this folder took the request but gave no result in time
    kExitUsage = 6,          // the command line made no sense
    kExitBusy = 7,           // the copy running from this folder was busy: nothing was loaded
    kExitWentBack = 8,       // a trial nobody kept in time: the settings from before it are back
};

// The longest trial a script may ask for, in seconds.
constexpr unsigned kLongestTrial = 3600;

// The first step of every start, before any window or window class exists
// and using only what the Windows 95 family provides: the version gate,
// then a command line that only asks for its usage or makes no sense. Gives
// the exit code when the start ends here; boxes shows the boxes (no window
// of its own yet).
std::optional<int> EndsBeforeWindows(Platform& platform, MainView& boxes, const StartRequest& request);

extern const wchar_t kUsageText[];

// The bytes that cross between the two processes, under a tag per kind: a
// load, the profile's name in UTF-16, little-endian, without a terminator; a
// trial, the seconds in the first two units, then the name; an undo, nothing.
constexpr unsigned long kLoadRequestTag = 0x524F4C44;
constexpr unsigned long kTrialRequestTag = 0x524F5452;
constexpr unsigned long kUndoRequestTag = 0x524F554E;
unsigned long RequestTag(const HandedRequest& request);
std::string RequestBytes(const HandedRequest& request);
// The request any program may send, read; nothing when it is not one a
// start of Roamwise makes.
std::optional<HandedRequest> ReadRequest(unsigned long tag, const void* bytes, std::size_t size);

}  // namespace roamwise
