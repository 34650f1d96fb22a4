// Drives the real Roamwise.exe from another process through window messages, and reads what it
// shows and stores. Every wait polls with a generous limit: a safety net for a hung program only.
#pragma once
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // no part of what ships
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include "../../src/win32/control_ids.h"

namespace e2e {
namespace fs = std::filesystem;
namespace ids = roamwise::ids;

inline bool WaitFor(const std::function<bool()>& done, DWORD limitMs = 30000) {
    for (DWORD start = GetTickCount(); !done(); Sleep(50))
        if (GetTickCount() - start > limitMs) return done();
    return true;
}
inline std::string Read(const fs::path& file) {  // "" when missing
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
// A value of the settings key, in the registry view of the program (the tests are built for its machine).
inline std::wstring Setting(const wchar_t* name) {  // "" unless text
    wchar_t text[64] = L"";
    DWORD size = sizeof text;
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quillfern\\Roamwise\\Settings", name, RRF_RT_REG_SZ, nullptr,
                        text, &size) ? L"" : text;
}
// Wine's settings (AppDefaults\Roamwise.exe: Roamwise's own); WINEDLLOVERRIDES set here would not reach it.
inline void SetWine(const std::wstring& key, const wchar_t* name, const wchar_t* value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\Wine\\" + key).c_str(), name, REG_SZ, value, wcslen(value) * 2 + 2);
}
// False when the program did not handle the message within the limit.
inline bool Send(HWND w, UINT message, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr, UINT limitMs = 10000) {
    return SendMessageTimeoutW(w, message, wp, lp, SMTO_NORMAL, limitMs, result);
}
inline std::wstring TextOf(HWND w) {
    wchar_t text[4096] = L"";
    return Send(w, WM_GETTEXT, 4096, LPARAM(text)) ? text : L"";
}
// The text a tooltip shows for a control: TTM_GETTEXTW is not marshalled between processes, so the
// record and its buffer live in the program's memory.
inline std::wstring TooltipText(HWND tooltip, HWND control) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tooltip, &pid);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    wchar_t text[1024] = L"";
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(TOOLINFOW) + sizeof text, MEM_COMMIT, PAGE_READWRITE));
    TOOLINFOW tool = {TTTOOLINFOW_V1_SIZE, 0, GetParent(control), UINT_PTR(control)};
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
    if (remote && WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr) &&
        SendMessageTimeoutW(tooltip, TTM_GETTEXTW, 1024, LPARAM(remote), SMTO_NORMAL, 10000, nullptr))
        ReadProcessMemory(process, remote + sizeof tool, text, sizeof text - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE), CloseHandle(process);
    return text;
}
class Program {
public:
    // Started from C:\: it must find its files beside itself.
    explicit Program(const fs::path& folder, const std::wstring& arguments = L"") {
        std::wstring exe = folder / L"Roamwise.exe", line = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &si, &pi_);
        CloseHandle(pi_.hThread);
    }
    ~Program() {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 30000);
        CloseHandle(pi_.hProcess);
    }
    bool Ended(DWORD limitMs = 30000) const { return WaitForSingleObject(pi_.hProcess, limitMs) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {  // once ended
        DWORD code = STILL_ACTIVE;
        return Ended() && GetExitCodeProcess(pi_.hProcess, &code) ? code : STILL_ACTIVE;
    }
    // A top-level window of the program by class ("#32770": a message box), visible unless said; null once it ends.
    HWND Window(const wchar_t* cls, DWORD limitMs = 30000, bool visible = true) const {
        HWND w = nullptr;
        WaitFor([&] {
            DWORD pid = 0;
            while ((w = FindWindowExW(nullptr, w, cls, nullptr)))
                if (GetWindowThreadProcessId(w, &pid) && pid == pi_.dwProcessId && (IsWindowVisible(w) || !visible))
                    return true;
            return Ended(0);
        }, limitMs);
        return w;
    }
    HWND Main() const { return Window(ROAMWISE_MAIN_CLASS); }
    HWND Control(int id) const { return GetDlgItem(Main(), id); }
    // Waits for a message box, answers it and gives "title: text" ("" when none came).
    std::wstring Answer(int button = IDOK) const {
        const HWND box = Window(L"#32770");
        const std::wstring seen = box ? TextOf(box) + L": " + TextOf(GetDlgItem(box, 0xFFFF)) : L"";
        if (box && PostMessageW(box, WM_COMMAND, button, 0)) WaitFor([&] { return !IsWindow(box); });
        return seen;
    }
    void Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }  // a box it opens must not hold us
    void SetName(const std::wstring& name) const { Send(Control(ids::kNameBox), WM_SETTEXT, 0, LPARAM(name.c_str())); }
    bool Select(const std::wstring& item) const {  // selecting does not notify: the driver does
        const HWND list = Control(ids::kProfileList);
        DWORD_PTR at = 0;
        return Send(list, LB_SELECTSTRING, WPARAM(-1), LPARAM(item.c_str()), &at) && int(at) != LB_ERR &&
               Send(Main(), WM_COMMAND, MAKEWPARAM(ids::kProfileList, LBN_SELCHANGE), LPARAM(list));
    }
    void Close() const { PostMessageW(Main(), WM_CLOSE, 0, 0); }
    std::wstring Status() const { return TextOf(Control(ids::kStatusBar)); }  // WM_GETTEXT gives part 0

private:
    PROCESS_INFORMATION pi_ = {};
};

}  // namespace e2e
