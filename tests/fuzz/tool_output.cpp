// What netsh and ipconfig print, in the OEM code page: the lines a failed load
// shows, fed in pieces of any size, and the viewer's text.
#include "fuzz.h"
#include "main_controller.h"
#include "tool_runner.h"

using namespace roamwise;

struct Windows : MainView, ViewerView {
    std::vector<std::wstring> boxes;
    std::wstring viewerText;
    Answer ShowMessage(const std::wstring& text, const std::wstring&, Buttons) override { return boxes.push_back(text), Answer::Ok; }
    std::wstring SelectedProfile() override { return L"P"; }
    void SetText(const std::wstring& text) override { viewerText = text; }
    void SelectAllText() override {}
    std::optional<std::wstring> AskNewName(const std::wstring&) override { return {}; }
    Rect Placement() override { return {}; }
    void MoveTo(long, long) override {}
    long TitleBarHeight() override { return 0; }
    std::vector<Rect> WorkAreas() override { return {}; }
    void Beep() override {} void ClearProfiles() override {} void AddProfile(const std::wstring&) override {}
    void SelectProfile(const std::wstring&) override {} void SetProfileTooltip(const std::wstring&) override {}
    std::wstring TypedName() override { return {}; }
    void SetNameTooltip(const std::wstring&) override {} void SetStatus(const std::wstring&) override {}
    void SetBusyPointer(bool) override {} void Create() override {} void Destroy() override {} void Show() override {}
    Size ClientSize() override { return {}; }
    void SizeText(Size) override {}
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string printed(data, data + size);
    PrintedLines lines;
    const std::size_t piece = size ? 1 + data[0] % 97 : 1;
    for (std::size_t at = 0; at < size; at += piece) lines.Printed(printed.data() + at, std::min(piece, size - at));
    Machine machine;
    const std::wstring text = lines.Text(machine);
    std::size_t count = 0;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1, ++count) {
        end = text.find(L'\r', at);
        FUZZ_CHECK(end != std::wstring::npos && end > at && end - at <= PrintedLines::kMaxLineLength + 1);
        FUZZ_CHECK(text.find_first_not_of(L" \t", at) < end);  // no blank line
        for (std::size_t i = at; i < end; ++i) FUZZ_CHECK(text[i] >= L' ' || text[i] == L'\t');
    }
    FUZZ_CHECK(count <= PrintedLines::kMaxLines + 1);

    // The whole way: ipconfig's text in the viewer, netsh's words in the load's box.
    machine.printed = printed, machine.profiles = {L"P.txt"};
    Windows windows;
    MainController app(machine, windows, windows);
    app.StartUp(), app.LoadProfile();
    FUZZ_CHECK(windows.viewerText == machine.FromOem(printed));
    const std::wstring first = L"The profile may not have been applied in full: netsh ended with exit code 1.";
    FUZZ_CHECK(!windows.boxes.empty() && windows.boxes.back() == first + (text.empty() ? L"" : L"\r\r" + text.substr(0, text.size() - 1)));
    return 0;
}
