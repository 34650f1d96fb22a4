// Facts about the machine: the Windows version record and the active address.
#include <gtest/gtest.h>

#include "scratch.h"

#include <cstring>
#include <string>
#include <vector>

#include "local_address.h"
#include "win32_platform.h"

using roamwise::OsVersionInfoA;
using roamwise::win32::AdapterAddress;
using roamwise::win32::PickLocalIP;
using roamwise::win32::Win32Platform;
using roamwise_test::Narrow;

namespace {

TEST(Win32PlatformMachine, VersionRecordIsFilledOnlyWhenItsSizeIsRight) {
    struct Case {
        std::uint32_t size;
        bool ok;
    };
    const Case cases[] = {{148, true}, {0, false}, {147, false}};
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        OsVersionInfoA info;
        info.dwOSVersionInfoSize = c.size;
        info.dwPlatformId = 77;  // left as it was when the call fails
        std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
        EXPECT_EQ(platform.GetVersionExA(info), c.ok);
        if (!c.ok) {
            EXPECT_EQ(info.dwPlatformId, 77u);
            continue;
        }
        EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
        EXPECT_EQ(info.dwPlatformId, 2u) << "NT family";
        EXPECT_GE(info.dwMajorVersion, 5u);
        EXPECT_NE(info.dwBuildNumber, 0u);
        EXPECT_NE(std::memchr(info.szCSDVersion, 0, sizeof info.szCSDVersion), nullptr)
            << "the service-pack text is terminated inside its field";
    }
}

// Four decimal numbers 0-255 separated by dots.
bool IsDottedIPv4(const std::wstring& text) {
    int parts = 0;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && digits < 4) {
            value = value * 10 + (text[i] - L'0');
            ++digits;
            ++i;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        ++parts;
        if (i == text.size()) break;
        if (text[i] != L'.') return false;
        ++i;
    }
    return parts == 4;
}

TEST(Win32PlatformMachine, DottedAddressCheckOfThisTest) {
    struct Case {
        const wchar_t* text;
        bool dotted;
    };
    const Case cases[] = {{L"127.0.0.1", true},   {L"192.0.2.5", true},  {L"255.255.255.255", true},
                          {L"256.1.1.1", false},  {L"1.2.3", false},      {L"1.2.3.4.5", false},
                          {L"1.2.3.", false},     {L"", false},           {L"a.b.c.d", false},
                          {L"1.2.3.4 ", false},   {L"0001.2.3.4", false}};
    for (const auto& c : cases) EXPECT_EQ(IsDottedIPv4(c.text), c.dotted) << Narrow(c.text);
}

TEST(Win32PlatformMachine, LocalIPIsADottedAddressOfThisMachine) {
    Win32Platform platform;
    const std::wstring ip = platform.LocalIP();
    EXPECT_TRUE(IsDottedIPv4(ip)) << Narrow(ip);
    if (ip == L"127.0.0.1") return;  // no adapter with an address: nothing more to compare
    bool listed = false;
    for (const auto& adapter : roamwise::win32::ListAdapters())
        listed = listed || roamwise_test::Widen(adapter.ip) == ip;
    EXPECT_TRUE(listed) << Narrow(ip) << " is no adapter's address";
}

TEST(Win32PlatformMachine, LocalIPPrefersTheAdapterWithAGateway) {
    struct Case {
        const char* what;
        std::vector<AdapterAddress> adapters;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"no adapters", {}, L"127.0.0.1"},
        {"only loopback", {{"127.0.0.1", ""}}, L"127.0.0.1"},
        {"only unset addresses", {{"0.0.0.0", ""}, {"0.0.0.0", "0.0.0.0"}}, L"127.0.0.1"},
        {"one adapter without gateway", {{"192.0.2.5", ""}}, L"192.0.2.5"},
        {"one adapter with gateway", {{"192.0.2.5", "192.0.2.1"}}, L"192.0.2.5"},
        {"gateway adapter wins over an earlier one", {{"10.0.0.7", ""}, {"192.0.2.5", "192.0.2.1"}}, L"192.0.2.5"},
        {"first of two gateway adapters", {{"192.0.2.9", "192.0.2.1"}, {"192.0.2.5", "192.0.2.1"}}, L"192.0.2.9"},
        {"gateway 0.0.0.0 is no gateway", {{"10.0.0.7", ""}, {"192.0.2.5", "0.0.0.0"}}, L"10.0.0.7"},
        {"loopback skipped", {{"127.0.0.1", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"other loopback address skipped", {{"127.1.2.3", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"unset address skipped", {{"0.0.0.0", ""}, {"192.0.2.5", ""}}, L"192.0.2.5"},
        {"gateway adapter without an address", {{"0.0.0.0", "192.0.2.1"}, {"10.0.0.7", ""}}, L"10.0.0.7"},
        {"first usable adapter without gateway", {{"10.0.0.7", ""}, {"192.0.2.5", ""}}, L"10.0.0.7"},
        {"empty entries", {{"", ""}, {"", "192.0.2.1"}}, L"127.0.0.1"},
    };
    for (const auto& c : cases) EXPECT_EQ(PickLocalIP(c.adapters), c.expected) << c.what;
}

}  // namespace
