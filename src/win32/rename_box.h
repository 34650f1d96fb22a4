// The small box that asks for a profile's new name, the old one filled in
// and selected: OK takes what is typed, Cancel or Escape nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace roamwise {
namespace win32 {

std::optional<std::wstring> AskNewName(HINSTANCE instance, HWND owner, const std::wstring& profile);

}  // namespace win32
}  // namespace roamwise
