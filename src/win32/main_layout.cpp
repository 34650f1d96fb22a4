#include "main_layout.h"

#include <commctrl.h>

#include "control_ids.h"

namespace roamwise {
namespace win32 {

namespace {

using namespace roamwise::ids;

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// Tab order first (List1 .. Command1), then the controls that never take
// the focus, the group boxes at the bottom of the z-order.
const ControlSpec kControls[] = {
    {kList1, L"LISTBOX", L"",
     LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {240, 480, 2055, 1035}, ControlFont::Window},
    {kCmdLoad, L"BUTTON", L"Load", kButton, 0, {2520, 480, 1215, 375}, ControlFont::Window},
    {kCmdDelete, L"BUTTON", L"Delete", kButton, 0, {2520, 1080, 1215, 375}, ControlFont::Window},
    {kText1, L"EDIT", L"", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {240, 2160, 2055, 405}, ControlFont::Window},
    {kCmdSave, L"BUTTON", L"Save", kButton, 0, {2520, 2160, 1215, 375}, ControlFont::Window},
    {kCmdSettings, L"BUTTON", L"", kButton | BS_ICON, 0, {2520, 3120, 375, 375},
     ControlFont::SansSerif},
    {kCommand1, L"BUTTON", L"?", kButton, 0, {3360, 3120, 375, 375}, ControlFont::About},
    {kLabel1, L"STATIC", L"View Current  Settings:", SS_LEFT | SS_NOPREFIX, 0,
     {360, 3120, 2175, 255}, ControlFont::Window},
    {kStatusBar1, nullptr, L"", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0,
     {0, 3735, 3975, 375}, ControlFont::Window},
    {kFrame1, L"BUTTON", L"Load Network Settings", BS_GROUPBOX, 0, {120, 120, 3735, 1575},
     ControlFont::Window},
    {kFrame2, L"BUTTON", L"Save Current Network Settings", BS_GROUPBOX, 0,
     {120, 1800, 3735, 975}, ControlFont::SansSerif},
    {kFrame3, L"BUTTON", L"", BS_GROUPBOX, 0, {120, 2880, 3015, 735}, ControlFont::SansSerif},
};

}  // namespace

const ControlSpec* MainControls() { return kControls; }

std::size_t MainControlCount() { return sizeof kControls / sizeof kControls[0]; }

const ControlSpec* FindMainControl(int id) {
    for (const ControlSpec& c : kControls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

int FontHeight(int centiPoints, int dpi) { return -MulDiv(centiPoints, dpi, 7200); }

int TwipsToPixels(long twips, int dpi) { return MulDiv(static_cast<int>(twips), dpi, 1440); }

long PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

}  // namespace win32
}  // namespace roamwise
