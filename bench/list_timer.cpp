// list_timer RUNS EXPECTED
// Lies in an application directory whose Profiles folder holds EXPECTED
// profile files. Creates the real main window (shown, not started up: no
// tool runs) and times, median of RUNS each:
//   file_list   frmRoamwise::File_List() plus the messages it leaves behind
//               (the list draws again), as a user waits for it
//   find_files  the directory search alone
//   fill        clearing and refilling the list box alone, same names
// Prints "<name> <median ms> <min ms> <max ms>" per measure. Exits 1 when the
// list does not end up holding EXPECTED names: a figure for a wrong list
// would mean nothing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "frm_roamwise.h"
#include "message_pump.h"
#include "win32_platform.h"
#include "win32_view.h"

namespace {

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

void Drain(HWND main) {
    roamwise::win32::PumpPending(nullptr);
    if (main) UpdateWindow(main);
}

void Report(const char* name, int runs, const std::function<void()>& work) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const LONGLONG start = Now();
        work();
        t.push_back(Ms(Now() - start));
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

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    roamwise::win32::Win32Platform platform;
    roamwise::win32::Win32View view(GetModuleHandleW(nullptr));
    roamwise::frmRoamwise form(platform, view);
    view.Attach(form);
    if (!view.CreateMainWindow()) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    view.ShowMainWindow();
    HWND main = view.Main().Handle();
    HWND list = view.Main().Control(roamwise::ids::kList1);
    Drain(main);

    const std::wstring directory = form.ProfileDirectory();
    std::vector<std::wstring> names;
    for (const roamwise::DirEntry& e : platform.FindFiles(directory + L"\\*")) {
        if (e.name.size() > 4 && _wcsicmp(e.name.c_str() + e.name.size() - 4, L".txt") == 0)
            names.push_back(e.name.substr(0, e.name.size() - 4));
    }

    form.File_List();  // warm-up: the first search fills the system's caches
    Drain(main);
    const LRESULT listed = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (listed != expected || static_cast<LRESULT>(names.size()) != expected) {
        std::fprintf(stderr, "the list holds %ld names, the folder %zu, expected %ld\n",
                     static_cast<long>(listed), names.size(), static_cast<long>(expected));
        return 1;
    }

    Report("file_list", runs, [&] {
        form.File_List();
        Drain(main);
    });
    Report("find_files", runs, [&] { platform.FindFiles(directory + L"\\*"); });
    Report("fill", runs, [&] {
        view.ListClear();
        for (const std::wstring& name : names) view.ListAdd(name);
        Drain(main);
    });
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) != expected) {
        std::fprintf(stderr, "the list lost names while timing\n");
        return 1;
    }
    view.DestroyWindows();
    return 0;
}
