// End-to-end tests: the real Roamwise.exe under Wine, driven from outside
// through its windows, with a netsh double in the prefix's system
// directories. Bad input and faults are in hardening_tests.cpp.
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

using namespace fixture;

// CTest reads this program through a pipe: unbuffered, what a case printed
// still shows when a later one hangs.
const int kUnbufferedOutput = std::setvbuf(stdout, nullptr, _IONBF, 0);

class e2e : public Session {};

// --- the main window ------------------------------------------------------------------

TEST_F(e2e, MainWindowLayoutAt96Dpi) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the layout below is given for 96 dots per inch";

    Roamwise* program = Launch();
    ASSERT_TRUE(program);

    // Design in twips, in the main window's client coordinates.
    struct Control {
        const char* name;
        int id;
        long left, top, width, height;
    };
    const Control controls[] = {
        {"List1", ids::kList1, 240, 480, 2055, 1035},
        {"cmdLoad", ids::kCmdLoad, 2520, 480, 1215, 375},
        {"cmdDelete", ids::kCmdDelete, 2520, 1080, 1215, 375},
        {"Frame1", ids::kFrame1, 120, 120, 3735, 1575},
        {"Frame2", ids::kFrame2, 120, 1800, 3735, 975},
        {"Text1", ids::kText1, 240, 2160, 2055, 405},
        {"cmdSave", ids::kCmdSave, 2520, 2160, 1215, 375},
        {"Frame3", ids::kFrame3, 120, 2880, 3015, 735},
        {"Label1", ids::kLabel1, 360, 3120, 2175, 255},
        {"cmdSettings", ids::kCmdSettings, 2520, 3120, 375, 375},
        {"Command1", ids::kCommand1, 3360, 3120, 375, 375},
        {"StatusBar1", ids::kStatusBar1, 0, 3735, 3975, 375},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        HWND control = program->Control(c.id);
        ASSERT_TRUE(control) << "no control with id " << c.id;
        EXPECT_TRUE(IsWindowVisible(control));
        RECT r = program->ControlRect(c.id);
        EXPECT_EQ(r.left, c.left / kTwipsPerPixel);
        EXPECT_EQ(r.top, c.top / kTwipsPerPixel);
        EXPECT_EQ(r.right - r.left, c.width / kTwipsPerPixel);
        EXPECT_EQ(r.bottom - r.top, c.height / kTwipsPerPixel);
    }

    RECT client = {};
    GetClientRect(program->Main(), &client);
    EXPECT_EQ(client.right - client.left, 3975 / kTwipsPerPixel);
    EXPECT_EQ(client.bottom - client.top, 4110 / kTwipsPerPixel);

    LONG style = GetWindowLongW(program->Main(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    CloseProgram(*program);
}

// --- load and delete ----------------------------------------------------------------------

TEST_F(e2e, LoadHandsTheProfileToNetshOrSaysWhatStoppedIt) {
    struct Case {
        const char* what;
        const wchar_t* select;  // null: no selection
        const char* exitCode;   // null: netsh does the work
        bool vanish;            // the file is deleted after the listing
        const char* address;    // the profile's address when it loads; null: nothing changes
        std::wstring failure;   // the box when it does not load
    };
    const std::wstring failed = L"The network settings could not be loaded: netsh ended with exit code ";
    const Case cases[] = {
        {"nothing selected", nullptr, nullptr, false, nullptr, L"Select a profile to load"},
        {"Office", L"Office", nullptr, false, "192.0.2.22", L""},
        {"home", L"home", nullptr, false, "192.0.2.21", L""},
        {"netsh fails with 2", L"home", "2", false, nullptr, failed + L"2."},
        {"netsh fails with 5", L"home", "5", false, nullptr, failed + L"5."},
        {"profile gone", L"gone", nullptr, true, nullptr, failed + L"1."},
    };
    WriteProfile(L"gone", Reference("192.0.2.23"));
    WriteProfile(L"home", Reference("192.0.2.21"));
    WriteProfile(L"Office", Reference("192.0.2.22"));
    const std::vector<std::wstring> listed = {L"gone", L"home", L"Office"};
    double_->SetAddress("192.0.2.10");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    const bool connected = program->Status() != L" Active IP: Not Connected";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string addressBefore = double_->Address();
        const size_t callsBefore = double_->Calls().size();
        DeleteFileW((double_->Dir() + L"\\exit_code").c_str());
        if (c.exitCode) double_->SetControl(L"exit_code", c.exitCode);
        if (c.select) {
            ASSERT_TRUE(program->Select(c.select));
        }
        if (c.vanish) {
            ASSERT_TRUE(DeleteFileW(ProfileFile(c.select).c_str()));
        }
        program->Click(ids::kCmdLoad);
        auto box = program->WaitBox();
        ASSERT_TRUE(box) << "no message after loading";
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        if (!c.address) {
            EXPECT_EQ(box->title, kTitle);
            EXPECT_EQ(box->text, c.failure);
        } else if (connected) {
            EXPECT_EQ(box->title, kTitle);
            EXPECT_EQ(box->text, L"Network Settings Loaded");
        } else {
            EXPECT_EQ(box->title, L"Network Error");
            EXPECT_EQ(box->text,
                      L"There is no active connection to change.\rPlease connect to a network before loading a Profile.");
        }
        EXPECT_EQ(double_->Address(), c.address ? c.address : addressBefore);
        auto calls = double_->Calls();
        if (!c.select) {
            EXPECT_EQ(calls.size(), callsBefore);
        } else {
            ASSERT_EQ(calls.size(), callsBefore + 1);
            const std::wstring shortProfiles = driver::ShortPath(Profiles());
            ASSERT_FALSE(shortProfiles.empty());
            EXPECT_EQ(std::vector<std::wstring>(calls.back().begin() + 1, calls.back().end()),
                      (std::vector<std::wstring>{L"-f", shortProfiles + L"\\" + c.select + L".txt"}));
        }
        EXPECT_TRUE(program->Answer(*box, IDOK));
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
        EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        EXPECT_EQ(program->ListItems(), listed);
    }
    EXPECT_EQ(Content(L"home"), Reference("192.0.2.21"));
    ExpectOnlyOwnFiles();
    CloseProgram(*program);
}

TEST_F(e2e, DeleteAsksAndRemovesOnlyThatProfile) {
    struct Case {
        const char* what;
        const wchar_t* select;  // null: no selection
        bool vanish;            // the file is deleted after the listing
        int answer;             // to the question
        const wchar_t* title;   // of the box that follows; null: none
        std::wstring text;
        std::vector<std::wstring> listed;  // afterwards
        std::vector<std::wstring> files;
    };
    const Case cases[] = {
        {"nothing selected", nullptr, false, 0, L"Roamwise", L"Please select a profile to delete",
         {L"gone", L"home", L"Office", L"work"}, {L"Office.txt", L"gone.txt", L"home.txt", L"work.txt"}},
        {"No", L"home", false, IDNO, nullptr, L"",
         {L"gone", L"home", L"Office", L"work"}, {L"Office.txt", L"gone.txt", L"home.txt", L"work.txt"}},
        {"Yes, read-only", L"home", false, IDYES, nullptr, L"",
         {L"gone", L"Office", L"work"}, {L"Office.txt", L"gone.txt", L"work.txt"}},
        {"Yes", L"work", false, IDYES, nullptr, L"", {L"gone", L"Office"}, {L"Office.txt", L"gone.txt"}},
        {"Yes, file gone", L"gone", true, IDYES, L"cmdDelete", L"Error: 2. " + SystemMessage(2),
         {L"gone", L"Office"}, {L"Office.txt"}},
    };
    for (const wchar_t* name : {L"gone", L"home", L"Office", L"work"}) WriteProfile(name, Narrow(name) + "\r\n");
    ASSERT_TRUE(SetFileAttributesW(ProfileFile(L"home").c_str(), FILE_ATTRIBUTE_READONLY));
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.select) {
            ASSERT_TRUE(program->Select(c.select));
        }
        if (c.vanish) {
            ASSERT_TRUE(DeleteFileW(ProfileFile(c.select).c_str()));
        }
        program->Click(ids::kCmdDelete);
        if (c.select) {
            auto question = program->WaitBox();
            ASSERT_TRUE(question);
            EXPECT_EQ(question->text, L"Are you sure you want to delete " + std::wstring(c.select));
            EXPECT_EQ(question->title, kTitle);
            EXPECT_TRUE(question->hasYesNo);
            EXPECT_EQ(program->Status(), L"   Deleting profile: " + std::wstring(c.select));
            ASSERT_TRUE(program->Answer(*question, c.answer));
        }
        if (c.title) {
            auto box = program->WaitBox();
            ASSERT_TRUE(box);
            EXPECT_EQ(box->title, c.title);
            EXPECT_EQ(box->text, c.text);
            EXPECT_TRUE(box->hasOk && !box->hasYesNo);
            ASSERT_TRUE(program->Answer(*box, IDOK));
        }
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
        const std::wstring status = program->Status();
        if (!c.vanish) {
            EXPECT_TRUE(IsActiveIpStatus(status) || status == L" Active IP: 127.0.0.1") << Narrow(status);
        }
        EXPECT_EQ(program->ListItems(), c.listed);
        if (c.answer == IDYES && !c.title) {
            EXPECT_EQ(program->ListSelection(), LB_ERR);
        }
        EXPECT_EQ(driver::DirectoryNames(Profiles()), c.files);
    }
    EXPECT_EQ(Content(L"Office"), "Office\r\n");
    ExpectOnlyOwnFiles();
    CloseProgram(*program);
}

// --- version gate and About ---------------------------------------------------------------------

TEST_F(e2e, VersionGateRefusesWindows9x) {
    struct Case {
        const wchar_t* version;
        bool refused;
    };
    const Case cases[] = {
        {L"win95", true}, {L"win98", true}, {L"win2k", false}, {L"winxp", false}, {L"win10", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.version));
        driver::SetWineVersion(c.version);
        Roamwise* program = Start();
        ASSERT_TRUE(program);
        if (c.refused) {
            auto box = program->WaitBox();
            ASSERT_TRUE(box) << "no refusal";
            EXPECT_EQ(box->text, L"This program requires Windows 2000 and higher. Sorry");
            EXPECT_EQ(box->title, kTitle);
            EXPECT_TRUE(box->hasOk && !box->hasYesNo);
            EXPECT_FALSE(program->FindVisible(ROAMWISE_MAIN_CLASS));
            EXPECT_TRUE(program->Answer(*box, IDOK));
            EXPECT_TRUE(program->WaitExit()) << "the program went on after the refusal";
            EXPECT_FALSE(driver::SettingsKeyExists());
            EXPECT_FALSE(driver::FileExists(BatchFile()));
            EXPECT_FALSE(driver::FileExists(app_ + L"\\ipinfo.txt"));
        } else {
            ASSERT_TRUE(program->WaitMainWindow()) << Describe(program->WaitBox(0));
            EXPECT_TRUE(program->Boxes().empty());
            EXPECT_TRUE(driver::FileExists(app_ + L"\\ipinfo.txt"));
            CloseProgram(*program);
        }
        driver::ClearWineVersion();
        driver::DeleteSettingsKey();
        DeleteFileW(BatchFile().c_str());
        DeleteFileW((app_ + L"\\ipinfo.txt").c_str());
    }
}

TEST_F(e2e, AboutBoxShowsFiveLines) {
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    program->Click(ids::kCommand1);
    auto box = program->WaitBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, L"About");
    EXPECT_TRUE(box->hasOk && !box->hasYesNo);
    EXPECT_EQ(box->text.find(L'\n'), std::wstring::npos);
    auto lines = driver::Split(box->text, L'\r');
    ASSERT_EQ(lines.size(), 5u) << Describe(box);
    EXPECT_EQ(lines[0], L"Roamwise ver.1.0");
    EXPECT_EQ(lines[3], L"Comments, Questions:");
    const std::wstring mail = L"     E-Mail: ";
    EXPECT_EQ(lines[4].compare(0, mail.size(), mail), 0) << Narrow(lines[4]);
    EXPECT_GT(lines[4].size(), mail.size()) << "no address after \"E-Mail: \"";
    EXPECT_TRUE(program->Answer(*box, IDOK));
    CloseProgram(*program);
}

// --- the active address in a network namespace ------------------------------------------------------

// Run by the namespace scripts, which set ROAMWISE_EXPECT_STATUS; skipped otherwise.
TEST_F(e2e, ActiveIpStatusInNamespace) {
    wchar_t expected[256] = {};
    if (GetEnvironmentVariableW(L"ROAMWISE_EXPECT_STATUS", expected, 256) == 0)
        GTEST_SKIP() << "runs only inside a network namespace made by its script";
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->Status(), expected);
    CloseProgram(*program);
}

}  // namespace
