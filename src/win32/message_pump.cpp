#include "message_pump.h"

#include <algorithm>
#include <vector>

namespace roamwise {
namespace win32 {

namespace {

// What wakes a wait: every kind of message, spelled from the bits Windows
// 2000 knows. It refuses a mask with a bit it does not know, and mingw's
// composite QS_ALLINPUT carries QS_RAWINPUT (Windows XP and later).
constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                            QS_SENDMESSAGE | QS_HOTKEY | QS_ALLPOSTMESSAGE;

// Where the program's one user-interface thread is.
struct LoopState {
    bool mainWaiting = false;      // the main loop is inside GetMessageW
    bool mainDispatching = false;  // a message straight from the main loop is being handled
    unsigned long taken = 0;       // messages any loop took from the queue or received from another thread
    unsigned long takenAtTop = 0;  // ...when the message handled at the top began
};

LoopState& Loop() {
    static LoopState state;
    return state;
}

// Sees every message any loop of the thread takes from the queue: the main
// loop's, and those of boxes, menus, moves and waits below it.
LRESULT CALLBACK CountTaken(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && removal == PM_REMOVE) ++Loop().taken;
    return CallNextHookEx(nullptr, code, removal, message);
}

struct DialogWindow {
    HWND window;
    HACCEL accelerators;
};

std::vector<DialogWindow>& DialogWindows() {
    static std::vector<DialogWindow> windows;
    return windows;
}

const DialogWindow* Registered(HWND window) {
    for (const DialogWindow& registered : DialogWindows())
        if (registered.window == window) return &registered;
    return nullptr;
}

void DispatchOne(MSG& msg) {
    if (msg.hwnd != nullptr) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (const DialogWindow* dialog = top ? Registered(top) : nullptr) {
            if (dialog->accelerators && TranslateAcceleratorW(top, dialog->accelerators, &msg)) return;
            if (IsDialogMessageW(top, &msg)) return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// Dispatches every message waiting now. A quit among them is noted and
// draining goes on: it asks to stop after the current work, not to drop
// what is already queued.
void PumpPending(bool& quit, int& quitCode) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        DispatchOne(msg);
    }
}

}  // namespace

void RegisterDialogWindow(HWND window, HACCEL accelerators) {
    if (window != nullptr && !Registered(window)) DialogWindows().push_back({window, accelerators});
}

void UnregisterDialogWindow(HWND window) {
    auto& windows = DialogWindows();
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [window](const DialogWindow& registered) { return registered.window == window; }),
                  windows.end());
}

int RunMessageLoop() {
    LoopState& loop = Loop();
    // A thread hook, in this module: Windows 2000 has it, and it runs nothing of anyone else's.
    const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CountTaken, nullptr, GetCurrentThreadId());
    MSG msg;
    int result = 0;
    for (;;) {
        loop.mainWaiting = true;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        loop.mainWaiting = false;
        if (got == 0 || got == -1) {  // -1 only for invalid arguments; nothing left to run
            result = got == 0 ? static_cast<int>(msg.wParam) : -1;
            break;
        }
        loop.takenAtTop = loop.taken;
        loop.mainDispatching = true;
        DispatchOne(msg);
        loop.mainDispatching = false;
    }
    if (hook) UnhookWindowsHookEx(hook);
    return result;
}

bool AtTopOfMessageLoop() {
    const LoopState& loop = Loop();
    return loop.mainDispatching && loop.taken == loop.takenAtTop;
}

MessageHandling::MessageHandling() : fromMainWait_(Loop().mainWaiting) {
    LoopState& loop = Loop();
    if (fromMainWait_) {
        // Sent by another thread while the main loop waited: handled at the top.
        loop.mainWaiting = false;
        loop.mainDispatching = true;
        loop.takenAtTop = loop.taken;
    } else if (InSendMessage()) {
        // Sent by another thread into a loop below the top: that loop has
        // received something, though it took nothing from the queue.
        ++loop.taken;
    }
}

MessageHandling::~MessageHandling() {
    if (!fromMainWait_) return;
    Loop().mainDispatching = false;
    Loop().mainWaiting = true;
}

DWORD WaitPumping(const HANDLE* objects, DWORD count, DWORD& signalled, DWORD timeoutMs) {
    bool quit = false;
    int quitCode = 0;
    // MsgWaitForMultipleObjects wakes only for messages that arrive after
    // the queue was last looked at; take what is already there first.
    PumpPending(quit, quitCode);
    const DWORD began = GetTickCount();
    DWORD result = ERROR_SUCCESS;
    for (;;) {
        const DWORD spent = GetTickCount() - began;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : spent >= timeoutMs ? 0 : timeoutMs - spent;
        const DWORD woken = MsgWaitForMultipleObjects(count, objects, FALSE, left, kWakeMask);
        if (woken < WAIT_OBJECT_0 + count) {
            signalled = woken - WAIT_OBJECT_0;
            break;
        }
        if (woken == WAIT_OBJECT_0 + count) {
            PumpPending(quit, quitCode);
            continue;
        }
        if (woken == WAIT_TIMEOUT) {
            result = WAIT_TIMEOUT;
            break;
        }
        result = GetLastError();
        if (result == ERROR_SUCCESS) result = ERROR_INVALID_HANDLE;
        break;
    }
    if (quit) PostQuitMessage(quitCode);
    return result;
}

}  // namespace win32
}  // namespace roamwise
