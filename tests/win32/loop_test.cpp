// The shared message loop (pending dispatch, quit codes, dialog-style
// keyboard navigation) and the wait for a tool, which keeps the program's
// windows alive and leaves a quit for the main loop.
#include "scratch.h"

#include <functional>

#include "message_pump.h"
#include "win32_platform.h"

using namespace roamwise::win32;
using namespace roamwise_test;

namespace {

constexpr int kFirst = 301;
constexpr int kSecond = 302;

std::vector<UINT> received;          // WM_APP-based messages and timer ticks the test window got
std::vector<int> commands;           // WM_COMMAND ids it got
std::function<void(UINT)> onMessage; // what the window does with each of them

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_APP && message < WM_APP + 100) || message == WM_TIMER) {
        received.push_back(message);
        if (onMessage) onMessage(message);
        return 0;
    }
    if (message == WM_COMMAND) {
        commands.push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible window with two buttons, the second the default one.
struct TestWindow {
    HWND window, first, second;

    TestWindow() {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = TestWindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RoamwiseLoopTestWindow";
            return RegisterClassW(&wc);
        }();
        EXPECT_NE(atom, 0);
        window = CreateWindowExW(WS_EX_CONTROLPARENT, L"RoamwiseLoopTestWindow", L"loop test",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        first = Button(L"First", kFirst, BS_PUSHBUTTON, 10);
        second = Button(L"Second", kSecond, BS_DEFPUSHBUTTON, 50);
        received.clear();
        commands.clear();
        onMessage = nullptr;
    }
    HWND Button(const wchar_t* text, int id, DWORD style, int top) {
        return CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, top, 80, 25, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() {
        UnregisterDialogWindow(window);
        DestroyWindow(window);
        onMessage = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

TEST(Win32MessagePump, PumpPendingDispatchesEverythingAndReportsAQuit) {
    const std::pair<int, bool> cases[] = {{0, false}, {3, false}, {2, true}};  // messages posted, quit posted
    for (const auto& [posts, quit] : cases) {
        SCOPED_TRACE(testing::Message() << posts << " messages, quit " << quit);
        TestWindow test;
        std::vector<UINT> expected;
        for (UINT i = 0; i < static_cast<UINT>(posts); ++i) {
            PostMessageW(test.window, WM_APP + i, 0, 0);
            expected.push_back(WM_APP + i);
        }
        if (quit) PostQuitMessage(23);
        int code = -1;
        EXPECT_EQ(PumpPending(&code), quit);
        EXPECT_EQ(received, expected);
        EXPECT_EQ(code, quit ? 23 : -1);
        MSG msg;
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit stays in the queue";
    }

    TestWindow test;
    PostMessageW(test.window, WM_APP + 1, 0, 0);
    PostMessageW(test.window, WM_APP + 2, 0, 0);
    PostQuitMessage(17);
    EXPECT_EQ(RunMessageLoop(), 17);
    EXPECT_EQ(received, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
}

TEST(Win32MessagePump, RegisteredWindowsGetDialogKeyboardNavigation) {
    enum Registration { kRegistered, kNever, kUnregistered };
    struct Case {
        const char* what;
        Registration registration;
        WPARAM key;
        HWND TestWindow::*start;
        HWND TestWindow::*focusAfter;
        std::vector<int> commands;
    };
    const Case cases[] = {
        {"Tab moves on", kRegistered, VK_TAB, &TestWindow::first, &TestWindow::second, {}},
        {"Tab wraps around", kRegistered, VK_TAB, &TestWindow::second, &TestWindow::first, {}},
        {"Enter on the default button clicks it", kRegistered, VK_RETURN, &TestWindow::second, &TestWindow::second,
         {kSecond}},
        {"Enter on another button asks for the default action", kRegistered, VK_RETURN, &TestWindow::first,
         &TestWindow::first, {IDOK}},
        {"Tab in a window never registered", kNever, VK_TAB, &TestWindow::first, &TestWindow::first, {}},
        {"Tab after unregistering", kUnregistered, VK_TAB, &TestWindow::first, &TestWindow::first, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow test;
        if (c.registration != kNever) RegisterDialogWindow(test.window);
        if (c.registration == kUnregistered) UnregisterDialogWindow(test.window);
        SetForegroundWindow(test.window);
        SetFocus(test.*c.start);
        ASSERT_EQ(GetFocus(), test.*c.start) << "the test window cannot take the focus";

        PostMessageW(test.*c.start, WM_KEYDOWN, c.key, 1);
        PostMessageW(test.*c.start, WM_KEYUP, c.key, 0xC0000001);
        EXPECT_FALSE(PumpPending(nullptr));
        EXPECT_EQ(GetFocus(), test.*c.focusAfter);
        EXPECT_EQ(commands, c.commands);
    }
}

TEST(Win32PlatformWait, MessagesAreDispatchedWhileTheToolRunsAndAQuitIsKept) {
    constexpr int kToolExit = 6;
    enum Before { kPost, kTimer, kNestedRun, kPostAndQuit };
    const std::pair<const char*, Before> cases[] = {
        {"message posted before the wait", kPost},
        {"timer that can only fire during the wait", kTimer},
        {"a second tool run inside the dispatch", kNestedRun},
        {"quit posted before the wait", kPostAndQuit},
    };
    Win32Platform platform;
    for (const auto& [what, before] : cases) {
        SCOPED_TRACE(what);
        ScratchDir dir(L"wait");
        const std::string d = Narrow(dir.path());
        // Ends with kToolExit as soon as the flag file appears, or with 1
        // after about a minute without it.
        PutFile(dir / L"wait.bat", "@echo off\r\necho started> \"" + d + "\\started.txt\"\r\nset n=0\r\n:loop\r\n"
                                   "if exist \"" + d + "\\flag.txt\" exit " + std::to_string(kToolExit) + "\r\n"
                                   "ping -n 2 127.0.0.1 >nul\r\nset /a n=n+1\r\nif %n% lss 60 goto loop\r\nexit 1\r\n");
        TestWindow test;
        std::uint32_t nestedCode = 0;
        // The window answers the tool (the timer only once the tool runs).
        onMessage = [&](UINT message) {
            if (message == WM_TIMER && !Exists(dir / L"started.txt")) return;
            KillTimer(test.window, 1);
            if (before == kNestedRun) nestedCode = platform.WaitForExit(platform.StartHidden(L"cmd /c exit 4", L""));
            PutFile(dir / L"flag.txt", "go");
        };
        if (before == kTimer)
            SetTimer(test.window, 1, 50, nullptr);
        else
            PostMessageW(test.window, WM_APP, 0, 0);
        if (before == kPostAndQuit) PostQuitMessage(42);
        MSG seen;  // a queue already looked at wakes no wait: the wait must take it first
        PeekMessageW(&seen, nullptr, 0, 0, PM_NOREMOVE);

        EXPECT_EQ(platform.WaitForExit(platform.StartHidden(dir / L"wait.bat", L"")), static_cast<std::uint32_t>(kToolExit))
            << "the tool did not see the window's answer";

        EXPECT_EQ(nestedCode, before == kNestedRun ? 4u : 0u);
        MSG quit;
        const bool quitQueued = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(quitQueued, before == kPostAndQuit) << "the quit was lost, or one came from nowhere";
        if (quitQueued) {
            EXPECT_EQ(quit.wParam, 42u);
        }
    }
}

}  // namespace
