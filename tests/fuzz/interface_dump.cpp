// Any bytes as a profile, widened from Latin-1: what the reader keeps stays
// within its limits and is, piece by piece, text of the profile; the summary
// and the comparison take whatever it read, and a profile compared with
// itself shows no difference.
#include "fuzz.h"
#include "settings_comparison.h"

using namespace roamwise;

static void Check(const std::wstring& text, const std::wstring& piece) {
    FUZZ_CHECK(piece.size() <= kMaxFieldLength && text.find(piece) != std::wstring::npos);
}
static void Check(const std::wstring& text, const IpAddress& a) { Check(text, a.address), Check(text, a.mask); }
static void Check(const std::wstring& text, const Gateway& g) { Check(text, g.address), Check(text, g.metric); }
template <class Entry>
static void Check(const std::wstring& text, const Setting<Entry>& setting) {
    FUZZ_CHECK(setting.entries.size() <= kMaxEntries);
    for (const Entry& entry : setting.entries) Check(text, entry);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text(data, data + size);
    const std::vector<AdapterSettings> adapters = ReadInterfaceDump(text);
    FUZZ_CHECK(adapters.size() <= kMaxAdapters);
    std::vector<std::wstring> names;
    for (const AdapterSettings& a : adapters) {
        FUZZ_CHECK(!a.name.empty()), Check(text, a.name), names.push_back(a.name);
        for (const FamilySettings* f : {&a.ipv4, &a.ipv6})
            Check(text, f->addresses), Check(text, f->gateways), Check(text, f->dns), Check(text, f->wins);
    }
    for (const std::wstring& line : SummaryLines(adapters)) FUZZ_CHECK(line.size() <= kMaxSummaryLength);
    // Only an adapter's own name, as a heading, may start like a marked line.
    const std::wstring same = CompareSettings(L"P", adapters, adapters) + L"\r\n";
    for (std::size_t at = 0, end; at < same.size(); at = end + 2) {
        const std::wstring line = same.substr(at, (end = same.find(L"\r\n", at)) - at);
        if (line.rfind(L"* ", 0) == 0) FUZZ_CHECK(std::find(names.begin(), names.end(), line) != names.end());
    }
    return 0;
}
