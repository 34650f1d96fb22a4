// What a profile sets, read from the text "netsh -c interface dump" wrote:
// per adapter, its IPv4 and IPv6 addresses, gateways and name servers. Both
// dialects netsh writes are read, the "interface ip" one of Windows 2000 and
// XP and the "interface ipv4"/"interface ipv6" one of Vista and later, mixed
// in one text if need be. Anything else is skipped: a text that is no dump
// reads as no adapter at all.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace roamwise {

// However large the text, no more is kept than a window can sensibly show.
constexpr std::size_t kMaxAdapters = 64;
constexpr std::size_t kMaxEntries = 32;  // in one list: addresses, gateways, servers
constexpr std::size_t kMaxFieldLength = 256;

enum class Source { Unsaid, Dhcp, Static };

// Every text below is a piece of the dump as written, never reformatted.
struct IpAddress {
    std::wstring address;
    std::wstring mask;  // a dotted mask or a prefix length (the part after "/"); may be empty
};
struct Gateway {
    std::wstring address;
    std::wstring metric;  // may be empty
};

// One kind of setting: from DHCP, or these entries in this order.
template <class Entry>
struct Setting {
    Source source = Source::Unsaid;
    std::vector<Entry> entries;
};

struct FamilySettings {
    Setting<IpAddress> addresses;
    Setting<Gateway> gateways;
    Setting<std::wstring> dns, wins;  // no WINS for IPv6
};

struct AdapterSettings {
    std::wstring name;  // as first spelt
    FamilySettings ipv4, ipv6;
};

// The adapters the dump says something about, in the order they first appear.
std::vector<AdapterSettings> ReadInterfaceDump(const std::wstring& text);

// The text in small letters, for matching adapter names and addresses letter
// case aside as Windows does: ASCII, Latin-1, Latin Extended-A, the Greek and
// Cyrillic capitals; the same on every machine, whatever the C locale.
std::wstring FoldCase(std::wstring text);

}  // namespace roamwise
