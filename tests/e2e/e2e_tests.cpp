// End-to-end tests: the real Roamwise.exe under Wine, driven from outside
// through its windows, with a netsh double in the prefix's system
// directories. Each test runs the program from its own application
// directory under "C:\roam e2e\" (a path with a blank) and removes it after.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "control_ids.h"
#include "driver.h"

namespace {

using driver::Box;
using driver::NetshDouble;
using driver::Roamwise;
namespace ids = roamwise::ids;

const std::wstring kTitle = L"Roamwise";

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string Narrow(const std::wstring& text) { return driver::ToUtf8(text); }

// " Active IP: " with an address of this machine, or the not-connected text.
::testing::AssertionResult IsActiveIpStatus(const std::wstring& status) {
    const std::wstring prefix = L" Active IP: ";
    if (status == prefix + L"Not Connected") return ::testing::AssertionSuccess();
    if (status.compare(0, prefix.size(), prefix) == 0) {
        std::wstring address = status.substr(prefix.size());
        auto known = driver::AdapterAddresses();
        if (address != L"127.0.0.1" && std::find(known.begin(), known.end(), address) != known.end())
            return ::testing::AssertionSuccess();
    }
    std::string known;
    for (auto& a : driver::AdapterAddresses()) known += " " + Narrow(a);
    return ::testing::AssertionFailure() << "status \"" << Narrow(status)
                                         << "\" is not the active-IP status (machine addresses:" << known << ")";
}

std::string Describe(const std::optional<Box>& box) {
    if (!box) return "no message box";
    return "box \"" + Narrow(box->title) + "\": \"" + Narrow(box->text) + "\"";
}

std::string DescribeAll(const std::vector<Box>& boxes) {
    if (boxes.empty()) return "no message box";
    std::string all;
    for (const auto& box : boxes) all += (all.empty() ? "" : "; ") + Describe(box);
    return all;
}

class e2e : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = L"C:\\roam e2e\\" + driver::FromUtf8(name);
        driver::RemoveTree(root_);
        app_ = root_ + L"\\app dir";
        ASSERT_TRUE(driver::MakeDirectories(app_));
        ASSERT_TRUE(CopyFileW(driver::RoamwiseExe().c_str(), (app_ + L"\\Roamwise.exe").c_str(), FALSE))
            << "Roamwise.exe is missing beside the test program";
        ASSERT_TRUE(driver::MakeDirectories(root_ + L"\\double"));
        double_ = std::make_unique<NetshDouble>(root_ + L"\\double");
        driver::DeleteSettingsKey();
        driver::ClearWineVersion();
    }

    void TearDown() override {
        for (auto& program : programs_) {
            if (program->Running()) {
                ADD_FAILURE() << "Roamwise.exe (pid " << program->Pid() << ") still ran at the end; killed";
                program->Kill();
            }
        }
        programs_.clear();
        driver::ClearWineVersion();
        driver::DeleteSettingsKey();
        driver::RemoveTree(root_);
    }

    // Starts the program; null when it could not be started.
    Roamwise* Start() {
        auto program = std::make_unique<Roamwise>();
        if (!program->Start(app_, double_->Dir())) {
            ADD_FAILURE() << "CreateProcess of Roamwise.exe failed: " << GetLastError();
            return nullptr;
        }
        programs_.push_back(std::move(program));
        return programs_.back().get();
    }

    // Starts the program and waits for its main window; null (with the
    // reason recorded) when no main window came.
    Roamwise* Launch() {
        Roamwise* program = Start();
        if (!program) return nullptr;
        if (!program->WaitMainWindow()) {
            auto boxes = program->Boxes();
            ADD_FAILURE() << "no main window; "
                          << (boxes.empty() ? std::string(program->Running() ? "still starting" : "process ended")
                                            : Describe(boxes.front()));
            return nullptr;
        }
        return program;
    }

    // Closes the main window and waits for the process to end.
    void CloseProgram(Roamwise& program) {
        program.Close();
        EXPECT_TRUE(program.WaitExit()) << "the process did not end after WM_CLOSE";
    }

    std::wstring Profiles() const { return app_ + L"\\Profiles"; }
    std::wstring ProfileFile(const std::wstring& name) const { return Profiles() + L"\\" + name + L".txt"; }
    std::wstring BatchFile() const { return app_ + L"\\Settings.bat"; }
    std::string BatchText() const { return driver::ReadBytes(BatchFile()).value_or("<missing>"); }
    std::string Reference(const std::string& address) const {
        std::string dump = NetshDouble::ReferenceDump(address, root_ + L"\\reference");
        if (dump.find(address) == std::string::npos) ADD_FAILURE() << "the double gave no dump for " << address;
        return dump;
    }
    size_t DumpCalls() const {
        size_t n = 0;
        for (auto& call : double_->Calls())
            if (call.size() == 4 && call[1] == L"-c" && call[2] == L"interface" && call[3] == L"dump") ++n;
        return n;
    }
    void WriteProfile(const std::wstring& name, const std::string& content) const {
        ASSERT_TRUE(driver::MakeDirectories(Profiles()));
        ASSERT_TRUE(driver::WriteBytes(ProfileFile(name), content));
    }

    std::wstring root_;
    std::wstring app_;
    std::unique_ptr<NetshDouble> double_;
    std::vector<std::unique_ptr<Roamwise>> programs_;
};

// --- start-up and listing ---------------------------------------------------------

TEST_F(e2e, StartupListsProfilesSortedWithoutSelection) {
    enum Kind { File, Hidden, System, Directory };
    struct Entry {
        const wchar_t* name;
        Kind kind;
    };
    struct Case {
        const char* what;
        std::vector<Entry> entries;  // empty with makeDir false: no Profiles directory
        bool makeDir;
        std::vector<std::wstring> listed;
    };
    const std::vector<Case> cases = {
        {"normal, hidden and system .txt files only",
         {{L"home.txt", File},
          {L"Office.txt", File},
          {L"work.txt", Hidden},
          {L"sys.txt", System},
          {L"NOTES.TXT", File},
          {L"notes.doc", File},
          {L"x.txt", Directory}},
         true,
         {L"home", L"Office", L"sys", L"work"}},
        // Directory order (byte order) is Mid, Zeta, alpha, beta.
        {"case-insensitive order",
         {{L"Zeta.txt", File}, {L"beta.txt", File}, {L"Mid.txt", File}, {L"alpha.txt", File}},
         true,
         {L"alpha", L"beta", L"Mid", L"Zeta"}},
        {"upper-case ending only", {{L"HOME.TXT", File}, {L"Memo.Txt", File}}, true, {}},
        {"no Profiles directory", {}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver::RemoveTree(Profiles());
        if (c.makeDir) {
            ASSERT_TRUE(driver::MakeDirectories(Profiles()));
        }
        for (const auto& entry : c.entries) {
            std::wstring path = Profiles() + L"\\" + entry.name;
            if (entry.kind == Directory) {
                ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
                continue;
            }
            ASSERT_TRUE(driver::WriteBytes(path, "profile\r\n"));
            DWORD attribute = entry.kind == Hidden   ? FILE_ATTRIBUTE_HIDDEN
                              : entry.kind == System ? FILE_ATTRIBUTE_SYSTEM
                                                     : 0;
            if (attribute) {
                SetFileAttributesW(path.c_str(), attribute);
                ASSERT_TRUE(GetFileAttributesW(path.c_str()) & attribute)
                    << "this file system keeps no attribute for " << Narrow(entry.name);
            }
        }

        Roamwise* program = Launch();
        ASSERT_TRUE(program);
        EXPECT_EQ(program->ListItems(), c.listed);
        EXPECT_EQ(program->ListSelection(), LB_ERR);
        EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        EXPECT_EQ(program->Text(program->Main()), kTitle);
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
        CloseProgram(*program);
    }
}

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
    const long kTwipsPerPixel = 15;
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

// --- save -----------------------------------------------------------------------------

TEST_F(e2e, SaveDumpsIntoProfileThroughBatchFile) {
    struct Case {
        const wchar_t* typed;
        bool byEnter;
        const wchar_t* fileName;
        const char* address;
    };
    // The first save runs without a Profiles directory: save makes it.
    const Case cases[] = {
        {L"home", false, L"home", "192.0.2.31"},
        {L"My Home", true, L"My_Home", "192.0.2.32"},
        {L"   ", false, L"___", "192.0.2.33"},
        {L"Office", true, L"Office", "192.0.2.34"},
    };
    ASSERT_FALSE(driver::DirectoryExists(Profiles()));
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    std::vector<std::wstring> saved;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        double_->SetAddress(c.address);
        size_t dumpsBefore = DumpCalls();
        program->SetName(c.typed);
        if (c.byEnter)
            program->PressEnterInName();
        else
            program->Click(ids::kCmdSave);

        auto box = program->WaitBox();
        ASSERT_TRUE(box) << "no message after saving";
        EXPECT_EQ(box->text, L"Settings Saved");
        EXPECT_EQ(box->title, kTitle);
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        saved.push_back(c.fileName);

        EXPECT_EQ(driver::ReadBytes(ProfileFile(c.fileName)).value_or("<missing>"), Reference(c.address));
        std::wstring shortProfiles = driver::ShortPath(Profiles());
        ASSERT_FALSE(shortProfiles.empty());
        EXPECT_EQ(shortProfiles.find(L' '), std::wstring::npos);
        EXPECT_EQ(BatchText(),
                  Ansi(L"netsh -c interface dump > " + shortProfiles + L"\\" + c.fileName + L".txt") + "\r\n");
        EXPECT_EQ(DumpCalls(), dumpsBefore + 1);
        auto items = program->ListItems();
        for (const auto& name : saved)
            EXPECT_NE(std::find(items.begin(), items.end(), name), items.end()) << Narrow(name) << " not listed";
        EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        EXPECT_TRUE(program->Answer(*box, IDOK));
    }
    // Nothing but the profiles: no temporary or partial files left behind.
    std::vector<std::wstring> files;
    for (const auto& c : cases) files.push_back(std::wstring(c.fileName) + L".txt");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(driver::DirectoryNames(Profiles()), files);
    EXPECT_TRUE(program->Boxes().empty());
    CloseProgram(*program);
}

TEST_F(e2e, SaveRefusesNamesAndWritesNothing) {
    struct Case {
        const wchar_t* typed;
        bool byEnter;
        const wchar_t* message;  // null: any explanation
    };
    const Case cases[] = {
        {L"", false, L"Please enter a profile name"},
        {L"", true, L"Please enter a profile name"},
        {L"a&b", false, nullptr},
        {L"con", false, nullptr},
        {L"x:y", true, nullptr},
        {L"a>b", false, nullptr},
    };
    ASSERT_TRUE(driver::MakeDirectories(Profiles()));
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    std::string batch = BatchText();
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + Narrow(c.typed) + (c.byEnter ? "\" by Enter" : "\" by button"));
        program->SetName(c.typed);
        if (c.byEnter)
            program->PressEnterInName();
        else
            program->Click(ids::kCmdSave);
        auto box = program->WaitBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->title, kTitle);
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        if (c.message)
            EXPECT_EQ(box->text, c.message);
        else
            EXPECT_TRUE(!box->text.empty() && box->text != L"Settings Saved") << Describe(box);
        EXPECT_TRUE(program->Answer(*box, IDOK));
        EXPECT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty());
        EXPECT_EQ(driver::DirectoryNames(Profiles()), std::vector<std::wstring>{});
        EXPECT_EQ(BatchText(), batch);
        EXPECT_EQ(DumpCalls(), 0u);
    }
    CloseProgram(*program);
}

TEST_F(e2e, SaveAsksBeforeReplacingAProfile) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* fileName;
        int answer;
    };
    const Case cases[] = {
        {L"home", L"home", IDNO},
        {L"My Home", L"My_Home", IDNO},
        {L"home", L"home", IDYES},
        {L"My Home", L"My_Home", IDYES},
    };
    const std::string old = "old profile\r\n";
    WriteProfile(L"home", old);
    WriteProfile(L"My_Home", old);
    double_->SetAddress("192.0.2.41");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.typed) + (c.answer == IDYES ? " / Yes" : " / No"));
        std::string batch = BatchText();
        size_t dumps = DumpCalls();
        program->SetName(c.typed);
        program->Click(ids::kCmdSave);
        auto question = program->WaitBox();
        ASSERT_TRUE(question);
        EXPECT_EQ(question->title, L"Profile Exist");
        EXPECT_EQ(question->text, L"This profile already exist do you want to overite it?");
        EXPECT_TRUE(question->hasYesNo);
        ASSERT_TRUE(program->Answer(*question, c.answer));
        if (c.answer == IDNO) {
            ASSERT_TRUE(program->Settle());
            EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
            EXPECT_EQ(driver::ReadBytes(ProfileFile(c.fileName)).value_or("<missing>"), old);
            EXPECT_EQ(BatchText(), batch);
            EXPECT_EQ(DumpCalls(), dumps);
            EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        } else {
            auto box = program->WaitBox();
            ASSERT_TRUE(box);
            EXPECT_EQ(box->text, L"Settings Saved");
            EXPECT_EQ(driver::ReadBytes(ProfileFile(c.fileName)).value_or("<missing>"), Reference("192.0.2.41"));
            EXPECT_EQ(DumpCalls(), dumps + 1);
            EXPECT_TRUE(program->Answer(*box, IDOK));
        }
    }
    CloseProgram(*program);
}

TEST_F(e2e, FailedDumpKeepsTheOldProfile) {
    const std::string old = "old profile\r\nset address name=\"x\" source=static addr=192.0.2.99\r\n";
    WriteProfile(L"home", old);
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    double_->SetControl(L"exit_code", "1");
    double_->SetControl(L"half", "");
    program->SetName(L"home");
    program->Click(ids::kCmdSave);
    auto question = program->WaitBox();
    ASSERT_TRUE(question);
    ASSERT_EQ(question->title, L"Profile Exist");
    ASSERT_TRUE(program->Answer(*question, IDYES));

    auto box = program->WaitBox();
    ASSERT_TRUE(box) << "the failed dump was not reported";
    EXPECT_EQ(box->title, kTitle);
    EXPECT_TRUE(box->hasOk && !box->hasYesNo);
    EXPECT_TRUE(std::regex_search(Narrow(box->text), std::regex("(^|[^0-9])1([^0-9]|$)")))
        << "the exit code 1 is not mentioned: " << Describe(box);
    EXPECT_EQ(DumpCalls(), 1u);
    EXPECT_EQ(driver::ReadBytes(ProfileFile(L"home")).value_or("<missing>"), old);
    EXPECT_EQ(driver::DirectoryNames(Profiles()), std::vector<std::wstring>{L"home.txt"});
    EXPECT_TRUE(program->Answer(*box, IDOK));
    ASSERT_TRUE(program->Settle());
    EXPECT_TRUE(IsActiveIpStatus(program->Status()));
    EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{L"home"});
    CloseProgram(*program);
}

TEST_F(e2e, SecondSaveDuringADumpStartsNothing) {
    ASSERT_TRUE(driver::MakeDirectories(Profiles()));
    double_->SetAddress("192.0.2.51");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    double_->SetControl(L"delay_ms", "3000");
    program->SetName(L"slow");
    program->Click(ids::kCmdSave);
    // The double logs its call before it sleeps.
    ASSERT_TRUE(driver::WaitUntil([&] { return DumpCalls() == 1; })) << "the dump never started";
    std::string batch = BatchText();
    program->Click(ids::kCmdSave);
    ASSERT_TRUE(program->Settle()) << "the second click was not handled during the dump";

    std::vector<std::string> seen;
    std::optional<Box> saved;
    while (!saved) {
        auto box = program->WaitBox();
        ASSERT_TRUE(box) << "no message after the slow dump";
        if (box->text == L"Settings Saved") {
            saved = box;
        } else {
            seen.push_back(Describe(box));
            program->Answer(*box, box->hasYesNo ? IDNO : IDOK);
        }
    }
    EXPECT_EQ(seen, std::vector<std::string>{}) << "the second click led to a dialogue";
    EXPECT_EQ(DumpCalls(), 1u);
    EXPECT_EQ(BatchText(), batch);
    EXPECT_EQ(driver::ReadBytes(ProfileFile(L"slow")).value_or("<missing>"), Reference("192.0.2.51"));
    EXPECT_TRUE(program->Answer(*saved, IDOK));
    ASSERT_TRUE(program->Settle());
    EXPECT_TRUE(program->Boxes().empty());
    EXPECT_EQ(DumpCalls(), 1u);
    CloseProgram(*program);
}

// --- load -------------------------------------------------------------------------------

TEST_F(e2e, LoadHandsTheProfileToNetsh) {
    struct Case {
        const wchar_t* profile;
        const char* address;
    };
    const Case cases[] = {{L"Office", "192.0.2.22"}, {L"home", "192.0.2.21"}};
    for (const auto& c : cases) WriteProfile(c.profile, Reference(c.address));
    double_->SetAddress("192.0.2.10");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    bool connected = program->Status() != L" Active IP: Not Connected";
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.profile));
        size_t callsBefore = double_->Calls().size();
        ASSERT_TRUE(program->Select(c.profile));
        program->Click(ids::kCmdLoad);
        auto box = program->WaitBox();
        ASSERT_TRUE(box) << "no message after loading";
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        if (connected) {
            EXPECT_EQ(box->title, kTitle);
            EXPECT_EQ(box->text, L"Network Settings Loaded");
            EXPECT_TRUE(IsActiveIpStatus(program->Status()));
        } else {
            EXPECT_EQ(box->title, L"Network Error");
            EXPECT_EQ(box->text,
                      L"There is no active connection to change.\rPlease connect to a network before loading a Profile.");
        }
        EXPECT_EQ(double_->Address(), c.address);
        auto calls = double_->Calls();
        ASSERT_EQ(calls.size(), callsBefore + 1);
        const auto& call = calls.back();
        std::wstring shortProfiles = driver::ShortPath(Profiles());
        ASSERT_FALSE(shortProfiles.empty());
        EXPECT_EQ(std::vector<std::wstring>(call.begin() + 1, call.end()),
                  (std::vector<std::wstring>{L"-f", shortProfiles + L"\\" + c.profile + L".txt"}));
        EXPECT_TRUE(program->Answer(*box, IDOK));
    }
    CloseProgram(*program);
}

TEST_F(e2e, LoadReportsWhatStopsIt) {
    WriteProfile(L"home", Reference("192.0.2.21"));
    double_->SetAddress("192.0.2.10");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    struct Case {
        const char* what;
        const wchar_t* select;  // null: no selection
        const char* exitCode;   // null: netsh succeeds
        const wchar_t* message; // null: a message naming the exit code
        const char* code;
    };
    const Case cases[] = {
        {"nothing selected", nullptr, nullptr, L"Select a profile to load", nullptr},
        {"netsh fails with 2", L"home", "2", nullptr, "2"},
        {"netsh fails with 5", L"home", "5", nullptr, "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        size_t calls = double_->Calls().size();
        if (c.exitCode) double_->SetControl(L"exit_code", c.exitCode);
        if (c.select) {
            ASSERT_TRUE(program->Select(c.select));
        }
        program->Click(ids::kCmdLoad);
        auto box = program->WaitBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->title, kTitle);
        EXPECT_TRUE(box->hasOk && !box->hasYesNo);
        if (c.message) {
            EXPECT_EQ(box->text, c.message);
            EXPECT_EQ(double_->Calls().size(), calls);
        } else {
            std::regex code(std::string("(^|[^0-9])") + c.code + "([^0-9]|$)");
            EXPECT_TRUE(std::regex_search(Narrow(box->text), code)) << Describe(box);
            EXPECT_EQ(double_->Calls().size(), calls + 1);
        }
        EXPECT_EQ(double_->Address(), "192.0.2.10");
        EXPECT_TRUE(program->Answer(*box, IDOK));
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
    }
    CloseProgram(*program);
}

// --- delete -------------------------------------------------------------------------------

TEST_F(e2e, DeleteAsksAndRemovesOnlyThatProfile) {
    WriteProfile(L"home", "home\r\n");
    WriteProfile(L"Office", "office\r\n");
    Roamwise* program = Launch();
    ASSERT_TRUE(program);

    program->Click(ids::kCmdDelete);
    auto box = program->WaitBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"Please select a profile to delete");
    EXPECT_EQ(box->title, kTitle);
    EXPECT_TRUE(box->hasOk && !box->hasYesNo);
    ASSERT_TRUE(program->Answer(*box, IDOK));

    // No first, then Yes.
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        ASSERT_TRUE(program->Select(L"home"));
        program->Click(ids::kCmdDelete);
        auto question = program->WaitBox();
        ASSERT_TRUE(question);
        EXPECT_EQ(question->text, L"Are you sure you want to delete home");
        EXPECT_EQ(question->title, kTitle);
        EXPECT_TRUE(question->hasYesNo);
        EXPECT_EQ(program->Status(), L"   Deleting profile: home");
        ASSERT_TRUE(program->Answer(*question, answer));
        ASSERT_TRUE(program->Settle());
        EXPECT_TRUE(program->Boxes().empty()) << DescribeAll(program->Boxes());
        std::wstring status = program->Status();
        EXPECT_TRUE(IsActiveIpStatus(status) || status == L" Active IP: 127.0.0.1") << Narrow(status);
        if (answer == IDNO) {
            EXPECT_TRUE(driver::FileExists(ProfileFile(L"home")));
            EXPECT_EQ(program->ListItems(), (std::vector<std::wstring>{L"home", L"Office"}));
        } else {
            EXPECT_FALSE(driver::FileExists(ProfileFile(L"home")));
            EXPECT_EQ(program->ListItems(), std::vector<std::wstring>{L"Office"});
            EXPECT_EQ(program->ListSelection(), LB_ERR);
        }
        EXPECT_EQ(driver::ReadBytes(ProfileFile(L"Office")).value_or("<missing>"), "office\r\n");
    }
    CloseProgram(*program);
}

// --- positions and the viewer --------------------------------------------------------------

TEST_F(e2e, MainWindowPositionIsStoredAndRestored) {
    auto stored = [](const wchar_t* name) -> std::wstring {
        auto value = driver::ReadSetting(name);
        if (!value) return L"<missing>";
        if (value->type != REG_SZ) return L"<not REG_SZ>";
        return value->text;
    };
    // First run: nothing stored until the window closes.
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    EXPECT_FALSE(driver::SettingsKeyExists());
    RECT first = {};
    GetWindowRect(program->Main(), &first);
    CloseProgram(*program);
    EXPECT_EQ(stored(L"FormLeft"), std::to_wstring(first.left * 15));
    EXPECT_EQ(stored(L"FormTop"), std::to_wstring(first.top * 15));

    struct Case {
        int left, top;
    };
    for (const Case& c : {Case{200, 150}, Case{37, 411}}) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
        program = Launch();
        ASSERT_TRUE(program);
        SetWindowPos(program->Main(), nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT moved = {};
        ASSERT_TRUE(driver::WaitUntil([&] {
            GetWindowRect(program->Main(), &moved);
            return moved.left == c.left && moved.top == c.top;
        }));
        CloseProgram(*program);
        EXPECT_EQ(stored(L"FormLeft"), std::to_wstring(c.left * 15));
        EXPECT_EQ(stored(L"FormTop"), std::to_wstring(c.top * 15));

        program = Launch();
        ASSERT_TRUE(program);
        RECT restored = {};
        GetWindowRect(program->Main(), &restored);
        EXPECT_EQ(restored.left, c.left);
        EXPECT_EQ(restored.top, c.top);
        CloseProgram(*program);
    }
}

TEST_F(e2e, OffScreenPositionIsPulledOntoTheScreen) {
    struct Case {
        const wchar_t* left;
        const wchar_t* top;
    };
    const Case cases[] = {{L"-100000", L"0"}, {L"0", L"200000"}, {L"900000", L"-45000"}};
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring(c.left) + L"," + c.top));
        driver::WriteSetting(L"FormLeft", c.left);
        driver::WriteSetting(L"FormTop", c.top);
        Roamwise* program = Launch();
        ASSERT_TRUE(program);
        RECT r = {};
        GetWindowRect(program->Main(), &r);
        EXPECT_TRUE(IsWindowVisible(program->Main()));
        EXPECT_GE(r.left, screen.left);
        EXPECT_GE(r.top, screen.top);
        EXPECT_LE(r.right, screen.right);
        EXPECT_LE(r.bottom, screen.bottom);
        CloseProgram(*program);
    }
}

TEST_F(e2e, ViewerShowsIpconfigFillsItselfAndRemembersItsPlace) {
    Roamwise* program = Launch();
    ASSERT_TRUE(program);
    program->Click(ids::kCmdSettings);
    HWND viewer = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (viewer = program->FindVisible(ROAMWISE_VIEWER_CLASS)) != nullptr; }))
        << Describe(program->WaitBox(0));
    EXPECT_EQ(program->Text(viewer), L"Current Settings");
    EXPECT_TRUE(GetWindowLongW(viewer, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    HWND text2 = program->ControlOf(viewer, ids::kText2);
    ASSERT_TRUE(text2);
    auto capture = driver::ReadBytes(app_ + L"\\ipinfo.txt");
    ASSERT_TRUE(capture) << "no ipinfo.txt in the application directory";
    EXPECT_FALSE(capture->empty()) << "ipconfig /all wrote nothing";
    EXPECT_EQ(program->Text(text2), driver::FromAnsi(*capture));

    struct Size {
        int width, height;
    };
    for (const Size& s : {Size{420, 330}, Size{150, 90}, Size{600, 500}}) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
        SetWindowPos(viewer, nullptr, 0, 0, s.width, s.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client = {}, text = {};
        bool filled = driver::WaitUntil([&] {
            GetClientRect(viewer, &client);
            text = program->RectIn(text2, viewer);
            return text.left == client.left && text.top == client.top && text.right == client.right &&
                   text.bottom == client.bottom;
        });
        EXPECT_TRUE(filled) << "client " << client.right << "x" << client.bottom << ", Text2 (" << text.left << ","
                            << text.top << ")-(" << text.right << "," << text.bottom << ")";
    }

    SetWindowPos(viewer, nullptr, 310, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT place = {};
    ASSERT_TRUE(driver::WaitUntil([&] {
        GetWindowRect(viewer, &place);
        return place.left == 310 && place.top == 220;
    }));
    CloseProgram(*program);
    EXPECT_FALSE(IsWindow(viewer));
    auto left = driver::ReadSetting(L"Form2Left");
    auto top = driver::ReadSetting(L"Form2Top");
    ASSERT_TRUE(left && top) << "the viewer's position was not stored";
    EXPECT_EQ(left->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(left->text, std::to_wstring(310 * 15));
    EXPECT_EQ(top->text, std::to_wstring(220 * 15));
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
