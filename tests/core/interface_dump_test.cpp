// Profiles written by hand in the syntax netsh documents, both dialects,
// read back and shown as the list's summary and the comparison window.
#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>

#include "settings_comparison.h"

namespace {
using namespace roamwise;
using Lines = std::vector<std::wstring>;

Lines Summary(const std::wstring& dump) { return SummaryLines(ReadInterfaceDump(dump)); }

TEST(InterfaceDump, ReadsEachDialectsCommandsInTheirContexts) {
    const std::wstring xp =  // as 2000/XP write it, CR LF line ends
        L"#========================\r\n# Schnittstellenkonfiguration f\u00fcr \"LAN\"\r\npushd interface ip\r\n\r\n"
        L"set address name=\"Local Area Connection\" source=static addr=10.1.1.20 mask=255.255.255.0\r\n"
        L"\tset address name=\"Local Area Connection\" gateway=10.1.1.1\tgwmetric=0\r\n"
        L"  add address name=\"LOCAL AREA CONNECTION\" addr=10.1.1.21 mask=255.255.0.0\r\n"
        L"set dns name=\"Local Area Connection\" source=static addr=10.1.1.2 register=PRIMARY\r\n"
        L"add dns name=\"Local Area Connection\" addr=10.1.1.3 index=2\r\n"
        L"set wins name=\"Local Area Connection\" source=static addr=10.1.1.4\r\n"
        L"add wins name=\"Local Area Connection\" addr=10.1.1.5 index=1\r\n"
        L"set address name=\"Drahtlose Netzwerkverbindung \u00d6\" source=dhcp\r\n"
        L"set dns name=\"drahtlose netzwerkverbindung \u00f6\" source=static addr=10.1.1.2 register=PRIMARY\r\npopd\r\n";
    const std::wstring vista =  // as Vista and later write it
        L"pushd interface ipv4\nreset\nset global icmpredirects=enabled\nset interface interface=\"LAN\" forwarding=enabled\n"
        L"add address name=\"LAN\" address=10.1.1.20 mask=255.255.255.0\nadd address name=\"LAN\" address=10.1.1.21/24\n"
        L"add route prefix=0.0.0.0/0 interface=\"LAN\" nexthop=10.1.1.1 metric=256\nadd route prefix=10.2.0.0/16 interface=\"LAN\" nexthop=10.1.1.9\n"
        L"add route prefix=0.0.0.0/0 interface=\"LAN\" nexthop=0.0.0.0\nadd route prefix=0.0.0.0/0 interface=\"LAN\" nexthop=10.1.1.254\n"
        L"set dnsservers name=\"LAN\" source=static address=10.1.1.2 register=primary\nset address name=\"Wi-Fi\" source=dhcp\n"
        L"set dnsservers name=\"Wi-Fi\" source=dhcp\nadd winsserver name=\"Wi-Fi\" address=10.1.1.4 index=1\npopd\n"
        L"pushd interface ipv6\nadd address interface=\"LAN\" address=2001:db8::5/64\nadd route prefix=::/0 interface=\"LAN\" nexthop=fe80::1\n"
        L"add dnsservers name=\"LAN\" address=2001:db8::2\nadd winsservers name=\"LAN\" address=10.9.9.9\npopd\n";
    const struct { const char* what; std::wstring dump; Lines summary; } rows[] = {
        {"2000/XP", xp, {L"Local Area Connection: 10.1.1.20/24, 10.1.1.21/16, gateway 10.1.1.1, DNS 10.1.1.2, 10.1.1.3, WINS 10.1.1.5, 10.1.1.4",
                         L"Drahtlose Netzwerkverbindung \u00d6: DHCP, DNS 10.1.1.2"}},
        {"Vista", vista, {L"LAN: 10.1.1.20/24, 10.1.1.21/24, gateways 10.1.1.1, 10.1.1.254, DNS 10.1.1.2, 2001:db8::5/64",
                          L"Wi-Fi: DHCP, WINS 10.1.1.4"}},
        {"positional, full commands, lone CR",
         L"interface ip set address \"LAN\" static 10.1.1.20 255.255.255.0 10.1.1.1 1\rinterface ip set dns \"LAN\" static 10.1.1.2 primary\r"
         L"interface ip add dns \"LAN\" 10.1.1.3 1\rinterface ipv4 set winsservers \"LAN\" static 10.1.1.4\rinterface ip set address \"W\" dhcp\r"
         L"interface ipv4 add address \"V\" 10.1.1.30 255.255.255.192\rinterface ipv4 add dnsservers \"V\" 10.1.1.3 2\r"
         L"interface ipv4 add route 0.0.0.0/0 \"V\" 10.1.1.1\rinterface ipv4 set address \"V\" gateway=none",
         {L"LAN: 10.1.1.20/24, gateway 10.1.1.1, DNS 10.1.1.3, 10.1.1.2, WINS 10.1.1.4", L"W: DHCP", L"V: 10.1.1.30/26, DNS 10.1.1.3"}},
        {"tags in any case, abbreviated; ambiguous and unknown tags ignored",
         L"PUSHD INTERFACE IP\nSET ADDRESS NAME=\"LAN\" SOURCE=STATIC ADDR=10.1.1.20 MASK=255.255.255.0\n"
         L"set address na=\"LAN\" g=10.1.1.9 ga=10.1.1.1 gw=5 so=static m=1 ma=255.0.255.0 a=10.1.1.7\nset dns s=static na=LAN so=dhcp",
         {L"LAN: 10.1.1.7 mask 255.0.255.0, gateway 10.1.1.1, DNS from DHCP"}},
        {"set replaces, add adds once, dhcp clears",
         L"pushd interface ip\nset address A static 1.1.1.1 255.255.255.255 1.1.1.9\nset address A static 2.2.2.2\n"
         L"add address A 2.2.2.2\nadd address A 3.3.3.3 255.255..0 gateway=3.3.3.9\nadd address A gateway=3.3.3.9\nset dns A static none\n"
         L"set address B static 4.4.4.4 255.255.255.0 4.4.4.1\nset address B dhcp\nset dns B static 4.4.4.2\nadd dns B 4.4.4.3\n"
         L"set dns B dhcp\nset address B source=bootp\nset wins B static none\nadd wins B none\nset wins C static none",
         {L"A: 2.2.2.2, 3.3.3.3 mask 255.255..0, gateways 1.1.1.9, 3.3.3.9, no DNS", L"B: DHCP"}},
        {"nested contexts", L"popd\npushd interface\npushd ipv6\nadd address \"LAN\" 2001:DB8::5\npopd\nip set address \"LAN\" dhcp\n"
                            L"popd\nset address \"LAN\" static 1.2.3.4\nipv6 add address \"LAN\" 2001:db8::6\npushd\nipv4 set dns LAN static 9.9.9.9",
         {L"LAN: DHCP, 2001:DB8::5"}},
        {"other contexts", L"pushd interface portproxy\nadd v4tov4 listenport=80 connectaddress=10.0.0.1\nset address LAN dhcp\npopd\n"
                           L"interface portproxy add v4tov4 listenport=81 connectaddress=10.0.0.2\ninterface set address LAN dhcp\n"
                           L"interface ipv6 set wins LAN static 1.1.1.1\ninterface ip delete address LAN 1.1.1.1\ninterface ip set address source=dhcp\ninterface ip set address name=\"\" dhcp\n"
                           L"pushd interface ip extra\nset address LAN dhcp\npushd ip\nset address LAN dhcp", {}},
        {"no dump", L"Dear admin,\r\nset address name=LAN source=dhcp is what you type.\r\n# interface ip set address LAN dhcp\r\n\r\n", {}},
        {"a long line is cut",
         L"interface ip set address \"" + std::wstring(100, L'N') + L"\" static 10.1.1.20 255.255.255.0 10.1.1.1",
         {std::wstring(100, L'N') + L": 10.1.1.20/24, gat\u2026"}},
    };
    for (const auto& row : rows) EXPECT_EQ(Summary(row.dump), row.summary) << row.what;
}

TEST(InterfaceDump, KeepsAtMostWhatItsLimitsAllow) {
    std::wstring dump = L"pushd interface ip\n";
    for (int i = 0; i < 70; ++i) dump += L"set winsserver name=A" + std::to_wstring(i) + L" source=dhcp\n";
    for (int i = 0; i < 40; ++i) dump += L"add dnsserver A3 10.0.0." + std::to_wstring(i) + L" index=1\n";
    const std::vector<AdapterSettings> adapters = ReadInterfaceDump(dump);
    ASSERT_EQ(adapters.size(), kMaxAdapters);
    const std::vector<std::wstring>& dns = adapters[3].ipv4.dns.entries;
    EXPECT_EQ(dns.size(), kMaxEntries);
    EXPECT_EQ(dns.front() + L" " + dns[1] + L" " + dns.back(), L"10.0.0.31 10.0.0.30 10.0.0.0");
    const std::wstring longName = L"interface ip set address \"" + std::wstring(300, L'x') + L"\" dhcp";
    EXPECT_EQ(ReadInterfaceDump(longName).at(0).name, std::wstring(kMaxFieldLength, L'x'));
    const IpAddress slashed = ReadInterfaceDump(L"interface ipv6 add address A 2001:db8::5/64")[0].ipv6.addresses.entries[0];
    EXPECT_EQ(slashed.address + L" " + slashed.mask, L"2001:db8::5 64");
    std::wstring words = L"interface ip set dns B static";  // a line's 32nd word is read, its 33rd not
    for (int i = 0; i < 25; ++i) words += L" x=1";
    EXPECT_EQ(Summary(words + L" addr=1.1.1.1\n" + words + L" x=1 addr=2.2.2.2"), Lines{L"B: DNS 1.1.1.1"});
}

// Every letter folds as the C.UTF-8 locale lowers it, or stays; those of the
// blocks promised all fold.
TEST(InterfaceDump, FoldsLetterCaseAsTheLocaleDoes) {
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "C.UTF-8"));
    for (wchar_t c = 0; c < 0x500; ++c) {
        const wchar_t folded = FoldCase(std::wstring(1, c))[0], lower = static_cast<wchar_t>(std::towlower(c));
        const bool promised = (c < 0x180 && c != 0x130) || (c >= 0x391 && c < 0x3AC) || (c >= 0x400 && c < 0x430);
        EXPECT_TRUE(folded == lower || (folded == c && !promised)) << std::hex << c;
    }
    std::setlocale(LC_CTYPE, "C");
}

TEST(SettingsComparison, ShowsWhatTheProfileSetsBesideWhatIsInForce) {
    const std::wstring office =
        L"pushd interface ip\nset address \"Local Area Connection\" static 10.1.1.20 255.255.255.0 10.1.1.1 1\n"
        L"set dns \"Local Area Connection\" static 10.1.1.2\nadd dns \"Local Area Connection\" 10.1.1.3\nset wins \"Local Area Connection\" static none\n"
        L"set address \"Wireless Network Connection\" dhcp\nset address \"Bluetooth Network\" static 10.3.3.3 255.255.256.0\npopd\n"
        L"interface ipv6 add address \"Wireless Network Connection\" 2001:DB8::5/64\ninterface ipv6 add dnsservers \"Wi-Fi 3\" fe80::9";
    const std::wstring now =
        L"pushd interface ipv4\nadd address name=\"local area connection\" address=10.1.1.20/24\nadd route 0.0.0.0/0 \"LOCAL AREA CONNECTION\" 192.0.2.1 metric=0\n"
        L"set dnsservers \"Local Area Connection\" dhcp\nadd address \"Wireless Network Connection\" 192.0.2.7 255.255.255.0\n"
        L"add address \"Local Area Connection 2\" 192.0.2.8 255.255.255.0\nset dnsservers \"Empty\" register=primary\n"
        L"pushd interface ipv6\nadd address \"Wireless Network Connection\" 2001:db8::5/64\nadd address \"Wi-Fi 3\" 2001:db8::7\n";
    const struct { std::wstring profile, current, text; } rows[] = {
        {office, now,
         L"\"Office\" compared with the settings in force now. Lines marked * differ.\r\n\r\n"
         L"Local Area Connection\r\n  IPv4 addresses: 10.1.1.20/24\r\n* Gateways: 10.1.1.1 (metric 1); now 192.0.2.1 (metric 0)\r\n"
         L"* DNS servers: 10.1.1.2, 10.1.1.3; now from DHCP\r\n  WINS servers: none\r\n\r\n"
         L"Wireless Network Connection\r\n* IPv4 addresses: from DHCP; now 192.0.2.7/24\r\n* Gateways: from DHCP; now none\r\n"
         L"  IPv6 addresses: 2001:DB8::5/64\r\n\r\nBluetooth Network\r\n* IPv4 addresses: 10.3.3.3 mask 255.255.256.0; now not present\r\n\r\n"
         L"Wi-Fi 3\r\n* IPv6 DNS servers: fe80::9; now none\r\n\r\nLeft alone by \"Office\": Local Area Connection 2"},
        {office, office.substr(0, office.find(L"popd")),
         L"\"Office\" compared with the settings in force now. Lines marked * differ.\r\n\r\nLocal Area Connection\r\n"
         L"  IPv4 addresses: 10.1.1.20/24\r\n  Gateways: 10.1.1.1 (metric 1)\r\n  DNS servers: 10.1.1.2, 10.1.1.3\r\n  WINS servers: none\r\n\r\n"
         L"Wireless Network Connection\r\n  IPv4 addresses: from DHCP\r\n  Gateways: from DHCP\r\n* IPv6 addresses: 2001:DB8::5/64; now none\r\n\r\n"
         L"Bluetooth Network\r\n  IPv4 addresses: 10.3.3.3 mask 255.255.256.0\r\n\r\nWi-Fi 3\r\n* IPv6 DNS servers: fe80::9; now not present"},
        {L"set address LAN dhcp", now, L"\"Office\" holds no interface settings that Roamwise can read."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CompareSettings(L"Office", ReadInterfaceDump(row.profile), ReadInterfaceDump(row.current)), row.text);
}

}  // namespace
