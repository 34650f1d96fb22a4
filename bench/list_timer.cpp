// list_timer RUNS EXPECTED
// Lies in a program folder whose Profiles folder holds EXPECTED profile
// files. Creates the real main window (shown; the core does not start up,
// so no tool runs) and times, median of RUNS each:
//   refill   what the program does to refill its profile list: the profile
//            store's listing, the list cleared and filled, and the messages
//            that leaves behind (the list draws again), as a user waits for it
//   listing  the profile store's listing alone
//   fill     clearing and filling the list alone, same names
// Prints "<name> <median ms> <min ms> <max ms>" per measure. Exits 1 when the
// list does not end up holding EXPECTED names: a figure for a wrong list
// would mean nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "main_window.h"
#include "profile_store.h"
#include "system_library.h"
#include "win32_platform.h"

namespace {

double Ms() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void Drain(HWND main) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UpdateWindow(main);
}

void Report(const char* name, int runs, const std::function<void()>& work) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double start = Ms();
        work();
        t.push_back(Ms() - start);
    }
    std::sort(t.begin(), t.end());
    const double median = t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
    std::printf("%s %.2f %.2f %.2f\n", name, median, t.front(), t.back());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: list_timer RUNS EXPECTED\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    const LRESULT expected = _wtoi(argv[2]);

    roamwise::win32::InitCommonControlClasses();
    roamwise::win32::Win32Platform platform;
    roamwise::win32::MainWindow window(GetModuleHandleW(nullptr));
    if (!window.Create()) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    window.Show();
    const HWND main = window.Handle();
    const HWND list = GetDlgItem(main, roamwise::ids::kProfileList);
    roamwise::ProfileStore store(platform, platform.ProgramFolder());
    std::vector<std::wstring> names;
    auto refill = [&] {
        window.ClearProfiles();
        names = store.Names();
        for (const std::wstring& name : names) window.AddProfile(name);
        Drain(main);
    };
    refill();  // warm-up: the first listing fills the system's caches
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) != expected) {
        std::fprintf(stderr, "the list holds %ld names, expected %ld\n",
                     static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0)), static_cast<long>(expected));
        return 1;
    }
    Report("refill", runs, refill);
    Report("listing", runs, [&] { store.Names(); });
    Report("fill", runs, [&] {
        window.ClearProfiles();
        for (const std::wstring& name : names) window.AddProfile(name);
        Drain(main);
    });
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) != expected) {
        std::fprintf(stderr, "the list lost names while timing\n");
        return 1;
    }
    window.Destroy();
    return 0;
}
