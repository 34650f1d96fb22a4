// The Win32 view over real windows, without a form attached: what the core
// relies on from List1, Text1, the status bar, the pointer, window moves in
// twips and the viewer window.
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
using roamwise::win32::Win32View;
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
    // Twips to pixels and back as the screen's DPI gives them.
    long ToPx(long twips, int dpi) { return MulDiv(twips, dpi, 1440); }
    long ToTwips(long px, int dpi) { return MulDiv(px, 1440, dpi); }

    Win32View view_{GetModuleHandleW(nullptr)};
};

std::wstring StatusText(HWND status, int part) {
    wchar_t buffer[256] = {};
    SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

TEST_F(ViewTest, ListSortsWithoutRegardToCaseAndGivesTheSelectedText) {
    struct Case {
        std::vector<std::wstring> added;
        std::vector<std::wstring> shown;
    };
    const Case cases[] = {
        {{L"gamma", L"alpha", L"Beta"}, {L"alpha", L"Beta", L"gamma"}},
        {{L"Zeta", L"alpha", L"a2", L"B"}, {L"a2", L"alpha", L"B", L"Zeta"}},
        {{}, {}},
    };
    HWND list = Item(ids::kList1);
    for (const Case& c : cases) {
        view_.ListClear();
        for (const auto& item : c.added) view_.ListAdd(item);
        ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(c.shown.size()));
        EXPECT_EQ(view_.ListText(), L"") << "nothing is selected after a refill";
        for (size_t i = 0; i < c.shown.size(); ++i) {
            SendMessageW(list, LB_SETCURSEL, i, 0);
            EXPECT_EQ(view_.ListText(), c.shown[i]);
        }
    }
}

TEST_F(ViewTest, NameStatusAndTooltipTextsGoWhereTheCoreReadsThem) {
    // Texts of every length a profile name or status line takes (a tooltip
    // gives back no more than 80 characters).
    const std::wstring texts[] = {L"", L"Home office", L" Active IP: 192.0.2.5",
                                  std::wstring(79, L'x')};
    wchar_t tip[4096];
    for (const auto& text : texts) {
        SetWindowTextW(Item(ids::kText1), text.c_str());
        EXPECT_EQ(view_.NameText(), text);

        view_.SetStatus(text);
        EXPECT_EQ(StatusText(Item(ids::kStatusBar1), 0), text);

        for (int id : {ids::kList1, ids::kText1}) {
            if (id == ids::kList1) view_.SetListTooltip(text);
            else view_.SetNameTooltip(text);
            HWND tooltip = nullptr;
            // The tooltip control is the main window's only owned popup.
            for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
                wchar_t cls[64];
                GetClassNameW(w, cls, 64);
                if (GetWindow(w, GW_OWNER) == Main() && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) tooltip = w;
            }
            ASSERT_NE(tooltip, nullptr);
            TOOLINFOW ti = {};
            ti.cbSize = TTTOOLINFOW_V1_SIZE;
            ti.hwnd = Main();
            ti.uId = reinterpret_cast<UINT_PTR>(Item(id));
            tip[0] = L'?';
            tip[1] = 0;
            ti.lpszText = tip;
            SendMessageW(tooltip, TTM_GETTEXTW, 4096, reinterpret_cast<LPARAM>(&ti));
            EXPECT_EQ(std::wstring(tip), text) << "control " << id;
        }
    }
    // The name box has no length limit.
    const std::wstring longName(3000, L'n');
    SetWindowTextW(Item(ids::kText1), longName.c_str());
    EXPECT_EQ(view_.NameText(), longName);
}

TEST_F(ViewTest, WindowsMoveInTwipsAndKeepTheirSize) {
    view_.CreateViewer();
    const long places[][2] = {{0, 0}, {1500, 750}, {-3000, 600}, {14400, 7200}};
    for (WindowId window : {WindowId::Main, WindowId::Viewer}) {
        Rect before = view_.WindowRect(window);
        for (const auto& p : places) {
            SCOPED_TRACE(p[0]);
            view_.MoveWindow(window, p[0], p[1]);
            Rect r = view_.WindowRect(window);
            EXPECT_EQ(r.left, ToTwips(ToPx(p[0], view_.DpiX()), view_.DpiX()));
            EXPECT_EQ(r.top, ToTwips(ToPx(p[1], view_.DpiY()), view_.DpiY()));
            EXPECT_EQ(r.Width(), before.Width());
            EXPECT_EQ(r.Height(), before.Height());
            RECT px;
            GetWindowRect(window == WindowId::Main ? Main() : view_.Viewer().Handle(), &px);
            EXPECT_EQ(px.left, ToPx(p[0], view_.DpiX()));
        }
    }
}

TEST_F(ViewTest, ViewerIsCreatedHiddenAndItsTextFollowsTheGivenSize) {
    view_.CreateViewer();
    HWND viewer = view_.Viewer().Handle();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(IsWindowVisible(viewer));
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), Main());
    EXPECT_TRUE(GetWindowLongW(viewer, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    Size client = view_.ViewerClientSize();
    EXPECT_EQ(client.width, ToTwips(ToPx(4215, view_.DpiX()), view_.DpiX()));
    EXPECT_EQ(client.height, ToTwips(ToPx(2760, view_.DpiY()), view_.DpiY()));

    HWND text = GetDlgItem(viewer, ids::kText2);
    ASSERT_NE(text, nullptr);
    const Size sizes[] = {{3975, 2535}, {15, 15}, {0, 0}, {9000, 6000}};
    for (const Size& s : sizes) {
        view_.SizeViewerText(s);
        RECT rc;
        GetWindowRect(text, &rc);
        MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.top, 0);
        EXPECT_EQ(rc.right - rc.left, ToPx(s.width, view_.DpiX()));
        EXPECT_EQ(rc.bottom - rc.top, ToPx(s.height, view_.DpiY()));
    }

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

TEST_F(ViewTest, HourglassShowsOverTheClientAreaAndControlsOnlyWhileBusy) {
    HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
    struct Case {
        bool busy;
        int target;  // control id, or 0 for the window itself
        WORD hit;
        bool hourglass;
    };
    const Case cases[] = {
        {true, ids::kList1, HTCLIENT, true},     {true, ids::kText1, HTCLIENT, true},
        {true, ids::kList1, HTVSCROLL, true},    {true, 0, HTCLIENT, true},
        {true, 0, HTCAPTION, false},             {false, ids::kList1, HTCLIENT, false},
        {false, 0, HTCLIENT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.busy << " " << c.target << " " << c.hit);
        view_.SetBusyPointer(c.busy);
        HWND under = c.target ? Item(c.target) : Main();
        SetCursor(nullptr);
        SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(c.hit, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == wait, c.hourglass);
    }
}

TEST_F(ViewTest, EnterBelongsToTheNameBoxAndNotToTheList) {
    struct Case {
        int id;
        bool wantsEnter;
    };
    const Case cases[] = {{ids::kText1, true}, {ids::kList1, false}, {ids::kCmdSave, false}};
    for (const Case& c : cases) {
        MSG enter = {};
        enter.hwnd = Item(c.id);
        enter.message = WM_KEYDOWN;
        enter.wParam = VK_RETURN;
        LRESULT code = SendMessageW(Item(c.id), WM_GETDLGCODE, VK_RETURN,
                                    reinterpret_cast<LPARAM>(&enter));
        EXPECT_EQ((code & DLGC_WANTMESSAGE) != 0, c.wantsEnter) << c.id;
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
