// System DLLs loaded at run time from the system folder by full path, never
// by a search that could find a planted copy in the program's folder (which
// an elevated Roamwise would load).
#pragma once

#include <windows.h>

#include <string>

#include "handles.h"

namespace roamwise {
namespace win32 {

// The system folder, without a trailing backslash; empty on failure.
std::wstring SystemFolderPath();

// <system folder>\name, or nothing.
Library LoadSystemLibrary(const wchar_t* name);

// An exported function by name, as the given pointer type; null when the
// module lacks it.
template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Takes the current folder out of the DLL search where the system allows it
// (Windows XP SP1 and later).
void KeepCurrentFolderOutOfDllSearch();

// Loads comctl32 and registers the status bar, tooltip and standard control
// classes. The module stays loaded for the life of the process.
void InitCommonControlClasses();

}  // namespace win32
}  // namespace roamwise
