#include "settings_comparison.h"

#include <cstdint>
#include <optional>

namespace roamwise {

namespace {

const wchar_t kEllipsis[] = L"\u2026";

// 24 for "255.255.255.0"; none for anything but a contiguous dotted mask.
std::optional<int> PrefixLength(const std::wstring& mask) {
    std::uint32_t bits = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at == mask.size() || mask[at++] != L'.')) return std::nullopt;
        const std::size_t start = at;
        std::uint32_t octet = 0;
        for (; at < mask.size() && mask[at] >= L'0' && mask[at] <= L'9'; ++at)
            if ((octet = octet * 10 + (mask[at] - L'0')) > 255) return std::nullopt;
        if (at == start) return std::nullopt;
        bits = bits << 8 | octet;
    }
    const std::uint32_t hosts = ~bits;
    if (at < mask.size() || (hosts & (hosts + 1)) != 0) return std::nullopt;
    int length = 0;
    for (; bits != 0; bits <<= 1) ++length;
    return length;
}

std::wstring Text(const IpAddress& a) {
    if (a.mask.empty()) return a.address;
    if (a.mask.find(L'.') == std::wstring::npos) return a.address + L"/" + a.mask;
    const std::optional<int> length = PrefixLength(a.mask);
    return length ? a.address + L"/" + std::to_wstring(*length) : a.address + L" mask " + a.mask;
}
std::wstring Text(const Gateway& g) { return g.metric.empty() ? g.address : g.address + L" (metric " + g.metric + L")"; }
std::wstring Text(const std::wstring& server) { return server; }

template <class Entry>
std::wstring Joined(const std::vector<Entry>& entries, std::wstring (*text)(const Entry&) = Text) {
    std::wstring joined;
    for (const Entry& e : entries) joined += (joined.empty() ? L"" : L", ") + text(e);
    return joined;
}

std::wstring Address(const Gateway& g) { return g.address; }

std::wstring SummaryLine(const AdapterSettings& adapter) {
    const FamilySettings& v4 = adapter.ipv4;
    const bool dhcp = v4.addresses.source == Source::Dhcp;
    std::wstring line = dhcp ? L"DHCP" : Joined(v4.addresses.entries);
    const auto part = [&line](const std::wstring& text) { line += (line.empty() ? L"" : L", ") + text; };
    const auto& gateways = v4.gateways.entries;
    if (!gateways.empty()) part((gateways.size() > 1 ? L"gateways " : L"gateway ") + Joined(gateways, Address));
    if (v4.dns.source == Source::Static) part(v4.dns.entries.empty() ? L"no DNS" : L"DNS " + Joined(v4.dns.entries));
    if (v4.dns.source == Source::Dhcp && !dhcp) part(L"DNS from DHCP");
    if (!v4.wins.entries.empty()) part(L"WINS " + Joined(v4.wins.entries));
    if (!adapter.ipv6.addresses.entries.empty()) part(Joined(adapter.ipv6.addresses.entries));
    if (line.empty()) return line;
    line = adapter.name + L": " + line;
    return line.size() > kMaxSummaryLength ? line.substr(0, kMaxSummaryLength - 1) + kEllipsis : line;
}

// A setting as the comparison shows it; none where the dump says nothing of it.
template <class Entry>
std::optional<std::wstring> Shown(const Setting<Entry>& setting) {
    if (setting.source == Source::Unsaid) return std::nullopt;
    if (setting.source == Source::Dhcp) return L"from DHCP";
    return setting.entries.empty() ? L"none" : Joined(setting.entries);
}

using Item = std::optional<std::wstring> (*)(const AdapterSettings&);
const std::pair<const wchar_t*, Item> kItems[] = {
    {L"IPv4 addresses", [](const AdapterSettings& a) { return Shown(a.ipv4.addresses); }},
    {L"Gateways", [](const AdapterSettings& a) { return Shown(a.ipv4.gateways); }},
    {L"DNS servers", [](const AdapterSettings& a) { return Shown(a.ipv4.dns); }},
    {L"WINS servers", [](const AdapterSettings& a) { return Shown(a.ipv4.wins); }},
    {L"IPv6 addresses", [](const AdapterSettings& a) { return Shown(a.ipv6.addresses); }},
    {L"IPv6 gateways", [](const AdapterSettings& a) { return Shown(a.ipv6.gateways); }},
    {L"IPv6 DNS servers", [](const AdapterSettings& a) { return Shown(a.ipv6.dns); }},
};

const AdapterSettings* Find(const std::vector<AdapterSettings>& adapters, const std::wstring& name) {
    for (const AdapterSettings& a : adapters)
        if (FoldCase(a.name) == FoldCase(name)) return &a;
    return nullptr;
}

// Values compare letter case aside: IPv6 addresses may be written either way.
void CompareAdapter(const AdapterSettings& mine, const AdapterSettings* now, std::vector<std::wstring>& lines) {
    lines.push_back(L"");
    lines.push_back(mine.name);
    for (const auto& [label, item] : kItems) {
        const std::optional<std::wstring> set = item(mine);
        if (!set) continue;
        const std::wstring inForce = now ? item(*now).value_or(L"none") : L"not present";
        const bool same = now && FoldCase(*set) == FoldCase(inForce);
        lines.push_back((same ? L"  " : L"* ") + std::wstring(label) + L": " + *set + (same ? L"" : L"; now " + inForce));
    }
}

}  // namespace

std::vector<std::wstring> SummaryLines(const std::vector<AdapterSettings>& adapters) {
    std::vector<std::wstring> lines;
    for (const AdapterSettings& a : adapters)
        if (std::wstring line = SummaryLine(a); !line.empty()) lines.push_back(line);
    return lines;
}

std::wstring CompareSettings(const std::wstring& profileName, const std::vector<AdapterSettings>& profile,
                             const std::vector<AdapterSettings>& current) {
    const std::wstring quoted = L"\"" + profileName + L"\"";
    std::vector<std::wstring> lines{quoted + L" compared with the settings in force now. Lines marked * differ."};
    for (const AdapterSettings& a : profile)
        CompareAdapter(a, Find(current, a.name), lines);
    if (lines.size() == 1) return quoted + L" holds no interface settings that Roamwise can read.";
    std::wstring alone;
    for (const AdapterSettings& a : current)
        if (!Find(profile, a.name)) alone += (alone.empty() ? L"" : L", ") + a.name;
    if (!alone.empty()) lines.insert(lines.end(), {L"", L"Left alone by " + quoted + L": " + alone});
    std::wstring text;
    for (const std::wstring& line : lines) text += (text.empty() ? L"" : L"\r\n") + line;
    return text;
}

}  // namespace roamwise
