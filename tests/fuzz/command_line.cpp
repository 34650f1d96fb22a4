// The command line: any text either opens the window, loads a named profile
// or shows the usage, and a load spelled again as a shortcut spells it reads
// back the same.
#include "fuzz.h"
#include "launch.h"

using namespace roamwise;
using Action = StartRequest::Action;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const StartRequest request = ReadCommandLine(Utf16(data, size));
    FUZZ_CHECK(request.problem.empty() || request.action == Action::ShowUsage);
    if (request.action == Action::OpenWindow) FUZZ_CHECK(request.profile.empty() && !request.quiet);
    if (request.action != Action::LoadProfile) return 0;
    FUZZ_CHECK(!request.profile.empty() && request.profile.find(L'"') == std::wstring::npos);
    const StartRequest again = ReadCommandLine(L"/load \"" + request.profile + (request.quiet ? L"\" /quiet" : L"\""));
    FUZZ_CHECK(again.action == Action::LoadProfile && again.profile == request.profile && again.quiet == request.quiet);
    return 0;
}
