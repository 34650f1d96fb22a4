// A main window over the fakes, with the usual profile directory.
#pragma once

#include "fakes.h"
#include "frm_roamwise.h"

namespace roamwise::testing {

constexpr char kSettingsKey[] = "SOFTWARE\\Quillfern\\Roamwise\\Settings";

struct Program {
    FakePlatform platform;
    FakeView view;
    frmRoamwise form{platform, view};

    std::wstring Profiles() const { return platform.appDir + L"\\Profiles"; }
    std::wstring Profile(const std::wstring& name) const { return Profiles() + L"\\" + name + L".txt"; }
    std::wstring Batch() const { return platform.appDir + L"\\Settings.bat"; }
    void AddProfile(const std::wstring& name, const std::string& content = "old dump") {
        platform.AddDirectory(Profiles());
        platform.AddFile(Profile(name), content);
    }
    std::vector<std::wstring> MessageTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& m : view.messages) texts.push_back(m.text);
        return texts;
    }
};

}  // namespace roamwise::testing
