// wait_timer APPDIR DOUBLEDIR
// Starts APPDIR\Roamwise.exe with the netsh double (tool_double) told by
// DOUBLEDIR\delay_ms to take its time, and once the main window shows:
//   - reports the program's memory after start-up (GetProcessMemoryInfo);
//   - writes DOUBLEDIR\ready and waits up to 30 s for DOUBLEDIR\go, so that
//     the caller can read the same process from the host side;
//   - saves profiles bench1..bench5, each timed from the click until
//     "Settings Saved" shows, with the program's CPU time (GetProcessTimes)
//     over that span and over 2 s in the middle of the tool's run, when the
//     program does nothing but wait;
//   - then, the double answering at once, loads bench1 five times, each timed
//     from the click until "Network Settings Loaded" shows: the settings in
//     force dumped first, netsh -f, the capture after it.
// Prints "<name> <value>" lines. Exits 1 when a save or load does not complete.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <functional>
#include <string>

#include "control_ids.h"

namespace {

constexpr int kSaves = 5;
// Well inside the double's delay (3 s after it logs its call).
constexpr DWORD kSteadyMs = 2000;

double CpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto value = [](const FILETIME& f) {
        return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

double Seconds() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

long Lines(const std::wstring& path) {
    long n = 0;
    if (FILE* f = _wfopen(path.c_str(), L"r")) {
        for (int c; (c = std::fgetc(f)) != EOF;) n += c == '\n';
        std::fclose(f);
    }
    return n;
}

struct Search {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    wchar_t name[64] = {};
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameW(hwnd, name, 64);
    if (owner != s->pid || !IsWindowVisible(hwnd) || lstrcmpW(name, s->cls) != 0) return TRUE;
    s->found = hwnd;
    return FALSE;
}

// The first visible top-level window of a process with the given class.
HWND FindWindowOf(DWORD pid, const wchar_t* cls) {
    Search search = {pid, cls, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring BoxText(HWND box) {
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wait_timer APPDIR DOUBLEDIR\n");
        return 2;
    }
    const std::wstring appDir = argv[1], doubleDir = argv[2];
    SetEnvironmentVariableW(L"ROAMWISE_BENCH_DIR", doubleDir.c_str());
    std::wstring exe = appDir + L"\\Roamwise.exe", line = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, appDir.c_str(), &si, &pi) ||
        !WaitUntil([&] { return (main = FindWindowOf(pi.dwProcessId, ROAMWISE_MAIN_CLASS)) != nullptr; }, 60000)) {
        std::fprintf(stderr, "Roamwise did not show its window\n");
        return 1;
    }
    Sleep(1000);  // let the start-up's child processes and first paint finish
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        std::printf("private_bytes %llu\n", static_cast<unsigned long long>(memory.PrivateUsage));
        std::printf("working_set_bytes %llu\n", static_cast<unsigned long long>(memory.WorkingSetSize));
    }
    std::fflush(stdout);
    if (FILE* ready = _wfopen((doubleDir + L"\\ready").c_str(), L"w")) std::fclose(ready);
    WaitUntil([&] { return FileExists(doubleDir + L"\\go"); }, 30000);

    // Several saves, their times summed: the process times Wine reports for
    // another process move in 10 ms steps.
    const std::wstring log = doubleDir + L"\\calls.log";
    double saveWall = 0, saveCpu = 0, steadyWall = 0, steadyCpu = 0;
    int result = 0;
    for (int i = 1; i <= kSaves && result == 0; ++i) {
        const std::wstring name = L"bench" + std::to_wstring(i);
        const long callsBefore = Lines(log);
        const double cpuBefore = CpuSeconds(pi.hProcess), start = Seconds();
        SetDlgItemTextW(main, roamwise::ids::kNameBox, name.c_str());
        PostMessageW(GetDlgItem(main, roamwise::ids::kSaveButton), BM_CLICK, 0, 0);
        // The double logs its call, then sleeps: from then on the program
        // only waits.
        WaitUntil([&] { return Lines(log) > callsBefore; }, 60000);
        const double cpuWaitStart = CpuSeconds(pi.hProcess), waitStart = Seconds();
        Sleep(kSteadyMs);
        steadyCpu += CpuSeconds(pi.hProcess) - cpuWaitStart;
        steadyWall += Seconds() - waitStart;
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindWindowOf(pi.dwProcessId, L"#32770")) != nullptr; }, 60000);
        saveWall += Seconds() - start;
        saveCpu += CpuSeconds(pi.hProcess) - cpuBefore;
        if (!box || BoxText(box) != L"Settings Saved" || !FileExists(appDir + L"\\Profiles\\" + name + L".txt")) {
            std::fprintf(stderr, "save %d did not complete\n", i);
            result = 1;
        }
        if (box) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitUntil([&] { return !IsWindow(box); }, 10000);
        }
    }
    if (result == 0) {
        std::printf("saves %d\nsave_wall_s %.3f\nsave_cpu_s %.3f\n", kSaves, saveWall, saveCpu);
        std::printf("steady_wall_s %.3f\nsteady_cpu_s %.3f\n", steadyWall, steadyCpu);
    }
    if (FILE* delay = _wfopen((doubleDir + L"\\delay_ms").c_str(), L"w")) std::fputs("0\n", delay), std::fclose(delay);
    const HWND list = GetDlgItem(main, roamwise::ids::kProfileList);
    double loadWall = 0;
    for (int i = 1; i <= kSaves && result == 0; ++i) {
        SendMessageW(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"bench1"));
        const double start = Seconds();
        PostMessageW(GetDlgItem(main, roamwise::ids::kLoadButton), BM_CLICK, 0, 0);
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindWindowOf(pi.dwProcessId, L"#32770")) != nullptr; }, 60000);
        loadWall += Seconds() - start;
        if (!box || BoxText(box).rfind(L"Network Settings Loaded", 0) != 0) result = 1;
        if (box) PostMessageW(box, WM_COMMAND, IDOK, 0), WaitUntil([&] { return !IsWindow(box); }, 10000);
    }
    if (result == 0) std::printf("loads %d\nload_wall_s %.3f\n", kSaves, loadWall);
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return result;
}
