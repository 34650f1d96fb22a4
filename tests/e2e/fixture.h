// What every end-to-end case shares: the program runs from its own
// application directory under "C:\roam e2e\" (a path with a blank), with its
// own netsh double state, a fresh settings key, and is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "driver.h"
#include "netsh_dump.h"

namespace fixture {

using driver::Box;
using driver::NetshDouble;
using driver::Roamwise;
namespace ids = roamwise::ids;

const std::wstring kTitle = L"Roamwise";
constexpr int kTwipsPerPixel = 15;

inline std::string Narrow(const std::wstring& text) { return driver::ToUtf8(text); }

inline std::string Describe(const std::optional<Box>& box) {
    if (!box) return "no message box";
    return "box \"" + Narrow(box->title) + "\": \"" + Narrow(box->text) + "\"";
}

inline std::string DescribeAll(const std::vector<Box>& boxes) {
    if (boxes.empty()) return "no message box";
    std::string all;
    for (const auto& box : boxes) all += (all.empty() ? "" : "; ") + Describe(box);
    return all;
}

inline std::wstring SystemMessage(DWORD code) {
    wchar_t* message = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    std::wstring text = message ? message : L"";
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

// " Active IP: " with an address of this machine, or the not-connected text.
inline ::testing::AssertionResult IsActiveIpStatus(const std::wstring& status) {
    const std::wstring prefix = L" Active IP: ";
    const auto known = driver::AdapterAddresses();
    if (status == prefix + L"Not Connected") return ::testing::AssertionSuccess();
    if (status.compare(0, prefix.size(), prefix) == 0) {
        std::wstring address = status.substr(prefix.size());
        if (address != L"127.0.0.1" && std::find(known.begin(), known.end(), address) != known.end())
            return ::testing::AssertionSuccess();
    }
    std::string list;
    for (auto& a : known) list += " " + Narrow(a);
    return ::testing::AssertionFailure() << "status \"" << Narrow(status)
                                         << "\" is not the active-IP status (machine addresses:" << list << ")";
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = L"C:\\roam e2e\\" + driver::FromUtf8(std::string(test->test_suite_name()) + " " + test->name());
        driver::RemoveTree(root_);
        app_ = root_ + L"\\app dir";
        ASSERT_TRUE(driver::MakeDirectories(app_));
        ASSERT_TRUE(CopyFileW(driver::RoamwiseExe().c_str(), (app_ + L"\\Roamwise.exe").c_str(), FALSE))
            << "Roamwise.exe is missing beside the test program";
        ASSERT_TRUE(driver::MakeDirectories(root_ + L"\\double"));
        double_ = std::make_unique<NetshDouble>(root_ + L"\\double");
        driver::DeleteSettingsKey();
        driver::ClearWineVersion();
        driver::UseIpconfigDouble(ipconfigDouble_);
    }

    void TearDown() override {
        for (auto& program : programs_) {
            if (program->Running()) {
                ADD_FAILURE() << "Roamwise.exe (pid " << program->Pid() << ") still ran at the end; killed";
                program->Kill();
            }
        }
        programs_.clear();
        driver::UseIpconfigDouble(false);
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

    // Saves under a typed name, answering the replacement question with Yes,
    // and gives the box that ends the save.
    std::optional<Box> Save(Roamwise& program, const std::wstring& typed) {
        program.SetName(typed);
        program.Click(ids::kCmdSave);
        auto box = program.WaitBox();
        if (box && box->title == L"Profile Exist") {
            program.Answer(*box, IDYES);
            box = program.WaitBox();
        }
        return box;
    }

    std::wstring Profiles() const { return app_ + L"\\Profiles"; }
    std::wstring ProfileFile(const std::wstring& name) const { return Profiles() + L"\\" + name + L".txt"; }
    std::string Content(const std::wstring& name) const {
        return driver::ReadBytes(ProfileFile(name)).value_or("<missing>");
    }
    void WriteProfile(const std::wstring& name, const std::string& content) const {
        ASSERT_TRUE(driver::MakeDirectories(Profiles()));
        ASSERT_TRUE(driver::WriteBytes(ProfileFile(name), content));
    }
    std::wstring BatchFile() const { return app_ + L"\\Settings.bat"; }
    std::string BatchText() const { return driver::ReadBytes(BatchFile()).value_or("<missing>"); }
    // The dump the double prints for an address.
    static std::string Reference(const std::string& address) { return NetshDump(address); }
    size_t DumpCalls() const {
        size_t n = 0;
        for (auto& call : double_->Calls())
            if (call.size() == 4 && call[1] == L"-c" && call[2] == L"interface" && call[3] == L"dump") ++n;
        return n;
    }

    // Nothing of the program's making outside its own places.
    void ExpectOnlyOwnFiles() const {
        static const std::vector<std::wstring> own = {L"Profiles", L"Roamwise.exe", L"Settings.bat", L"ipinfo.txt"};
        for (const auto& name : driver::DirectoryNames(app_))
            EXPECT_NE(std::find(own.begin(), own.end(), name), own.end())
                << "unexpected file in the application directory: " << Narrow(name);
        for (const auto& name : driver::DirectoryNames(Profiles()))
            EXPECT_TRUE(name.size() > 4 && name.compare(name.size() - 4, 4, L".txt") == 0)
                << "unexpected file in Profiles: " << Narrow(name);
        for (const auto& name : driver::DirectoryNames(root_))
            EXPECT_TRUE(name == L"app dir" || name == L"double")
                << "the program wrote beside its directory: " << Narrow(name);
    }

    bool ipconfigDouble_ = false;  // Wine's own ipconfig unless a suite says otherwise
    std::wstring root_;
    std::wstring app_;
    std::unique_ptr<NetshDouble> double_;
    std::vector<std::unique_ptr<Roamwise>> programs_;
};

}  // namespace fixture
