#include "interface_dump.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace roamwise {

namespace {

using View = std::wstring_view;
constexpr std::size_t kEnd = View::npos;
// No command read here has more words; the rest of a longer line is not looked at.
constexpr std::size_t kMaxWords = 32;

wchar_t FoldLetter(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 0x50);
    if (c == 0x178) return 0xFF;
    // Latin Extended-A pairs its letters: capitals odd from Ĺ to ň and from Ź to ž, even elsewhere.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return static_cast<wchar_t>(c + (c & 1));
    if (c >= 0x100 && c <= 0x177 && c != 0x130 && c != 0x138) return static_cast<wchar_t>(c | 1);
    return c;
}

// Keywords are given in small letters.
bool Is(View word, View keyword) {
    return word.size() == keyword.size() &&
           std::equal(word.begin(), word.end(), keyword.begin(), [](wchar_t a, wchar_t b) { return FoldLetter(a) == b; });
}

std::wstring Field(View text) { return std::wstring(text.substr(0, kMaxFieldLength)); }

// Blank-separated words; a quoted stretch keeps its blanks.
std::vector<View> Words(View line) {
    std::vector<View> words;
    for (std::size_t at = 0; words.size() < kMaxWords;) {
        at = line.find_first_not_of(L" \t", at);
        if (at == kEnd) break;
        std::size_t end = at;
        for (bool quoted = false; end < line.size() && (quoted || (line[end] != L' ' && line[end] != L'\t')); ++end)
            if (line[end] == L'"') quoted = !quoted;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// --- arguments: "tag=value" or, in the command's order, the value alone ------

// What each argument of a command is to the command; Count for none of these.
namespace arg {
enum Role { Adapter, Source, Address, Mask, Gateway, GwMetric, Index, Register, Prefix, NextHop, SitePrefix, Metric, Count };
}
using arg::Role;

struct Tag {
    View name;
    Role role;
};
// "addr" (2000/XP) abbreviates "address" (Vista), as any unique start of a tag does.
constexpr Tag kTags[] = {
    {L"name", arg::Adapter},      {L"interface", arg::Adapter}, {L"source", arg::Source},   {L"address", arg::Address},
    {L"mask", arg::Mask},         {L"gateway", arg::Gateway},   {L"gwmetric", arg::GwMetric}, {L"index", arg::Index},
    {L"register", arg::Register}, {L"prefix", arg::Prefix},     {L"nexthop", arg::NextHop}, {L"metric", arg::Metric},
    {L"siteprefixlength", arg::SitePrefix}};

// arg::Count for a tag none of ours starts with, or that starts two of them.
Role RoleOf(View tag) {
    Role found = arg::Count;
    for (const Tag& t : kTags) {
        if (tag.size() > t.name.size() || !Is(tag, t.name.substr(0, tag.size()))) continue;
        if (found != arg::Count && found != t.role) return arg::Count;
        found = t.role;
    }
    return found;
}

using Arguments = std::array<View, arg::Count>;

View Unquoted(View value) {
    return value.size() >= 2 && value.front() == L'"' && value.back() == L'"' ? value.substr(1, value.size() - 2) : value;
}

// A word with no tag takes the first role of the command's order not given yet.
Arguments ArgumentsOf(const std::vector<View>& words, std::size_t from, std::initializer_list<Role> order) {
    Arguments args;
    std::array<bool, arg::Count> given{};
    for (; from < words.size(); ++from) {
        const View word = words[from];
        const std::size_t equals = word.find(L'=');
        const bool tagged = equals != kEnd && equals < word.find(L'"');
        Role role = tagged ? RoleOf(word.substr(0, equals)) : arg::Count;
        for (auto next = order.begin(); !tagged && role == arg::Count && next != order.end(); ++next)
            if (!given[*next]) role = *next;
        if (role == arg::Count || given[role]) continue;
        given[role] = true;
        args[role] = Unquoted(tagged ? word.substr(equals + 1) : word);
    }
    return args;
}

// --- applying a command to an adapter's settings ------------------------------

const View kDhcp = L"dhcp";

template <class Entry>
void Reset(Setting<Entry>& setting, Source source) {
    setting.source = source;
    setting.entries.clear();
}

const std::wstring& Key(const IpAddress& a) { return a.address; }
const std::wstring& Key(const Gateway& g) { return g.address; }
const std::wstring& Key(const std::wstring& server) { return server; }

// Windows keeps an address once, so a second one of the same text changes nothing.
template <class Entry>
void Add(Setting<Entry>& setting, Entry entry, std::size_t at = kEnd) {
    if (Key(entry).empty()) return;
    setting.source = Source::Static;
    auto& list = setting.entries;
    const std::wstring key = FoldCase(Key(entry));
    const auto same = [&key](const Entry& e) { return FoldCase(Key(e)) == key; };
    if (list.size() == kMaxEntries || std::any_of(list.begin(), list.end(), same)) return;
    list.insert(list.begin() + std::min(at, list.size()), std::move(entry));
}

// "index=2" puts a server second; no index, or one past the end, adds it last.
std::size_t Position(View index) {
    std::size_t n = 0;
    for (wchar_t c : index) {
        if (c < L'0' || c > L'9') return kEnd;
        n = n * 10 + (c - L'0');  // an index too large wraps around: still somewhere in the list
    }
    return n - 1;  // no index: kEnd
}

// "set" replaces the IPv4 address and gateway; for IPv6 it changes an address's
// lifetimes, so both verbs only add there.
void ReadAddress(FamilySettings& family, const Arguments& args, bool replace) {
    if (replace && Is(args[arg::Source], kDhcp)) {
        Reset(family.addresses, Source::Dhcp);
        return Reset(family.gateways, Source::Dhcp);
    }
    const View written = args[arg::Address], gateway = args[arg::Gateway];
    const std::size_t slash = written.find(L'/');
    const View length = slash == kEnd ? View() : written.substr(slash + 1);
    if (replace && !written.empty()) Reset(family.addresses, Source::Static);
    Add(family.addresses, {Field(written.substr(0, slash)), Field(args[arg::Mask].empty() ? length : args[arg::Mask])});
    if (replace && !gateway.empty()) Reset(family.gateways, Source::Static);
    if (!Is(gateway, L"none")) Add(family.gateways, {Field(gateway), Field(args[arg::GwMetric])});
}

void ReadServers(Setting<std::wstring>& servers, const Arguments& args, bool replace) {
    if (replace && Is(args[arg::Source], kDhcp)) return Reset(servers, Source::Dhcp);
    if (replace && !args[arg::Address].empty()) Reset(servers, Source::Static);
    if (!Is(args[arg::Address], L"none")) Add(servers, Field(args[arg::Address]), Position(args[arg::Index]));
}

bool Unspecified(View address) { return address.find_first_not_of(L"0.:") == kEnd; }

// A default route with a next hop is a gateway; other routes, and routes on
// the link itself, are no concern of a profile's summary.
void ReadRoute(FamilySettings& family, const Arguments& args) {
    if ((Is(args[arg::Prefix], L"0.0.0.0/0") || args[arg::Prefix] == L"::/0") && !Unspecified(args[arg::NextHop]))
        Add(family.gateways, {Field(args[arg::NextHop]), Field(args[arg::Metric])});
}

// --- contexts and commands ----------------------------------------------------

enum class Context { Root, Interface, Ipv4, Ipv6, Other };
enum class Object { None, Address, Dns, Wins, Route };

// The context a line's first words lead into; "interface" starts a full
// command whatever context is current.
Context Descend(Context current, const std::vector<View>& words, std::size_t& at) {
    Context c = current;
    if (at < words.size() && Is(words[at], L"interface")) c = Context::Interface, ++at;
    if (c != Context::Interface || at == words.size()) return c;
    const View family = words[at++];
    if (Is(family, L"ip") || Is(family, L"ipv4")) return Context::Ipv4;  // Vista reads "ip" as "ipv4"
    return Is(family, L"ipv6") ? Context::Ipv6 : Context::Other;
}

Object ObjectOf(Context c, View word) {
    if (Is(word, L"address")) return Object::Address;
    if (Is(word, L"route")) return Object::Route;
    if (Is(word, L"dns") || Is(word, L"dnsserver") || Is(word, L"dnsservers")) return Object::Dns;
    const bool wins = Is(word, L"wins") || Is(word, L"winsserver") || Is(word, L"winsservers");
    return wins && c == Context::Ipv4 ? Object::Wins : Object::None;
}

Arguments ArgumentsFor(Object object, bool set, const std::vector<View>& words, std::size_t from) {
    switch (object) {
    case Object::Address:
        return set ? ArgumentsOf(words, from, {arg::Adapter, arg::Source, arg::Address, arg::Mask, arg::Gateway, arg::GwMetric})
                   : ArgumentsOf(words, from, {arg::Adapter, arg::Address, arg::Mask, arg::Gateway, arg::GwMetric});
    case Object::Route:
        return ArgumentsOf(words, from, {arg::Prefix, arg::Adapter, arg::NextHop, arg::SitePrefix, arg::Metric});
    default:
        return set ? ArgumentsOf(words, from, {arg::Adapter, arg::Source, arg::Address, arg::Register})
                   : ArgumentsOf(words, from, {arg::Adapter, arg::Address, arg::Index});
    }
}

class DumpReader {
public:
    void Line(View line);
    std::vector<AdapterSettings> Adapters();

private:
    void Command(Context context, const std::vector<View>& words, std::size_t at);
    AdapterSettings* Named(View name);

    Context context_ = Context::Root;
    std::vector<Context> pushed_;
    std::vector<AdapterSettings> adapters_;
    std::vector<std::wstring> keys_;  // the adapters' names, folded
};

void DumpReader::Line(View line) {
    const std::vector<View> words = Words(line);
    if (words.empty()) return;  // comments need no test: no command starts with "#"
    std::size_t at = 1;
    if (Is(words[0], L"pushd")) {
        pushed_.push_back(context_);
        const Context entered = Descend(context_, words, at);
        context_ = at == words.size() ? entered : Context::Other;
    } else if (Is(words[0], L"popd")) {
        if (!pushed_.empty()) context_ = pushed_.back(), pushed_.pop_back();
    } else {
        at = 0;
        const Context c = Descend(context_, words, at);
        if ((c == Context::Ipv4 || c == Context::Ipv6) && at + 2 <= words.size()) Command(c, words, at);
    }
}

void DumpReader::Command(Context context, const std::vector<View>& words, std::size_t at) {
    const bool set = Is(words[at], L"set");
    const Object object = ObjectOf(context, words[at + 1]);
    if ((!set && !Is(words[at], L"add")) || object == Object::None) return;
    const Arguments args = ArgumentsFor(object, set, words, at + 2);
    if (!args[arg::Source].empty() && !Is(args[arg::Source], kDhcp) && !Is(args[arg::Source], L"static")) return;
    AdapterSettings* adapter = Named(args[arg::Adapter]);
    if (!adapter) return;
    FamilySettings& family = context == Context::Ipv4 ? adapter->ipv4 : adapter->ipv6;
    if (object == Object::Address) ReadAddress(family, args, set && context == Context::Ipv4);
    else if (object == Object::Route) ReadRoute(family, args);
    else ReadServers(object == Object::Dns ? family.dns : family.wins, args, set);
}

AdapterSettings* DumpReader::Named(View name) {
    if (name.empty()) return nullptr;
    const std::wstring field = Field(name), key = FoldCase(field);
    const auto known = std::find(keys_.begin(), keys_.end(), key);
    if (known != keys_.end()) return &adapters_[known - keys_.begin()];
    if (adapters_.size() == kMaxAdapters) return nullptr;
    keys_.push_back(key);
    adapters_.push_back({field, {}, {}});
    return &adapters_.back();
}

bool Says(const FamilySettings& f) {
    return f.addresses.source != Source::Unsaid || f.gateways.source != Source::Unsaid || f.dns.source != Source::Unsaid ||
           f.wins.source != Source::Unsaid;
}

std::vector<AdapterSettings> DumpReader::Adapters() {
    std::vector<AdapterSettings> said;
    for (AdapterSettings& a : adapters_)
        if (Says(a.ipv4) || Says(a.ipv6)) said.push_back(std::move(a));
    return said;
}

}  // namespace

std::wstring FoldCase(std::wstring text) {
    for (wchar_t& c : text) c = FoldLetter(c);
    return text;
}

// Lines end in CR LF, LF or a lone CR.
std::vector<AdapterSettings> ReadInterfaceDump(const std::wstring& text) {
    DumpReader reader;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find_first_of(L"\r\n", at), text.size());
        reader.Line(View(text).substr(at, end - at));
    }
    return reader.Adapters();
}

}  // namespace roamwise
