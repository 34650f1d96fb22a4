// wait_timer APPDIR DOUBLEDIR
// Starts APPDIR\Roamwise.exe (whose netsh is the test double, told by
// DOUBLEDIR\delay_ms to take its time), and once the main window shows:
//   - reports the program's memory after start-up (GetProcessMemoryInfo);
//   - writes DOUBLEDIR\ready and waits up to 30 s for DOUBLEDIR\go, so that
//     the caller can read the same process from the host side;
//   - saves profiles bench1..bench5, each timed from the click until
//     "Settings Saved" shows, with the program's CPU time (GetProcessTimes)
//     over that span and over 2 s in the middle of the tool's run, when the
//     program does nothing but wait.
// Prints "<name> <value>" lines. Exits 1 when the save does not complete.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "control_ids.h"
#include "driver.h"

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

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Seconds(LONGLONG ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wait_timer APPDIR DOUBLEDIR\n");
        return 2;
    }
    const std::wstring appDir = argv[1], doubleDir = argv[2];
    driver::Roamwise app;
    if (!app.Start(appDir, doubleDir) || !app.WaitMainWindow()) {
        std::fprintf(stderr, "Roamwise did not show its window\n");
        return 1;
    }
    app.Settle();
    Sleep(1000);  // let the start-up's child processes and first paint finish
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.Pid());
    if (!process) {
        std::fprintf(stderr, "cannot open the process (error %lu)\n", GetLastError());
        return 1;
    }

    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        std::printf("private_bytes %llu\n", static_cast<unsigned long long>(memory.PrivateUsage));
        std::printf("working_set_bytes %llu\n", static_cast<unsigned long long>(memory.WorkingSetSize));
    }
    std::printf("startup_cpu_s %.3f\n", CpuSeconds(process));
    std::fflush(stdout);

    driver::WriteBytes(doubleDir + L"\\ready", "1");
    driver::WaitUntil([&] { return driver::FileExists(doubleDir + L"\\go"); }, 30000);

    // Several saves, their times summed: the process times Wine reports for
    // another process move in 10 ms steps.
    const std::wstring log = doubleDir + L"\\calls.log";
    auto calls = [&] {
        const auto text = driver::ReadBytes(log);
        return text ? std::count(text->begin(), text->end(), '\n') : 0;
    };
    double saveWall = 0, saveCpu = 0, steadyWall = 0, steadyCpu = 0;
    int result = 0;
    for (int i = 1; i <= kSaves && result == 0; ++i) {
        const std::wstring name = L"bench" + std::to_wstring(i);
        const auto callsBefore = calls();
        const double cpuBefore = CpuSeconds(process);
        const LONGLONG start = Now();
        app.SetName(name);
        app.Click(roamwise::ids::kCmdSave);
        // The double logs its call, then sleeps: from then on the program
        // only waits.
        driver::WaitUntil([&] { return calls() > callsBefore; }, 60000);
        const double cpuWaitStart = CpuSeconds(process);
        const LONGLONG waitStart = Now();
        Sleep(kSteadyMs);
        steadyCpu += CpuSeconds(process) - cpuWaitStart;
        steadyWall += Seconds(Now() - waitStart);
        const std::optional<driver::Box> box = app.WaitBox(60000);
        saveWall += Seconds(Now() - start);
        saveCpu += CpuSeconds(process) - cpuBefore;
        if (!box || box->text != L"Settings Saved" ||
            !driver::FileExists(appDir + L"\\Profiles\\" + name + L".txt")) {
            std::fprintf(stderr, "save %d did not complete\n", i);
            result = 1;
        } else {
            app.Answer(*box, IDOK);
        }
    }
    if (result == 0) {
        std::printf("saves %d\n", kSaves);
        std::printf("save_wall_s %.3f\n", saveWall);
        std::printf("save_cpu_s %.3f\n", saveCpu);
        std::printf("steady_wall_s %.3f\n", steadyWall);
        std::printf("steady_cpu_s %.3f\n", steadyCpu);
    }
    CloseHandle(process);
    app.Close();
    if (!app.WaitExit(20000)) app.Kill();
    return result;
}
