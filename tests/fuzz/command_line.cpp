// The command line: any text either opens the window, loads a named profile
// (maybe as a trial), undoes, keeps, or shows the usage, and a load spelled
// again as a shortcut spells it reads back the same.
#include "fuzz.h"
#include "launch.h"

using namespace roamwise;
using Action = StartRequest::Action;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const StartRequest request = ReadCommandLine(Utf16(data, size));
    FUZZ_CHECK(request.problem.empty() || request.action == Action::ShowUsage);
    if (request.action == Action::OpenWindow) FUZZ_CHECK(request.profile.empty() && !request.quiet);
    FUZZ_CHECK(request.trySeconds <= kLongestTrial && (request.action == Action::LoadProfile || request.action == Action::ShowUsage || !request.trySeconds));
    if (request.action != Action::LoadProfile) return 0;
    FUZZ_CHECK(!request.profile.empty() && request.profile.find(L'"') == std::wstring::npos);
    const std::wstring trial = request.trySeconds ? L" /try " + std::to_wstring(request.trySeconds) : L"";
    const StartRequest again = ReadCommandLine(L"/load \"" + request.profile + L"\"" + trial + (request.quiet ? L" /quiet" : L""));
    FUZZ_CHECK(again.action == Action::LoadProfile && again.profile == request.profile && again.quiet == request.quiet &&
               again.trySeconds == request.trySeconds);
    return 0;
}
