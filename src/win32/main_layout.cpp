#include "main_layout.h"

#include <commctrl.h>

#include "control_ids.h"

namespace roamwise {
namespace win32 {

namespace {

using namespace roamwise::ids;

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// Tab order first (profile list .. about button), then the controls that
// never take the focus, the group boxes at the bottom of the z-order.
// A list box and an edit without a visible label of their own are named by a
// hidden label just before them in the z-order (Windows looks there for
// both); the list box also by its own text, which it never shows (where
// Wine looks), the magnifier by its text, which its icon hides.
const ControlSpec kControls[] = {
    {kProfileListLabel, L"STATIC", L"Profiles", SS_LEFT | SS_NOPREFIX, 0, {240, 480, 2055, 255}, ControlFont::Window, true},
    {kProfileList, L"LISTBOX", L"Profiles",
     LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {240, 480, 2055, 1035}, ControlFont::Window},
    {kLoadButton, L"BUTTON", L"Load", kButton, 0, {2520, 480, 1215, 375}, ControlFont::Window},
    {kDeleteButton, L"BUTTON", L"Delete", kButton, 0, {2520, 1080, 1215, 375}, ControlFont::Window},
    {kNameBoxLabel, L"STATIC", L"Profile name", SS_LEFT | SS_NOPREFIX, 0, {240, 2160, 2055, 255}, ControlFont::Window, true},
    {kNameBox, L"EDIT", L"", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {240, 2160, 2055, 405}, ControlFont::Window},
    {kSaveButton, L"BUTTON", L"Save", kButton, 0, {2520, 2160, 1215, 375}, ControlFont::Window},
    {kSettingsButton, L"BUTTON", L"View Current Settings", kButton | BS_ICON, 0, {2520, 3120, 375, 375},
     ControlFont::SansSerif},
    {kAboutButton, L"BUTTON", L"?", kButton, 0, {3360, 3120, 375, 375}, ControlFont::About},
    {kSettingsLabel, L"STATIC", L"View Current  Settings:", SS_LEFT | SS_NOPREFIX, 0,
     {360, 3120, 2175, 255}, ControlFont::Window},
    {kStatusBar, nullptr, L"", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0,
     {0, 3735, 3975, 375}, ControlFont::Window},
    {kLoadFrame, L"BUTTON", L"Load Network Settings", BS_GROUPBOX, 0, {120, 120, 3735, 1575},
     ControlFont::Window},
    {kSaveFrame, L"BUTTON", L"Save Current Network Settings", BS_GROUPBOX, 0,
     {120, 1800, 3735, 975}, ControlFont::SansSerif},
    {kSettingsFrame, L"BUTTON", L"", BS_GROUPBOX, 0, {120, 2880, 3015, 735}, ControlFont::SansSerif},
};

}  // namespace

const ControlSpec* MainControls() { return kControls; }

std::size_t MainControlCount() { return sizeof kControls / sizeof kControls[0]; }

}  // namespace win32
}  // namespace roamwise
