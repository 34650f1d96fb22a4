// Stands in for ipconfig and netsh in the benchmark's Wine prefix, so that
// the figures are Roamwise's own and not the system tools'.
//   ipconfig.exe  prints a short report and exits at once.
//   netsh.exe     "-c interface dump": appends a line to calls.log in the
//                 folder named by ROAMWISE_BENCH_DIR, sleeps the milliseconds
//                 written in delay_ms there, prints a small dump. Anything
//                 else exits with 0, as Wine's stub does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!wcsstr(_wcslwr(self), L"netsh")) {
        std::fputs("\r\nWindows IP Configuration\r\n\r\n"
                   "   Host Name . . . . . . . . . . . . : bench\r\n\r\n"
                   "Ethernet adapter Local Area Connection:\r\n\r\n"
                   "   IP Address. . . . . . . . . . . . : 192.0.2.5\r\n"
                   "   Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n",
                   stdout);
        return 0;
    }
    const wchar_t* dir = _wgetenv(L"ROAMWISE_BENCH_DIR");
    if (argc < 4 || _wcsicmp(argv[3], L"dump") != 0 || !dir) return 0;
    const std::wstring folder = dir;
    if (FILE* log = _wfopen((folder + L"\\calls.log").c_str(), L"a")) {
        std::fputs("dump\n", log);
        std::fclose(log);
    }
    if (FILE* delay = _wfopen((folder + L"\\delay_ms").c_str(), L"r")) {
        unsigned long ms = 0;
        if (std::fscanf(delay, "%lu", &ms) == 1) Sleep(ms);
        std::fclose(delay);
    }
    std::fputs("# Interface configuration\r\npushd interface ip\r\n"
               "set address name=\"Local Area Connection\" source=static address=192.0.2.5 "
               "mask=255.255.255.0\r\npopd\r\n",
               stdout);
    return 0;
}
