// Wide text to and from the ANSI code page, and system error texts.
#include <gtest/gtest.h>

#include "scratch.h"

#include <string>

#include "win32_platform.h"

using roamwise::win32::Win32Platform;
using roamwise_test::Narrow;

namespace {

bool SingleByteCodePage() {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

TEST(Win32PlatformText, PlainTextCrossesUnchanged) {
    struct Case {
        std::wstring wide;
        std::string ansi;
    };
    const Case cases[] = {
        {L"", ""},
        {L"1200", "1200"},
        {L"SOFTWARE\\Quillfern\\Roamwise\\Settings", "SOFTWARE\\Quillfern\\Roamwise\\Settings"},
        {L"netsh -c interface dump > C:\\PROG~FBU\\Home_office.txt", "netsh -c interface dump > C:\\PROG~FBU\\Home_office.txt"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.wide));
        std::string ansi = "previous";
        EXPECT_TRUE(platform.ToAnsi(c.wide, ansi));
        EXPECT_EQ(ansi, c.ansi);
        EXPECT_EQ(platform.FromAnsi(c.ansi), c.wide);
    }
}

TEST(Win32PlatformText, BytesAboveAsciiRoundTrip) {
    if (!SingleByteCodePage()) GTEST_SKIP() << "the byte table below needs a single-byte ANSI code page";
    Win32Platform platform;
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::wstring wide = platform.FromAnsi(all);
    ASSERT_EQ(wide.size(), all.size());
    for (int byte = 128; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const std::wstring one = platform.FromAnsi(std::string(1, static_cast<char>(byte)));
        ASSERT_EQ(one.size(), 1u);
        EXPECT_GE(static_cast<unsigned>(one[0]), 128u) << "a byte above 127 became ASCII";
        EXPECT_EQ(one[0], wide[byte - 1]);
        std::string back;
        EXPECT_TRUE(platform.ToAnsi(one, back));
        EXPECT_EQ(back, std::string(1, static_cast<char>(byte)));
    }
    std::string back;
    EXPECT_TRUE(platform.ToAnsi(wide, back));
    EXPECT_EQ(back, all);
}

TEST(Win32PlatformText, CharactersOutsideTheCodePageAreReported) {
    if (!SingleByteCodePage()) GTEST_SKIP() << "a multi-byte ANSI code page holds some of these";
    struct Case {
        const char* what;
        std::wstring wide;
    };
    const Case cases[] = {
        {"ideograph", L"\u4E2D"},
        {"letter with a best-fit ASCII look-alike", L"\u0100"},
        {"mathematical sign", L"x\u2200y"},
        {"one lossy character in a path", L"C:\\Profiles\\Caf\u00E9\u4E2D.txt"},
    };
    Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string ansi;
        EXPECT_FALSE(platform.ToAnsi(c.wide, ansi));
        EXPECT_EQ(ansi.size(), c.wide.size()) << "the text is still converted, one byte per character";
    }
}

TEST(Win32PlatformText, ErrorTextIsTheSystemMessageTrimmed) {
    Win32Platform platform;
    struct Case {
        long code;
        bool known;
    };
    const Case cases[] = {{ERROR_FILE_NOT_FOUND, true}, {ERROR_PATH_NOT_FOUND, true},
                          {ERROR_ACCESS_DENIED, true}, {0x2000FFFF, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::wstring text = platform.ErrorText(c.code);
        ASSERT_FALSE(text.empty());
        for (wchar_t tail : {L'\r', L'\n', L' ', L'\t'}) EXPECT_NE(text.back(), tail);
        EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
        if (c.known)
            EXPECT_NE(text, L"Unknown error");
        else
            EXPECT_EQ(text, L"Unknown error");
    }
    EXPECT_NE(platform.ErrorText(ERROR_FILE_NOT_FOUND), platform.ErrorText(ERROR_ACCESS_DENIED));
}

}  // namespace
