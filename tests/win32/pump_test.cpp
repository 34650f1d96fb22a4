// The shared message loop: pending dispatch, quit codes and dialog-style
// keyboard navigation for registered windows.
#include <gtest/gtest.h>

#include "scratch.h"

#include <vector>

#include "message_pump.h"

using namespace roamwise::win32;

namespace {

constexpr int kFirst = 301;
constexpr int kSecond = 302;

std::vector<UINT> received;      // WM_APP-based messages the test window got
std::vector<int> commands;       // WM_COMMAND ids it got

LRESULT CALLBACK PumpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message < WM_APP + 100) {
        received.push_back(message);
        return 0;
    }
    if (message == WM_COMMAND) {
        commands.push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct TestWindow {
    HWND window = nullptr;
    HWND first = nullptr;
    HWND second = nullptr;

    TestWindow() {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = PumpWindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RoamwisePumpTestWindow";
            return RegisterClassW(&wc);
        }();
        EXPECT_NE(atom, 0);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        window = CreateWindowExW(WS_EX_CONTROLPARENT, L"RoamwisePumpTestWindow", L"pump test",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr, instance, nullptr);
        first = CreateWindowExW(0, L"BUTTON", L"First", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10,
                                80, 25, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirst)), instance, nullptr);
        second = CreateWindowExW(0, L"BUTTON", L"Second", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 50,
                                 80, 25, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSecond)), instance, nullptr);
        received.clear();
        commands.clear();
    }
    ~TestWindow() {
        UnregisterDialogWindow(window);
        DestroyWindow(window);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

void PostKey(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

TEST(Win32MessagePump, PumpPendingDispatchesEverythingAndReportsAQuit) {
    struct Case {
        const char* what;
        int posts;
        bool quit;
    };
    const Case cases[] = {
        {"nothing pending", 0, false},
        {"messages pending", 3, false},
        {"messages and a quit", 2, true},
        {"only a quit", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow test;
        ASSERT_NE(test.window, nullptr);
        std::vector<UINT> expected;
        for (int i = 0; i < c.posts; ++i) {
            PostMessageW(test.window, WM_APP + i, 0, 0);
            expected.push_back(WM_APP + i);
        }
        if (c.quit) PostQuitMessage(23);
        int code = -1;
        EXPECT_EQ(PumpPending(&code), c.quit);
        EXPECT_EQ(received, expected);
        EXPECT_EQ(code, c.quit ? 23 : -1);
        MSG msg;
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit stays in the queue";
    }
}

TEST(Win32MessagePump, RunMessageLoopDispatchesUntilTheQuitAndGivesItsCode) {
    TestWindow test;
    ASSERT_NE(test.window, nullptr);
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
        HWND TestWindow::*focusAfter;  // null: focus stays where it started
        std::vector<int> commands;
    };
    const Case cases[] = {
        {"Tab moves on", kRegistered, VK_TAB, &TestWindow::first, &TestWindow::second, {}},
        {"Tab wraps around", kRegistered, VK_TAB, &TestWindow::second, &TestWindow::first, {}},
        {"Enter on the default button clicks it", kRegistered, VK_RETURN, &TestWindow::second, nullptr, {kSecond}},
        {"Enter on another button asks for the default action", kRegistered, VK_RETURN, &TestWindow::first, nullptr,
         {IDOK}},
        {"Tab in a window never registered", kNever, VK_TAB, &TestWindow::first, nullptr, {}},
        {"Tab after unregistering", kUnregistered, VK_TAB, &TestWindow::first, nullptr, {}},
        {"Enter in a window never registered", kNever, VK_RETURN, &TestWindow::second, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow test;
        ASSERT_NE(test.window, nullptr);
        if (c.registration != kNever) RegisterDialogWindow(test.window);
        if (c.registration == kUnregistered) UnregisterDialogWindow(test.window);
        SetForegroundWindow(test.window);
        HWND start = test.*c.start;
        SetFocus(start);
        ASSERT_EQ(GetFocus(), start) << "the test window cannot take the focus";

        PostKey(start, c.key);
        EXPECT_FALSE(PumpPending(nullptr));

        EXPECT_EQ(GetFocus(), c.focusAfter != nullptr ? test.*c.focusAfter : start);
        EXPECT_EQ(commands, c.commands);
    }
}

}  // namespace
