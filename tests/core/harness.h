// A main window over the fakes, with the usual profile directory, and the
// check of the message boxes a run showed.
#pragma once

#include <gtest/gtest.h>

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
    // The profile as the user picks it from the list.
    void SelectProfile(const std::wstring& name) {
        AddProfile(name);
        form.File_List();
        view.Select(name);
    }
};

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct Box {
    std::wstring title;
    std::wstring text;
    bool whole = true;  // false: the text only has to appear in the box
};

// Exactly these boxes were shown, in order; the questions with Yes and No,
// the others with OK.
inline void ExpectBoxes(const FakeView& view, const std::vector<Box>& boxes) {
    std::string all;
    for (const auto& m : view.messages) all += "[" + Narrow(m.title) + ": " + Narrow(m.text) + "] ";
    ASSERT_EQ(view.messages.size(), boxes.size()) << "boxes: " << all;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& shown = view.messages[i];
        EXPECT_EQ(shown.title, boxes[i].title) << "box " << i;
        if (boxes[i].whole)
            EXPECT_EQ(shown.text, boxes[i].text) << "box " << i;
        else
            EXPECT_NE(shown.text.find(boxes[i].text), std::wstring::npos) << "box " << i << ": " << Narrow(shown.text);
        const bool question = shown.title == L"Profile Exist" || shown.text.rfind(L"Are you sure", 0) == 0;
        EXPECT_EQ(shown.buttons, question ? Buttons::YesNo : Buttons::Ok) << "box " << i;
    }
}

}  // namespace roamwise::testing
