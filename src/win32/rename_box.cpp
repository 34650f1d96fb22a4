#include "rename_box.h"

#include <vector>

#include "resource.h"
#include "window_base.h"

namespace roamwise {
namespace win32 {

namespace {

struct Asked {
    std::wstring profile;
    std::wstring text;
    std::optional<std::wstring> typed;
};

std::wstring TextOf(HWND control) {
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1);
    return std::wstring(text.data(), static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
}

INT_PTR OnMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        const auto* asked = reinterpret_cast<const Asked*>(lParam);
        SetDlgItemTextW(box, ROAMWISE_RENAME_PROMPT, (L"New name for the profile \"" + asked->profile + L"\":").c_str());
        SetDlgItemTextW(box, ROAMWISE_RENAME_NAME, asked->text.c_str());
        HWND name = GetDlgItem(box, ROAMWISE_RENAME_NAME);
        SendMessageW(name, EM_SETSEL, 0, -1);
        SetFocus(name);
        return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    auto* asked = reinterpret_cast<Asked*>(GetWindowLongPtrW(box, DWLP_USER));
    if (LOWORD(wParam) == IDOK && asked) asked->typed = TextOf(GetDlgItem(box, ROAMWISE_RENAME_NAME));
    EndDialog(box, LOWORD(wParam));
    return TRUE;
}

INT_PTR CALLBACK Procedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowBase::Guard(box, [&] { return static_cast<LRESULT>(OnMessage(box, message, wParam, lParam)); });
}

}  // namespace

std::optional<std::wstring> AskNewName(HINSTANCE instance, HWND owner, const std::wstring& profile,
                                       const std::wstring& text) {
    Asked asked{profile, text, std::nullopt};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(ROAMWISE_DIALOG_RENAME), owner, &Procedure,
                    reinterpret_cast<LPARAM>(&asked));
    return asked.typed;
}

}  // namespace win32
}  // namespace roamwise
