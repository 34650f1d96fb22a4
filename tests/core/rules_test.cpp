// The small rules the windows rely on: numbers, screen placement,
// command-line paths and the naming of Windows versions. Profile names are
// checked through the save itself, in hardening_test.cpp.
#include <gtest/gtest.h>

#include "command_runner.h"
#include "fakes.h"
#include "numbers.h"
#include "screen_placement.h"
#include "windows_version.h"

namespace roamwise {
namespace {

using testing::FakePlatform;

TEST(Numbers, TextToLongAcceptsDecimalWholeNumbersInRange) {
    const struct {
        std::wstring text;
        std::int32_t value;
        long failure;  // 0: converts
    } cases[] = {
        {L"0", 0, 0},
        {L"1200", 1200, 0},
        {L"-15", -15, 0},
        {L"+7", 7, 0},
        {L" 42 ", 42, 0},
        {L"2147483647", 2147483647, 0},
        {L"-2147483648", INT32_MIN, 0},
        {L"2147483648", 0, kOverflow},
        {L"-2147483649", 0, kOverflow},
        {L"99999999999999999999", 0, kOverflow},
        {L"", 0, kTypeMismatch},
        {L"abc", 0, kTypeMismatch},
        {L"1 2", 0, kTypeMismatch},
        {L"-", 0, kTypeMismatch},
    };
    for (const auto& c : cases) {
        long failure = 0;
        std::int32_t value = 0;
        try {
            value = TextToLong(c.text);
        } catch (const Failure& f) {
            failure = f.number;
        }
        EXPECT_EQ(failure, c.failure) << c.text.c_str();
        if (!c.failure) EXPECT_EQ(value, c.value) << c.text.c_str();
        EXPECT_EQ(TextToLongOr(c.text, -1), c.failure ? -1 : c.value);
    }
}

TEST(ScreenPlacement, VisibleWindowsStayAndLostOnesComeBack) {
    const std::vector<Rect> one{{0, 0, 15360, 11520}};
    const std::vector<Rect> two{{0, 0, 15360, 11520}, {15360, 0, 30720, 11520}};
    const Size size{4000, 4500};
    const struct {
        const char* what;
        Point wanted;
        std::vector<Rect> areas;
        Point expected;
    } cases[] = {
        {"first run", {0, 0}, one, {0, 0}},
        {"middle", {3000, 2000}, one, {3000, 2000}},
        {"partly off the right edge", {14000, 100}, one, {14000, 100}},
        {"partly above", {100, -3000}, one, {100, -3000}},
        {"far right", {100000, 500}, one, {15360 - 4000, 500}},
        {"far left and below", {-100000, 90000}, one, {0, 11520 - 4500}},
        {"on the second monitor", {20000, 100}, two, {20000, 100}},
        {"beyond the second monitor", {50000, 100}, two, {30720 - 4000, 100}},
        {"extreme values", {2147483647, -2147483647 - 1}, one, {15360 - 4000, 0}},
        {"no monitors known", {99999, 99999}, {}, {99999, 99999}},
    };
    for (const auto& c : cases) EXPECT_EQ(KeepOnScreen(c.wanted, size, c.areas), c.expected) << c.what;
}

TEST(CommandLinePaths, QuotedOnlyWhenTheInterpreterWouldSplitThem) {
    const struct {
        std::wstring path, expected;
    } cases[] = {
        {L"C:\\PROGRA~1\\ROAMWI~1\\Profiles\\Home.txt", L"C:\\PROGRA~1\\ROAMWI~1\\Profiles\\Home.txt"},
        {L"D:\\R&D\\x.txt", L"\"D:\\R&D\\x.txt\""},
        {L"D:\\a(1)\\x.txt", L"\"D:\\a(1)\\x.txt\""},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandRunner::CommandLinePath(c.path), c.expected);
}

OsVersionInfoA Version(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    OsVersionInfoA v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    return v;
}

TEST(WindowsVersion, NamesEverySystemAtEachBoundary) {
    const struct {
        OsVersionInfoA info;
        const wchar_t* name;
    } cases[] = {
        {Version(1, 4, 0, 950), L"Windows 95"},
        {Version(1, 4, 0, 951), L"Windows 95 SP1"},
        {Version(1, 4, 0, 1080), L"Windows 95 SP1"},
        {Version(1, 4, 0, 1081), L"Windows 95 OSR2"},
        {Version(1, 4, 0, 949), L"Windows 95 OSR2"},
        {Version(1, 4, 9, 950), L"Windows 95"},
        {Version(1, 4, 10, 1998), L"Windows 98"},
        {Version(1, 4, 10, 1999), L"Windows 98 SP1"},
        {Version(1, 4, 10, 2182), L"Windows 98 SP1"},
        {Version(1, 4, 10, 2183), L"Windows 98 SE"},
        {Version(1, 4, 10, 1997), L"Windows 98 SE"},
        // The high word of a 9x build holds the version: compared whole, it
        // matches none of the exact builds.
        {Version(1, 4, 10, 0x040A0000 | 2222), L"Windows 98 SE"},
        {Version(1, 4, 0, 67109814), L"Windows 95 OSR2"},
        {Version(1, 4, 90, 3000), L"Windows ME"},
        {Version(1, 4, 11, 0), L"Windows ME"},
        {Version(2, 3, 51, 1057), L"Windows NT 3.51"},
        {Version(2, 4, 0, 1381), L"Windows NT 4.0"},
        {Version(2, 5, 0, 2195), L"Windows 2000"},
        {Version(2, 5, 1, 2600), L"Windows XP"},
        {Version(2, 5, 2, 3790), L"Windows XP"},
        {Version(2, 6, 1, 7601), L""},
        {Version(2, 10, 0, 19045), L""},
        {Version(3, 1, 0, 0), L"Windows CE 1.0"},
        {Version(3, 2, 0, 0), L"Windows CE 2.0"},
        {Version(3, 2, 11, 0), L"Windows CE 2.1"},
        {Version(3, 4, 0, 0), L"Windows CE 3.0"},
        {Version(0, 0, 0, 0), L"Unable To get Windows Version"},
        {Version(4, 5, 0, 0), L"Unable To get Windows Version"},
    };
    for (const auto& c : cases) EXPECT_EQ(NameWindowsVersion(c.info), c.name) << c.name;
}

TEST(WindowsVersion, GateRefusesOnlyThe95And98Families) {
    const struct {
        OsVersionInfoA info;
        bool callFails;
        bool refused;
    } cases[] = {
        {Version(1, 4, 0, 1000), false, true},     {Version(1, 4, 0, 1111), false, true},
        {Version(1, 4, 10, 2000), false, true},    {Version(1, 4, 10, 2222), false, true},
        {Version(1, 4, 90, 3000), false, false},   {Version(2, 4, 0, 1381), false, false},
        {Version(2, 5, 0, 2195), false, false},    {Version(2, 5, 1, 2600), false, false},
        {Version(2, 6, 1, 7601), false, false},    {Version(3, 2, 0, 0), false, false},
        {Version(1, 4, 10, 1998), true, false},  // the call fails: no platform named
    };
    for (const auto& c : cases) {
        FakePlatform platform;
        testing::FakeView view;
        ErrorReport report(view);
        platform.version = c.info;
        platform.versionCallFails = c.callFails;
        EXPECT_EQ(WindowsVersionRefused(platform, report), c.refused) << NameWindowsVersion(c.info).c_str();
        // Asked afresh for each comparison, with the record's size set.
        EXPECT_EQ(platform.versionSizesSeen, (std::vector<std::uint32_t>{148, 148}));
        EXPECT_TRUE(view.messages.empty());
    }
}

}  // namespace
}  // namespace roamwise
