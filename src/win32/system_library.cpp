#include "system_library.h"

#include <commctrl.h>

#include <vector>

namespace roamwise {
namespace win32 {

namespace {

HMODULE Kernel32() { return GetModuleHandleW(L"kernel32.dll"); }

// True when the process's activation context (the manifest) redirects the
// DLL to a side-by-side assembly. Windows 2000 has no such contexts.
bool RedirectedByManifest(const wchar_t* dll) {
    auto find = ExportOf<decltype(&FindActCtxSectionStringW)>(Kernel32(), "FindActCtxSectionStringW");
    if (!find) return false;
    // Windows XP's record, the smallest every version takes; the headers'
    // own has grown since, and nothing past it is read here.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(ACTCTX_SECTION_KEYED_DATA_2600);
    return find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, dll, &data) != FALSE;
}

}  // namespace

std::wstring SystemFolderPath() {
    const UINT needed = GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) return std::wstring();
    std::vector<wchar_t> buffer(needed + 1);
    const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}

Library LoadSystemLibrary(const wchar_t* name) {
    const std::wstring folder = SystemFolderPath();
    if (folder.empty()) return Library();
    return Library(LoadLibraryW((folder + L"\\" + name).c_str()));
}

void KeepCurrentFolderOutOfDllSearch() {
    if (auto set = ExportOf<decltype(&SetDllDirectoryW)>(Kernel32(), "SetDllDirectoryW")) set(L"");
}

void InitCommonControlClasses() {
    // Where the manifest redirects comctl32 (XP and later), the bare name
    // binds to the side-by-side v6 before any folder is searched, while a
    // full path would bypass the manifest and give the system folder's v5.
    // Without redirection (Windows 2000) only the full path is safe.
    Library comctl = RedirectedByManifest(L"comctl32.dll") ? Library(LoadLibraryW(L"comctl32.dll"))
                                                             : LoadSystemLibrary(L"comctl32.dll");
    auto init = ExportOf<decltype(&InitCommonControlsEx)>(comctl.get(), "InitCommonControlsEx");
    if (!init) return;
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    if (!init(&classes)) {
        classes.dwICC = ICC_BAR_CLASSES;  // older comctl32 knows no standard classes
        init(&classes);
    }
    comctl.Release();  // its window classes live as long as the process
}

}  // namespace win32
}  // namespace roamwise
