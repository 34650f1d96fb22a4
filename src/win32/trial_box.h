// A trial load's question: Keep or Go Back, with a countdown the core words
// and asks for again four times a second; the box ends when it gives none.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "view.h"

namespace roamwise {
namespace win32 {

TrialChoice AskToKeep(HINSTANCE instance, HWND owner, const std::wstring& text,
                      const std::function<std::optional<std::wstring>()>& countdown);

}  // namespace win32
}  // namespace roamwise
