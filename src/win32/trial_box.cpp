#include "trial_box.h"

#include "resource.h"
#include "window_base.h"

namespace roamwise {
namespace win32 {

namespace {

constexpr UINT_PTR kTick = 1;
constexpr UINT kTickMs = 250;

// What the box ends with: the choice, one up, so that no choice reads as a failure (0 or -1).
void End(HWND box, TrialChoice choice) { EndDialog(box, 1 + static_cast<INT_PTR>(choice)); }

struct Asked {
    const std::wstring& text;
    const std::function<std::optional<std::wstring>()>& countdown;
    std::wstring shown;
};

// The countdown line again; false once the core ends the question.
bool Tick(HWND box, Asked& asked) {
    const std::optional<std::wstring> line = asked.countdown();
    if (!line) return false;
    if (*line != asked.shown) SetDlgItemTextW(box, ROAMWISE_TRIAL_COUNTDOWN, (asked.shown = *line).c_str());
    return true;
}

INT_PTR OnMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* asked = reinterpret_cast<Asked*>(GetWindowLongPtrW(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        asked = reinterpret_cast<Asked*>(lParam);
        SetDlgItemTextW(box, ROAMWISE_TRIAL_TEXT, asked->text.c_str());
        SetTimer(box, kTick, kTickMs, nullptr);
        if (!Tick(box, *asked)) End(box, TrialChoice::Over);
        return TRUE;  // the focus goes to Keep
    case WM_TIMER:
        if (asked && wParam == kTick && !Tick(box, *asked)) End(box, TrialChoice::Over);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) End(box, TrialChoice::Keep);
        if (LOWORD(wParam) == ROAMWISE_TRIAL_GO_BACK) End(box, TrialChoice::GoBack);
        if (LOWORD(wParam) == IDCANCEL) End(box, TrialChoice::Closed);  // Escape, the close button
        return TRUE;
    case WM_DESTROY: KillTimer(box, kTick); return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK Procedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowBase::Guard(box, [&] { return static_cast<LRESULT>(OnMessage(box, message, wParam, lParam)); });
}

}  // namespace

TrialChoice AskToKeep(HINSTANCE instance, HWND owner, const std::wstring& text,
                      const std::function<std::optional<std::wstring>()>& countdown) {
    Asked asked{text, countdown, L""};
    const INT_PTR chosen = DialogBoxParamW(instance, MAKEINTRESOURCEW(ROAMWISE_DIALOG_TRIAL), owner, &Procedure,
                                           reinterpret_cast<LPARAM>(&asked)) - 1;
    // A box that could not be shown or was torn down (the window closed) goes back, as one closed does.
    for (const TrialChoice choice : {TrialChoice::Keep, TrialChoice::GoBack, TrialChoice::Over})
        if (chosen == static_cast<INT_PTR>(choice)) return choice;
    return TrialChoice::Closed;
}

}  // namespace win32
}  // namespace roamwise
