// A hand-over request, which any program in the session may send the window:
// what it carries, and the listed profile a name is taken to mean.
#include "fuzz.h"
#include "launch.h"
#include "profile_store.h"

using namespace roamwise;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned long tags[] = {kLoadRequestTag, kTrialRequestTag, kUndoRequestTag, data[0]};
    const unsigned long tag = tags[data[0] % 4];
    const auto request = ReadRequest(tag, data + 1, size - 1);
    if (!request) return 0;
    FUZZ_CHECK(RequestTag(*request) == tag && RequestBytes(*request) == std::string(data + 1, data + size));
    FUZZ_CHECK(request->trySeconds <= kLongestTrial && request->undo == request->profile.empty());
    const std::wstring* name = &request->profile;
    if (request->undo) return 0;
    FUZZ_CHECK(name->find(L'\0') == std::wstring::npos);
    fake::Machine machine = Folder();
    for (const wchar_t* file : {L"Home.txt", L"Work_LAN.txt", L"AT&T (5G).txt", L"\u03a9mega.txt", L"Travel.TXT", L"con.txt"})
        machine.Add(machine.program + L"\\Profiles\\" + file);
    ProfileStore store(machine, machine.program);
    std::wstring problem;  // only a profile the list shows, never a path or a device
    const std::wstring listed = store.ListedProfile(*name, problem);
    FUZZ_CHECK(listed.empty() != problem.empty() && (listed.empty() || name->find_first_of(L"\\/") == std::wstring::npos));
    FUZZ_CHECK(listed.empty() || listed == L"Home" || listed == L"Work_LAN" || listed == L"AT&T (5G)" || listed == L"\u03a9mega");
    return 0;
}
