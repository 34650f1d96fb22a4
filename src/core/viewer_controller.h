// A read-only text window's behaviour (the current-settings viewer, and the
// comparison of a profile with the settings in force): one program-wide
// window each, created hidden on first use, placed where it was last closed
// (under its own pair of settings), destroyed when closed and created afresh
// the next time.
#pragma once

#include <string>

#include "error_report.h"
#include "platform.h"
#include "view.h"
#include "window_position.h"

namespace roamwise {

class ViewerController {
public:
    // prefix: the settings its place is kept under, prefix + "Left" and + "Top".
    ViewerController(Platform& platform, ErrorReport& report, ViewerView& view, const wchar_t* prefix)
        : view_(view), position_(platform, report, view, prefix) {}

    bool Loaded() const { return loaded_; }
    void SetText(const std::wstring& text);
    void Show();
    // The viewer's size changed: the text box fills it again.
    void Resized();
    // Closed by the user or with the main window: stores the position.
    void Close();
    // Stores the position without closing (the session ends).
    void StorePosition();
    // Escape closes the viewer, Ctrl+A selects its text; gives whether the input was the viewer's.
    bool InputGiven(Input input);

private:
    void EnsureLoaded();

    ViewerView& view_;
    WindowPosition position_;
    bool loaded_ = false;
};

}  // namespace roamwise
