#include "message_pump.h"

#include <algorithm>
#include <vector>

namespace roamwise {
namespace win32 {

namespace {

std::vector<HWND>& DialogWindows() {
    static std::vector<HWND> windows;
    return windows;
}

bool IsRegistered(HWND window) {
    const auto& windows = DialogWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace

void RegisterDialogWindow(HWND window) {
    if (window != nullptr && !IsRegistered(window)) DialogWindows().push_back(window);
}

void UnregisterDialogWindow(HWND window) {
    auto& windows = DialogWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

void DispatchOne(MSG& msg) {
    if (msg.hwnd != nullptr) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top != nullptr && IsRegistered(top) && IsDialogMessageW(top, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
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

bool PumpPending(int* quitCode) {
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep draining: a quit asks to stop after the current work, not
            // to drop what is already queued.
            quit = true;
            if (quitCode != nullptr) *quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        DispatchOne(msg);
    }
    return quit;
}

}  // namespace win32
}  // namespace roamwise
