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
    enum class Action { OpenWindow, LoadProfile, ShowUsage };
    Action action = Action::OpenWindow;
    std::wstring profile;  // the name given after "/load"
    bool quiet = false;    // no box at all: the exit code tells the result
    // What made no sense on the line, naming the argument; shown before the
    // usage. Empty when the line was understood.
    std::wstring problem;
};

// The arguments after the program's name: nothing, "/load NAME" with an
// optional "/quiet" (in any order, "-" for "/", any letter case), or "/?".
// A quoted argument is never taken for a switch.
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
};

// The first step of every start, before any window or window class exists
// and using only what the Windows 95 family provides: the version gate,
// then a command line that only asks for its usage or makes no sense. Gives
// the exit code when the start ends here; boxes shows the boxes (no window
// of its own yet).
std::optional<int> EndsBeforeWindows(Platform& platform, MainView& boxes, const StartRequest& request);

extern const wchar_t kUsageText[];

// A profile name handed to the copy already running, as the bytes that cross
// between the two processes: the name in UTF-16, little-endian, without a
// terminator, under this tag.
constexpr unsigned long kLoadRequestTag = 0x524F4C44;
std::string LoadRequestBytes(const std::wstring& profile);
// The name in a request any program may send; nothing when the request is
// not one a start of Roamwise makes.
std::optional<std::wstring> ReadLoadRequest(unsigned long tag, const void* bytes, std::size_t size);

}  // namespace roamwise
