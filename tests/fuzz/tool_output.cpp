// What netsh and ipconfig print, in the OEM code page: the lines a failed load
// shows, fed in pieces of any size, and the viewer's text.
#include "fuzz.h"
#include "main_controller.h"
#include "tool_runner.h"

using namespace roamwise;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fake::Machine machine = Folder();
    machine.ipconfigText = machine.netshSays = std::string(data, data + size);
    PrintedLines lines;
    const std::size_t piece = size ? 1 + data[0] % 97 : 1;
    for (std::size_t at = 0; at < size; at += piece) lines.Printed(machine.netshSays.data() + at, std::min(piece, size - at));
    const std::wstring text = lines.Text(machine);
    std::size_t count = 0;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1, ++count) {
        end = text.find(L'\r', at);  // each line: not blank, no control character, not too long
        FUZZ_CHECK(end != std::wstring::npos && end - at <= PrintedLines::kMaxLineLength + 1);
        FUZZ_CHECK(text.find_first_not_of(L" \t", at) < end);
        for (std::size_t i = at; i < end; ++i) FUZZ_CHECK(text[i] >= L' ' || text[i] == L'\t');
    }
    FUZZ_CHECK(count <= PrintedLines::kMaxLines + 1);
    // The whole way: ipconfig's text in the viewer, netsh's words in the box of a load that failed.
    machine.Add(machine.program + L"\\Profiles\\P.txt"), machine.loadExit = 1;
    fake::Windows windows;
    fake::Viewer viewer, comparison;
    MainController app(machine, windows, viewer, comparison);
    app.StartUp(), windows.selected = L"P", app.LoadProfile();
    FUZZ_CHECK(viewer.text == machine.FromOem(machine.ipconfigText) && !viewer.misused);
    const std::wstring first = L"Roamwise: The profile may not have been applied in full: netsh ended with exit code 1.";
    FUZZ_CHECK(windows.boxes.back() == first + (text.empty() ? L"" : L"\r\r" + text.substr(0, text.size() - 1)));
    return 0;
}
