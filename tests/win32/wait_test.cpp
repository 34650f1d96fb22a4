// The wait for a tool keeps the program's windows alive: messages are
// dispatched while the tool runs, and a quit is kept for the main loop.
#include <gtest/gtest.h>

#include "scratch.h"

#include <set>
#include <string>

#include "win32_platform.h"

using roamwise::win32::Win32Platform;
using roamwise_test::Exists;
using roamwise_test::Narrow;
using roamwise_test::PutFile;
using roamwise_test::ScratchDir;

namespace {

constexpr UINT kWriteFlag = WM_APP;
constexpr UINT kRunNested = WM_APP + 1;
constexpr int kToolExit = 6;

// What the test window saw; the window procedure can only reach globals.
struct Seen {
    std::wstring dir;
    Win32Platform* platform = nullptr;
    std::set<HWND> visibleBefore;
    bool writeFlagMessage = false;
    int timerTicks = 0;
    bool timerSawToolRunning = false;
    std::uint32_t nestedCode = 0xFFFFFFFF;
    bool newVisibleWindow = false;
} seen;

BOOL CALLBACK CollectVisible(HWND window, LPARAM out) {
    if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(out)->insert(window);
    return TRUE;
}

std::set<HWND> VisibleWindows() {
    std::set<HWND> windows;
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The tool ends with kToolExit only once this file exists.
void WriteFlag() { PutFile(seen.dir + L"\\flag.txt", "go"); }

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kWriteFlag:
        seen.writeFlagMessage = true;
        WriteFlag();
        return 0;
    case kRunNested:
        seen.nestedCode = seen.platform->WaitForExit(seen.platform->StartHidden(L"cmd /c exit 4", L""));
        WriteFlag();
        return 0;
    case WM_TIMER:
        ++seen.timerTicks;
        if (Exists(seen.dir + L"\\started.txt")) {
            seen.timerSawToolRunning = true;
            for (HWND visible : VisibleWindows())
                if (!seen.visibleBefore.count(visible)) seen.newVisibleWindow = true;
            KillTimer(window, wParam);
            WriteFlag();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHiddenWindow() {
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RoamwiseWaitTestWindow";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, L"RoamwiseWaitTestWindow", L"wait test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Ends with kToolExit as soon as the flag file appears, or with 1 after
// about a minute without it.
std::string WaitingBatch(const std::wstring& dir) {
    const std::string d = Narrow(dir);
    return "@echo off\r\n"
           "echo started> \"" + d + "\\started.txt\"\r\n"
           "set n=0\r\n"
           ":loop\r\n"
           "if exist \"" + d + "\\flag.txt\" exit " + std::to_string(kToolExit) + "\r\n"
           "ping -n 2 127.0.0.1 >nul\r\n"
           "set /a n=n+1\r\n"
           "if %n% lss 60 goto loop\r\n"
           "exit 1\r\n";
}

TEST(Win32PlatformWait, MessagesAreDispatchedWhileTheToolRuns) {
    enum Before { kPostFlag, kTimer, kPostNested, kPostFlagAndQuit };
    struct Case {
        const char* what;
        Before before;
    };
    const Case cases[] = {
        {"message posted before the wait", kPostFlag},
        {"timer that can only fire during the wait", kTimer},
        {"a second tool run inside the dispatch", kPostNested},
        {"quit posted before the wait", kPostFlagAndQuit},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir(L"wait");
        seen = Seen{};
        seen.dir = dir.path();
        seen.platform = &platform;
        seen.visibleBefore = VisibleWindows();
        PutFile(dir / L"wait.bat", WaitingBatch(dir.path()));
        HWND window = CreateHiddenWindow();
        ASSERT_NE(window, nullptr);

        switch (c.before) {
        case kPostFlag: PostMessageW(window, kWriteFlag, 0, 0); break;
        case kTimer: SetTimer(window, 1, 50, nullptr); break;
        case kPostNested: PostMessageW(window, kRunNested, 0, 0); break;
        case kPostFlagAndQuit:
            PostMessageW(window, kWriteFlag, 0, 0);
            PostQuitMessage(42);
            break;
        }
        const std::uint32_t code = platform.WaitForExit(platform.StartHidden(dir / L"wait.bat", L""));

        EXPECT_EQ(code, static_cast<std::uint32_t>(kToolExit)) << "the tool did not see the window's answer";
        MSG quit;
        const bool quitQueued = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        switch (c.before) {
        case kPostFlag: EXPECT_TRUE(seen.writeFlagMessage); break;
        case kTimer:
            EXPECT_TRUE(seen.timerSawToolRunning);
            EXPECT_FALSE(seen.newVisibleWindow) << "the tool showed a window";
            break;
        case kPostNested: EXPECT_EQ(seen.nestedCode, 4u); break;
        case kPostFlagAndQuit:
            EXPECT_TRUE(seen.writeFlagMessage);
            ASSERT_TRUE(quitQueued) << "the quit was lost";
            EXPECT_EQ(quit.wParam, 42u);
            break;
        }
        if (c.before != kPostFlagAndQuit) {
            EXPECT_FALSE(quitQueued);
        }
        DestroyWindow(window);
    }
}

}  // namespace
