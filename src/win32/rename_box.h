// The small box that asks for a profile's new name, filled in with text
// (the old name, or a refused one to correct), all of it selected: OK takes
// what is typed, Cancel or Escape nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace roamwise {
namespace win32 {

std::optional<std::wstring> AskNewName(HINSTANCE instance, HWND owner, const std::wstring& profile,
                                       const std::wstring& text);

}  // namespace win32
}  // namespace roamwise
