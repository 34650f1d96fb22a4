#include "message_pump.h"

#include <algorithm>
#include <vector>

namespace roamwise {
namespace win32 {

namespace {

// Only the wake bits Windows 2000 knows: it fails a wait given any other,
// and mingw-w64's QS_ALLINPUT carries QS_RAWINPUT (XP and later).
constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                            QS_SENDMESSAGE | QS_HOTKEY | QS_ALLPOSTMESSAGE;

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
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;  // only for invalid arguments; nothing left to run
        DispatchOne(msg);
    }
}

DWORD WaitPumping(const HANDLE* objects, DWORD count, DWORD& signalled) {
    bool quit = false;
    int quitCode = 0;
    // MsgWaitForMultipleObjects wakes only for messages that arrive after
    // the queue was last looked at; take what is already there first.
    PumpPending(quit, quitCode);
    DWORD result = ERROR_SUCCESS;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(count, objects, FALSE, INFINITE, kWakeMask);
        if (woken < WAIT_OBJECT_0 + count) {
            signalled = woken - WAIT_OBJECT_0;
            break;
        }
        if (woken == WAIT_OBJECT_0 + count) {
            PumpPending(quit, quitCode);
            continue;
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
