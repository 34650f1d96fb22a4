// How one start of Roamwise.exe begins: what its command line asks for, the
// version gate every start passes first, and the exit codes a script reads
// after "/load".
#pragma once

#include <optional>
#include <string>

#include "platform.h"
#include "view.h"

namespace roamwise {

struct StartRequest {
    enum class Action { OpenWindow, LoadProfile, ShowUsage };
    Action action = Action::OpenWindow;
    std::wstring profile;    // the name the list shows, for LoadProfile
    bool quiet = false;      // no box at all: the exit code tells the result
    bool understood = true;  // false: the usage is shown for a line that made no sense
};

// The arguments after the program's name: nothing, "/load NAME" with an
// optional "/quiet" (in any order, "-" for "/", any letter case), or "/?".
StartRequest ReadCommandLine(const std::wstring& arguments);

// Exit codes of a start from the command line.
enum ExitCode : int {
    kExitLoaded = 0,         // loaded, and the machine has an active address
    kExitNoSuchProfile = 1,  // no such profile, or a name the rules refuse
    kExitNetshFailed = 2,    // netsh ended with an error: maybe applied in part
    kExitNotConnected = 3,   // loaded, but no active connection afterwards
    kExitFailed = 4,         // anything else (refused Windows, a copy out of reach, a tool that cannot start)
    kExitHandedOver = 5,     // the copy running from this folder took the request
    kExitUsage = 6,          // the command line made no sense
};

// The first step of every start, before any window or window class exists
// and using only what the Windows 95 family provides: the version gate,
// then a command line that only asks for its usage. Gives the exit code
// when the start ends here; boxes shows the boxes (no window of its own yet).
std::optional<int> EndsBeforeWindows(Platform& platform, MainView& boxes, const StartRequest& request);

extern const wchar_t kUsageText[];

}  // namespace roamwise
