// What Roamwise's two windows show. The Win32 adapter implements it over the
// real controls; tests implement it with fakes. Geometry is in twips.
#pragma once

#include <string>
#include <vector>

namespace roamwise {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };
enum class WindowId { Main, Viewer };

struct Rect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Size {
    long width = 0;
    long height = 0;
};

class View {
public:
    virtual ~View() = default;

    // Modal box with no icon. Owned by the main window while it exists.
    virtual Answer ShowMessage(const std::wstring& text, const std::wstring& title,
                               Buttons buttons) = 0;
    virtual void Beep() = 0;

    // List1: a sorted list box; ListText is the selected item, or empty.
    virtual void ListClear() = 0;
    virtual void ListAdd(const std::wstring& item) = 0;
    virtual std::wstring ListText() = 0;
    virtual void SetListTooltip(const std::wstring& text) = 0;

    // Text1: the profile-name box.
    virtual std::wstring NameText() = 0;
    virtual void SetNameTooltip(const std::wstring& text) = 0;

    // Panel 1 of the status bar.
    virtual void SetStatus(const std::wstring& text) = 0;
    // The main window's pointer: hourglass or normal.
    virtual void SetBusyPointer(bool busy) = 0;

    // Outer rectangle of a window, and moving it (keeping its size).
    virtual Rect WindowRect(WindowId window) = 0;
    virtual void MoveWindow(WindowId window, long left, long top) = 0;
    // Work areas of all monitors.
    virtual std::vector<Rect> WorkAreas() = 0;

    // The viewer window (frmIpconfig) and its text box Text2.
    virtual void CreateViewer() = 0;    // hidden
    virtual void DestroyViewer() = 0;
    virtual void ShowViewer() = 0;
    virtual void SetViewerText(const std::wstring& text) = 0;
    virtual Size ViewerClientSize() = 0;
    virtual void SizeViewerText(Size size) = 0;
};

}  // namespace roamwise
