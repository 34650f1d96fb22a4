// start_timer RUNS PROGRAM...
// Starts each program in turn, RUNS times over (after one warm-up round that
// is not counted), and times each start from CreateProcess to the first
// visible top-level window of that process. Then closes the window and waits
// for the process to end. A program given as "tool-console:COMMAND LINE" is
// started instead as a tool (hidden, in the system directory) with a console
// of its own, "tool-nowindow:..." with CREATE_NO_WINDOW, "tool-detached:..."
// with DETACHED_PROCESS, and timed until it ends. Prints one line per program:
//   <program> <median ms> <min ms> <max ms> <runs>
// A program that shows a message box, ends, or shows nothing within 60 s
// fails the whole run (exit code 1): its figure would mean nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Seconds(LONGLONG ticks) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

std::wstring DirectoryOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Milliseconds to the first visible window, or a negative value on failure.
double TimeOneStart(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring dir = DirectoryOf(exe);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const LONGLONG start = Now();
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                        &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(pi.hThread);
    Search search = {pi.dwProcessId, nullptr};
    double elapsed = -1;
    for (;;) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            elapsed = Seconds(Now() - start) * 1000.0;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"%ls ended without showing a window\n", exe.c_str());
            break;
        }
        if (Seconds(Now() - start) > 60) {
            std::fwprintf(stderr, L"%ls showed no window within 60 s\n", exe.c_str());
            break;
        }
    }
    if (search.found) {
        wchar_t cls[64] = {};
        GetClassNameW(search.found, cls, 64);
        if (std::wstring(cls) == L"#32770") {
            std::fwprintf(stderr, L"%ls showed a message box instead of its window\n", exe.c_str());
            elapsed = -1;
        }
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 20000);
    }
    CloseHandle(pi.hProcess);
    return elapsed;
}

// Milliseconds from the start of a hidden tool to its end.
double TimeOneTool(const std::wstring& commandLine, DWORD flags) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    const LONGLONG start = Now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, system, &si,
                        &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", commandLine.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(pi.hThread);
    double elapsed = -1;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
        elapsed = Seconds(Now() - start) * 1000.0;
    } else {
        std::fwprintf(stderr, L"%ls did not end within 60 s\n", commandLine.c_str());
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hProcess);
    return elapsed;
}

double TimeOne(const std::wstring& program) {
    static const struct {
        const wchar_t* prefix;
        DWORD flags;
    } kTools[] = {{L"tool-console:", CREATE_NEW_CONSOLE},
                  {L"tool-nowindow:", CREATE_NO_WINDOW},
                  {L"tool-detached:", DETACHED_PROCESS}};
    for (const auto& tool : kTools) {
        const size_t n = wcslen(tool.prefix);
        if (program.compare(0, n, tool.prefix) == 0) return TimeOneTool(program.substr(n), tool.flags);
    }
    return TimeOneStart(program);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: start_timer RUNS PROGRAM...\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    std::vector<std::wstring> exes(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(exes.size());
    for (int round = 0; round <= runs; ++round) {
        for (size_t i = 0; i < exes.size(); ++i) {
            const double ms = TimeOne(exes[i]);
            if (ms < 0) return 1;
            if (round > 0) times[i].push_back(ms);  // round 0 warms the caches
        }
    }
    for (size_t i = 0; i < exes.size(); ++i) {
        std::vector<double>& t = times[i];
        std::sort(t.begin(), t.end());
        const double median = t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
        std::wprintf(L"\"%ls\" %.1f %.1f %.1f %zu\n", exes[i].c_str(), median, t.front(), t.back(), t.size());
    }
    return 0;
}
