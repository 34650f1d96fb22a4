// The Win32 view over real windows, without a form attached: what the core
// relies on from List1, Text1, the tooltips, the pointer and the viewer
// window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "control_ids.h"
#include "win32_view.h"

using roamwise::Rect;
using roamwise::Size;
using roamwise::WindowId;
namespace ids = roamwise::ids;

namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        ASSERT_TRUE(view_.CreateMainWindow());
    }
    void TearDown() override {
        view_.DestroyWindows();
        MSG msg;  // the main window's WM_DESTROY posts a quit message
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND Main() { return view_.Main().Handle(); }
    HWND Item(int id) { return GetDlgItem(Main(), id); }
    // Twips as far as the screen's pixels give them.
    long TwipsX(long twips) { return MulDiv(MulDiv(twips, view_.DpiX(), 1440), 1440, view_.DpiX()); }
    long TwipsY(long twips) { return MulDiv(MulDiv(twips, view_.DpiY(), 1440), 1440, view_.DpiY()); }

    roamwise::win32::Win32View view_{GetModuleHandleW(nullptr)};
};

TEST_F(ViewTest, ListSortsWithoutRegardToCaseAndGivesTheSelectedText) {
    const std::vector<std::wstring> shown = {L"a2", L"alpha", L"B", L"Zeta"};
    view_.ListAdd(L"stale");
    view_.ListClear();
    for (const wchar_t* item : {L"Zeta", L"alpha", L"a2", L"B"}) view_.ListAdd(item);
    ASSERT_EQ(SendMessageW(Item(ids::kList1), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(shown.size()));
    EXPECT_EQ(view_.ListText(), L"") << "nothing is selected after a refill";
    for (size_t i = 0; i < shown.size(); ++i) {
        SendMessageW(Item(ids::kList1), LB_SETCURSEL, i, 0);
        EXPECT_EQ(view_.ListText(), shown[i]);
    }
}

TEST_F(ViewTest, NameAndTooltipTextsGoWhereTheCoreReadsThem) {
    // The tooltip control is the main window's only owned popup.
    HWND tooltip = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t cls[64];
        GetClassNameW(w, cls, 64);
        if (GetWindow(w, GW_OWNER) == Main() && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) tooltip = w;
    }
    ASSERT_NE(tooltip, nullptr);
    // A tooltip gives back no more than 80 characters, its zero included.
    const std::pair<std::wstring, std::wstring> texts[] = {{L"Home office", L"Work"}, {L"", std::wstring(79, L'x')}};
    for (const auto& [listTip, nameTip] : texts) {
        view_.SetListTooltip(listTip);
        view_.SetNameTooltip(nameTip);
        for (const auto& [id, expected] : {std::pair{ids::kList1, listTip}, std::pair{ids::kText1, nameTip}}) {
            wchar_t tip[4096] = L"?";
            TOOLINFOW ti = {};
            ti.cbSize = TTTOOLINFOW_V1_SIZE;
            ti.hwnd = Main();
            ti.uId = reinterpret_cast<UINT_PTR>(Item(id));
            ti.lpszText = tip;
            SendMessageW(tooltip, TTM_GETTEXTW, 4096, reinterpret_cast<LPARAM>(&ti));
            EXPECT_EQ(std::wstring(tip), expected) << "control " << id;
        }
    }
    // The name box has no length limit.
    for (const std::wstring& name : {std::wstring(), std::wstring(L"Home office"), std::wstring(3000, L'n')}) {
        SetWindowTextW(Item(ids::kText1), name.c_str());
        EXPECT_EQ(view_.NameText(), name);
    }
}

TEST_F(ViewTest, ViewerIsCreatedHiddenAndShowsALargeCaptureWhole) {
    view_.CreateViewer();
    HWND viewer = view_.Viewer().Handle();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(IsWindowVisible(viewer));
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), Main());
    EXPECT_EQ(view_.ViewerClientSize().width, TwipsX(4215));
    EXPECT_EQ(view_.ViewerClientSize().height, TwipsY(2760));

    HWND text = GetDlgItem(viewer, ids::kText2);
    ASSERT_NE(text, nullptr);
    // A capture of several megabytes is shown whole.
    std::wstring big;
    while (big.size() < 5u * 1024 * 1024) big += L"Ethernet adapter d0:  IPv4 address . . : 192.0.2.5\r\n";
    view_.SetViewerText(big);
    EXPECT_EQ(static_cast<size_t>(SendMessageW(text, WM_GETTEXTLENGTH, 0, 0)), big.size());

    view_.ShowViewer();
    EXPECT_TRUE(IsWindowVisible(viewer));
    view_.DestroyViewer();
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_EQ(view_.Viewer().Handle(), nullptr);
}

TEST_F(ViewTest, HourglassOverTheClientAreaAndControlsOnlyWhileBusyAndEnterOnlyForTheNameBox) {
    HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
    struct Case {
        bool busy;
        int target;  // control id, or 0 for the window itself
        WORD hit;
        bool hourglass;
    };
    const Case cases[] = {
        {true, ids::kList1, HTCLIENT, true}, {true, ids::kText1, HTCLIENT, true}, {true, ids::kList1, HTVSCROLL, true},
        {true, 0, HTCLIENT, true},           {true, 0, HTCAPTION, false},         {false, ids::kList1, HTCLIENT, false},
        {false, 0, HTCLIENT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.busy << " " << c.target << " " << c.hit);
        view_.SetBusyPointer(c.busy);
        SetCursor(nullptr);
        SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(c.target ? Item(c.target) : Main()),
                     MAKELPARAM(c.hit, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == wait, c.hourglass);
    }

    for (int id : {ids::kText1, ids::kList1, ids::kCmdSave}) {
        MSG enter = {};
        enter.hwnd = Item(id);
        enter.message = WM_KEYDOWN;
        enter.wParam = VK_RETURN;
        const LRESULT code = SendMessageW(Item(id), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
        EXPECT_EQ((code & DLGC_WANTMESSAGE) != 0, id == ids::kText1) << id;
    }
}

TEST_F(ViewTest, EveryMethodIsHarmlessOnceTheWindowsAreGone) {
    view_.CreateViewer();
    view_.DestroyWindows();
    EXPECT_EQ(view_.Main().Handle(), nullptr);
    EXPECT_EQ(view_.Viewer().Handle(), nullptr);
    view_.ListClear();
    view_.ListAdd(L"home");
    EXPECT_EQ(view_.ListText(), L"");
    EXPECT_EQ(view_.NameText(), L"");
    view_.SetListTooltip(L"x");
    view_.SetNameTooltip(L"x");
    view_.SetStatus(L" Active IP: Not Connected");
    view_.SetBusyPointer(true);
    view_.SetBusyPointer(false);
    EXPECT_EQ(view_.WindowRect(WindowId::Main), Rect{});
    view_.MoveWindow(WindowId::Main, 100, 100);
    view_.SetViewerText(L"text");
    view_.SizeViewerText(Size{100, 100});
    view_.ShowViewer();
    EXPECT_EQ(view_.ViewerClientSize().width, 0);
    EXPECT_FALSE(view_.WorkAreas().empty()) << "work areas do not depend on the windows";
}

}  // namespace
