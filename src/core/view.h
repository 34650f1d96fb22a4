// What Roamwise's two windows show. The Win32 windows implement these
// interfaces themselves; the core tests implement them with small fakes.
// Geometry is in twips.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace roamwise {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// The keys and clicks the windows pass on; what each does is the core's to decide.
// A double-click is passed on only when it lands on a profile.
enum class Input { Enter, DoubleClick, DeleteKey, F2, F5, Escape, SelectAll };

// The profile list's commands, however asked for: a key, a click, its menu.
enum class ListCommand { Load, Compare, Rename, Delete, CreateShortcut, Refresh, Undo };
struct MenuItem {
    ListCommand command;
    std::wstring text;  // empty: a line between groups of items
    bool isDefault;
};

// How the question of a trial load ended.
enum class TrialChoice { Keep, GoBack, Closed, Over };

struct Rect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
};

struct Size {
    long width = 0;
    long height = 0;
};

// A top-level window whose place is remembered between runs.
class PlacedWindow {
public:
    virtual ~PlacedWindow() = default;
    // Outer rectangle on the screen.
    virtual Rect Placement() = 0;
    // Moves the window, keeping its size.
    virtual void MoveTo(long left, long top) = 0;
    // From the window's top edge down to its client area: the title bar's row.
    virtual long TitleBarHeight() = 0;
    // The work areas of all monitors.
    virtual std::vector<Rect> WorkAreas() = 0;
};

// The main window: profile list, name box, status bar, message boxes. Before
// the window exists (and in a start without it) only its boxes show, with no
// owner.
class MainView : public PlacedWindow {
public:
    // A modal box with no icon, owned by the main window while it exists.
    virtual Answer ShowMessage(const std::wstring& text, const std::wstring& title, Buttons buttons) = 0;
    virtual void Beep() = 0;
    // Where the window is: at the top of its own message loop, with nothing
    // of its own open (no box, dialog, menu, move or size loop, no tool
    // waited for). Anything that reaches it elsewhere came through such a loop.
    virtual bool AtRest() = 0;
    // The list's context menu, at the pointer or at the selected profile;
    // gives the index of the chosen item, or -1.
    virtual int ShowMenu(const std::vector<MenuItem>& items) = 0;
    // A trial load's question, Keep or Go Back: the text, and below it the
    // line countdown gives, asked again every moment; when it gives nothing,
    // the box ends (Over). Before the window exists, the box stands alone.
    virtual TrialChoice AskToKeep(const std::wstring& text,
                                  const std::function<std::optional<std::wstring>()>& countdown) = 0;
    // Closing waits for a tool: the window stays, taking no input.
    virtual void TakeNoInput() = 0;
    // Destroys the window, which ends the program's message loop.
    virtual void CloseWindow() = 0;

    // The sorted profile list; the selected profile is empty when none is.
    virtual void ClearProfiles() = 0;
    virtual void AddProfile(const std::wstring& name) = 0;
    virtual std::wstring SelectedProfile() = 0;
    // Selects the listed profile of that name, if there is one.
    virtual void SelectProfile(const std::wstring& name) = 0;
    // The rename box for the profile, filled with text, all of it selected;
    // nothing when cancelled.
    virtual std::optional<std::wstring> AskNewName(const std::wstring& profile, const std::wstring& text) = 0;
    // Lines end with "\r\n".
    virtual void SetProfileTooltip(const std::wstring& text) = 0;

    // The profile-name box.
    virtual std::wstring TypedName() = 0;
    virtual void SetNameTooltip(const std::wstring& text) = 0;

    // Panel 1 of the status bar, and the hourglass over the window.
    virtual void SetStatus(const std::wstring& text) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
};

// The current-settings viewer: created hidden on first use, destroyed when
// closed and created afresh the next time.
class ViewerView : public PlacedWindow {
public:
    virtual void Create() = 0;
    virtual void Destroy() = 0;
    // Shows the window in front of the main window and activates it.
    virtual void Show() = 0;
    virtual void SetText(const std::wstring& text) = 0;
    virtual void SelectAllText() = 0;
    virtual Size ClientSize() = 0;
    // The text box's size; its left and top stay.
    virtual void SizeText(Size size) = 0;
};

}  // namespace roamwise
