// Starting tools hidden and waiting for their exit codes.
#include <gtest/gtest.h>

#include "scratch.h"

#include <string>

#include "failure.h"
#include "win32_platform.h"

using roamwise::Failure;
using roamwise::Process;
using roamwise::win32::Win32Platform;
using roamwise_test::GetFile;
using roamwise_test::Narrow;
using roamwise_test::PutFile;
using roamwise_test::ScratchDir;

namespace {

HANDLE AsHandle(const Process& process) { return reinterpret_cast<HANDLE>(process.handle); }

TEST(Win32PlatformProcesses, WaitGivesTheExitCodeOfTheTool) {
    ScratchDir dir(L"exit");
    struct Case {
        const char* what;
        const wchar_t* batch;  // written to run.bat and started when set
        std::wstring commandLine;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"command", nullptr, L"cmd /c exit 7", 7},
        {"success", nullptr, L"cmd /c exit 0", 0},
        {"code that also means still running", nullptr, L"cmd /c exit 259", 259},
        {"large code", nullptr, L"cmd /c exit 70000", 70000},
        {"batch file ending with exit", L"exit 3\r\n", dir / L"run.bat", 3},
        {"batch file ending with a command", L"cmd /c exit 4\r\n", dir / L"run.bat", 4},
        {"batch file with an unknown command", L"nosuchtool-roamwise\r\n", dir / L"run.bat", 9009},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.batch != nullptr) PutFile(dir / L"run.bat", Narrow(c.batch));
        const Process process = platform.StartHidden(c.commandLine, L"");
        EXPECT_NE(process.handle, 0u);
        EXPECT_NE(process.id, 0u);
        EXPECT_EQ(platform.WaitForExit(process), c.expected);
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(AsHandle(process), &flags)) << "the wait closes the process handle";
    }
}

TEST(Win32PlatformProcesses, WaitOnAToolThatHasEndedReturnsItsCode) {
    Win32Platform platform;
    const Process process = platform.StartHidden(L"cmd /c exit 5", L"");
    ASSERT_EQ(WaitForSingleObject(AsHandle(process), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(platform.WaitForExit(process), 5u);
}

TEST(Win32PlatformProcesses, ToolsWriteTheirFilesWhereTheyAreTold) {
    ScratchDir dir(L"out");
    ScratchDir work(L"cwd");
    const std::string shortDir = [&] {
        char buffer[1024];
        DWORD r = GetShortPathNameA(Narrow(dir.path()).c_str(), buffer, sizeof buffer);
        return std::string(buffer, r);
    }();
    ASSERT_FALSE(shortDir.empty());
    struct Case {
        const char* what;
        std::string batch;  // written to dir\Settings.bat and started when not empty
        std::wstring commandLine;
        std::wstring currentDirectory;
        std::wstring output;
        std::string expected;  // start of the output file
    };
    const Case cases[] = {
        {"redirection in a batch file", "echo roamwise> " + shortDir + "\\ipinfo.txt\r\n",
         roamwise_test::Widen(shortDir) + L"\\Settings.bat", L"", dir / L"ipinfo.txt", "roamwise"},
        {"relative redirection goes to the current directory", "", L"cmd /c echo here> cwd.txt", work.path(),
         work / L"cwd.txt", "here"},
        {"the tool sees the current directory", "", L"cmd /c cd > where.txt", work.path(), work / L"where.txt",
         Narrow(work.path())},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.batch.empty()) PutFile(dir / L"Settings.bat", c.batch);
        EXPECT_EQ(platform.WaitForExit(platform.StartHidden(c.commandLine, c.currentDirectory)), 0u);
        const std::string written = GetFile(c.output);
        EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, written.substr(0, c.expected.size()).c_str(),
                                 -1, c.expected.c_str(), -1),
                  CSTR_EQUAL)
            << "file holds: " << written;
    }
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
        if (IsWindowVisible(window)) ++count->visible;
    }
    return TRUE;
}

WindowsOf CountWindows(DWORD pid) {
    WindowsOf count{pid};
    EnumWindows(CountWindowsOf, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(Win32PlatformProcesses, AStartedProgramShowsNoWindow) {
    Win32Platform platform;
    const Process process = platform.StartHidden(L"notepad.exe", L"");
    WindowsOf count{process.id};
    for (int attempt = 0; attempt < 300 && count.any == nullptr; ++attempt) {
        WaitForInputIdle(AsHandle(process), 1000);
        count = CountWindows(process.id);
        if (count.any == nullptr) Sleep(100);
    }
    if (count.any != nullptr) {
        // Answered only from the program's message loop, after it has shown
        // (or not shown) its window.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(count.any, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &ignored);
        count = CountWindows(process.id);
    }
    TerminateProcess(AsHandle(process), 9);
    EXPECT_EQ(platform.WaitForExit(process), 9u);
    ASSERT_NE(count.any, nullptr) << "the program made no window to look at";
    EXPECT_EQ(count.visible, 0);
}

TEST(Win32PlatformProcesses, AToolThatCannotStartThrowsTheSystemError) {
    ScratchDir dir(L"nostart");
    struct Case {
        const char* what;
        std::wstring commandLine;
        std::wstring currentDirectory;
    };
    const Case cases[] = {
        {"missing program", dir / L"missing.exe", L""},
        {"missing directory of the program", dir / L"no\\netsh.exe -f x.txt", L""},
        {"unknown name", L"nosuchtool-roamwise /all", L""},
        {"missing current directory", L"cmd /c exit 0", dir / L"missing"},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Process process = platform.StartHidden(c.commandLine, c.currentDirectory);
            platform.WaitForExit(process);
            ADD_FAILURE() << "started";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.number, 0);
            EXPECT_EQ(failure.description, platform.ErrorText(failure.number));
        }
    }
    EXPECT_THROW(platform.WaitForExit(Process{}), Failure) << "waiting on no process";
}

}  // namespace
