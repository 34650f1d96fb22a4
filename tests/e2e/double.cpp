// Stands in for netsh.exe and ipconfig.exe in the system folder and for any tool planted beside
// Roamwise.exe; built as a DLL, it is an iphlpapi.dll planted there. It keeps in the folder
// %ROAMWISE_DOUBLE_DIR%: calls.log (a line per run: "planted " when it lies beside Roamwise.exe, its
// name, its arguments); hold (while it exists, the tool takes its time, a minute at most); state (the
// machine's settings: what a tool prints, and what "netsh -f FILE" takes from FILE, comment lines aside). FILE may also say
// what netsh prints ("say TEXT" on standard output, "err TEXT" on standard error) and its exit code ("exit N").
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
    const auto print = [&](DWORD stream, const std::string& bytes) {  // as they are: a text-mode stream would add CRs
        WriteFile(GetStdHandle(stream), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    };
    if (argc != 3 || lstrcmpiW(argv[1], L"-f")) return print(STD_OUTPUT_HANDLE, Read(kState / "state")), 0;
    const std::string script = Read(argv[2]);
    std::string settings;  // what it sets: netsh skips comments
    for (size_t at = 0, end; at < script.size(); at = end + 1)
        if (script[at] != '#') settings += script.substr(at, (end = script.find('\n', at)) - at + 1);
        else end = script.find('\n', at);
    Write(kState / "state", settings);
    int code = 0;
    for (size_t at = 0, end; at < script.size(); at = end + 1) {
        const std::string line = script.substr(at, (end = script.find('\n', at)) - at);
        if (line.rfind("say ", 0) == 0 || line.rfind("err ", 0) == 0)
            print(line[0] == 's' ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, line.substr(4) + "\n");
        else if (line.rfind("exit ", 0) == 0)
            code = atoi(line.c_str() + 5);
    }
    return code;
}
#endif
