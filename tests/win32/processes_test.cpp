// Starting tools hidden and waiting for their exit codes.
#include "scratch.h"

#include "failure.h"
#include "win32_platform.h"

using roamwise::Failure;
using roamwise::Process;
using roamwise::win32::Win32Platform;
using namespace roamwise_test;

namespace {

HANDLE AsHandle(const Process& process) { return reinterpret_cast<HANDLE>(process.handle); }

TEST(Win32PlatformProcesses, WaitGivesTheExitCodeOfTheTool) {
    ScratchDir dir(L"exit");
    struct Case {
        const char* what;
        std::wstring commandLine;
        const char* batch;   // written to run.bat first, when set
        bool endedBefore;    // the tool has ended before the wait starts
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"command", L"cmd /c exit 7", nullptr, false, 7},
        {"code that also means still running", L"cmd /c exit 259", nullptr, false, 259},
        {"large code", L"cmd /c exit 70000", nullptr, false, 70000},
        {"tool that has already ended", L"cmd /c exit 5", nullptr, true, 5},
        {"batch file ending with exit", dir / L"run.bat", "exit 3\r\n", false, 3},
        {"batch file with an unknown command", dir / L"run.bat", "nosuchtool-roamwise\r\n", false, 9009},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.batch != nullptr) PutFile(dir / L"run.bat", c.batch);
        const Process process = platform.StartHidden(c.commandLine, L"");
        EXPECT_NE(process.id, 0u);
        if (c.endedBefore) {
            ASSERT_EQ(WaitForSingleObject(AsHandle(process), INFINITE), WAIT_OBJECT_0);
        }
        EXPECT_EQ(platform.WaitForExit(process), c.expected);
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(AsHandle(process), &flags)) << "the wait closes the process handle";
    }
}

TEST(Win32PlatformProcesses, ToolRunsInTheGivenDirectory) {
    ScratchDir work(L"cwd");
    Win32Platform platform;
    EXPECT_EQ(platform.WaitForExit(platform.StartHidden(L"cmd /c cd > where.txt", work.path())), 0u);
    const std::string written = GetFile(work / L"where.txt");
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, written.c_str(),
                             static_cast<int>(written.find_last_not_of("\r\n") + 1), Narrow(work.path()).c_str(), -1),
              CSTR_EQUAL)
        << "file holds: " << written;
}

struct WindowsOf {
    DWORD pid;
    HWND any = nullptr;
    int visible = 0;
};

BOOL CALLBACK CountWindowsOf(HWND window, LPARAM param) {
    auto* count = reinterpret_cast<WindowsOf*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == count->pid) {
        count->any = window;
        count->visible += IsWindowVisible(window) ? 1 : 0;
    }
    return TRUE;
}

TEST(Win32PlatformProcesses, AStartedProgramShowsNoWindow) {
    Win32Platform platform;
    const Process process = platform.StartHidden(L"notepad.exe", L"");
    WindowsOf count{process.id};
    for (int attempt = 0; attempt < 300 && count.any == nullptr; ++attempt) {
        WaitForInputIdle(AsHandle(process), 1000);
        count = WindowsOf{process.id};
        EnumWindows(CountWindowsOf, reinterpret_cast<LPARAM>(&count));
        if (count.any == nullptr) Sleep(100);
    }
    if (count.any != nullptr) {
        // Answered only from the program's message loop, after it has shown
        // (or not shown) its window.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(count.any, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &ignored);
        count = WindowsOf{process.id};
        EnumWindows(CountWindowsOf, reinterpret_cast<LPARAM>(&count));
    }
    TerminateProcess(AsHandle(process), 9);
    EXPECT_EQ(platform.WaitForExit(process), 9u);
    ASSERT_NE(count.any, nullptr) << "the program made no window to look at";
    EXPECT_EQ(count.visible, 0);
}

TEST(Win32PlatformProcesses, AToolThatCannotStartThrowsTheSystemError) {
    ScratchDir dir(L"nostart");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {dir / L"missing.exe", L""},
        {L"nosuchtool-roamwise /all", L""},
        {L"cmd /c exit 0", dir / L"missing"},  // missing current directory
    };
    Win32Platform platform;
    for (const auto& [commandLine, currentDirectory] : cases) {
        SCOPED_TRACE(Narrow(commandLine + L" in " + currentDirectory));
        try {
            platform.WaitForExit(platform.StartHidden(commandLine, currentDirectory));
            ADD_FAILURE() << "started";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.number, 0);
            EXPECT_EQ(failure.description, platform.ErrorText(failure.number));
        }
    }
    EXPECT_THROW(platform.WaitForExit(Process{}), Failure) << "waiting on no process";
}

}  // namespace
