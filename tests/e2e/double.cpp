// Stands in for netsh.exe and ipconfig.exe in the system folder and for any tool planted beside
// Roamwise.exe; built as a DLL, it is an iphlpapi.dll planted there. It keeps in the folder
// %ROAMWISE_DOUBLE_DIR%: calls.log (a line per run: "planted " when it lies beside Roamwise.exe, its
// name, its arguments); hold (while it exists, the tool takes its time, a minute at most); state (the
// machine's settings: what a tool prints, and what "netsh -f FILE" takes from FILE).
#include "driver.h"

using namespace e2e;
static const fs::path kState = _wgetenv(L"ROAMWISE_DOUBLE_DIR") ? _wgetenv(L"ROAMWISE_DOUBLE_DIR") : L".";
static void Log(const std::wstring& line) {
    std::ofstream(kState / "calls.log", std::ios::app | std::ios::binary) << fs::path(line).u8string() << "\r\n";
}
#ifdef e2e_planted_EXPORTS  // CMake's mark of the DLL
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Log(L"planted iphlpapi.dll");
    return TRUE;
}
#else
int wmain(int argc, wchar_t** argv) {
    const fs::path me(_wpgmptr);
    std::wstring line = (fs::exists(me.parent_path() / L"Roamwise.exe") ? L"planted " : L"") + me.filename().wstring();
    for (int i = 1; i < argc; ++i) line += std::wstring(L" ") + argv[i];
    Log(line);
    for (int i = 0; i < 1200 && fs::exists(kState / "hold"); ++i) Sleep(50);
    DWORD written = 0;
    const std::string state = Read(kState / "state");
    if (argc == 3 && !lstrcmpiW(argv[1], L"-f"))
        Write(kState / "state", Read(argv[2]));
    else  // as they are: a text-mode stream would add CRs
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), state.data(), DWORD(state.size()), &written, nullptr);
    return 0;
}
#endif
