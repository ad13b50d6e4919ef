// Wide-string formatting and the debug log, with the forms the package uses.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/kernel.h"

namespace {

template <class... Args>
std::u16string Format(const char16_t* format, Args... args)
{
    WCHAR buffer[256];
    EXPECT_EQ(StringCchPrintfW(buffer, 256, format, args...), S_OK);
    return buffer;
}

TEST(Formatting, ConversionsFlagsAndWidths)
{
    EXPECT_EQ(Format(u"RLX_EVT_DI_INTERRUPT0_%03d", 7), u"RLX_EVT_DI_INTERRUPT0_007");
    EXPECT_EQ(Format(u"%d|%i|%u|%x|%X", -42, 17, 4000000000u, 0xbeefu, 0xbeefu),
              u"-42|17|4000000000|beef|BEEF");
    EXPECT_EQ(Format(u"[%5d][%-5d][%05d][%08X]", 42, 42, -42, 0x1A2Bu),
              u"[   42][42   ][-0042][00001A2B]");
    EXPECT_EQ(Format(u"%s:%c%%", u"VTD1", static_cast<int>(u'x')), u"VTD1:x%");
    EXPECT_EQ(Format(u"[%-6s][%6s][%.2s]", u"ab", u"ab", u"abcdef"), u"[ab    ][    ab][ab]");
    EXPECT_EQ(Format(u"%ld %lu %lx %hd", static_cast<LONG>(-5), static_cast<DWORD>(7), 0xFFFFFFFFu,
                     70000),
              u"-5 7 ffffffff 4464");
    EXPECT_EQ(Format(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
    EXPECT_EQ(Format(u"\u00e9%s", u"\u4e2d"), u"\u00e9\u4e2d");
}

TEST(Formatting, TruncationIsReportedAndTerminated)
{
    WCHAR buffer[6];
    EXPECT_EQ(StringCchPrintfW(buffer, 6, u"board %d", 12345), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"board");
    EXPECT_EQ(StringCchPrintfW(buffer, 6, u"%d", 12345), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"12345");
    EXPECT_EQ(StringCchCopyW(buffer, 6, u"VTD10:"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"VTD10");
    EXPECT_EQ(StringCchCopyW(buffer, 0, u"x"), STRSAFE_E_INVALID_PARAMETER);
}

TEST(Formatting, LengthAndCaseInsensitiveCompare)
{
    EXPECT_EQ(lstrlenW(u"VTD1:"), 5);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrcmpiW(u"Rlx4100S.DLL", u"rlx4100s.dll"), 0);
    EXPECT_LT(lstrcmpiW(u"abc", u"ABD"), 0);
    EXPECT_GT(lstrcmpiW(u"abcd", u"ABC"), 0);
    EXPECT_EQ(lstrcmpiW(u"Caf\u00c9 \u00de", u"CAF\u00e9 \u00fe"), 0) << "Latin-1 letters fold too";
    EXPECT_NE(lstrcmpiW(u"\u00d7", u"\u00f7"), 0)
        << "the multiplication and division signs are not letters";
    EXPECT_LT(lstrcmpiW(u"A_", u"aa"), 0) << "letters compare in lower case";
}

TEST(DebugLog, OneUtf8EntryPerCall)
{
    vtsim::ClearDebugLog();
    NKDbgPrintfW(u"\n===VTD INIT Device  board id: %x\n", 0x87u);
    NKDbgPrintfW(u"name %s \u00b5s\n", u"VTD1:");
    auto entries = vtsim::DebugEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "\n===VTD INIT Device  board id: 87\n");
    EXPECT_EQ(entries[1], "name VTD1: \xC2\xB5s\n");
    EXPECT_EQ(vtsim::DebugText(), entries[0] + entries[1]);
    vtsim::ClearDebugLog();
    EXPECT_TRUE(vtsim::DebugEntries().empty());
}

// The log keeps the call and formats it when read: what is read must be
// what formatting at the time of the call gives, whatever the caller did
// with its strings since.
template <class... Args>
void ExpectLoggedAsFormatted(const char16_t* format, Args... args)
{
    vtsim::ClearDebugLog();
    NKDbgPrintfW(format, args...);
    const auto entries = vtsim::DebugEntries();
    ASSERT_EQ(entries.size(), 1u);
    WCHAR expected[512];
    ASSERT_EQ(StringCchPrintfW(expected, 512, format, args...), S_OK);
    std::string utf8;
    for (const char16_t* c = expected; *c != 0; ++c) {
        // The formats below stay in ASCII but for one Latin-1 and one CJK letter.
        if (*c < 0x80) {
            utf8.push_back(static_cast<char>(*c));
        } else if (*c < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (*c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (*c & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xE0 | (*c >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((*c >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (*c & 0x3F)));
        }
    }
    EXPECT_EQ(entries[0], utf8);
}

TEST(DebugLog, EntriesReadLaterAreWhatTheCallFormatted)
{
    ExpectLoggedAsFormatted(u"\n===Write DO Port: %d, Value: %x\n", 3, 0xA5);
    ExpectLoggedAsFormatted(u"[%5d][%-5d][%05d][%08X][%+d][% d][%#x]", 42, 42, -42, 0x1A2Bu, 7, 7,
                            255u);
    ExpectLoggedAsFormatted(u"[%*d][%-*d][%.*s][%*s]", 6, -1, 4, 2, 3, u"abcdef", -4, u"z");
    ExpectLoggedAsFormatted(u"%hd %hx %ld %lu %c%%", 70000, 0x12345, static_cast<LONG>(-5),
                            static_cast<DWORD>(7), static_cast<int>(u'q'));
    ExpectLoggedAsFormatted(u"%s|%hs|%s|%.0s|", u"wide \u00e9\u4e2d", "narrow",
                            static_cast<const char16_t*>(nullptr), u"gone");
    ExpectLoggedAsFormatted(u"unknown %q and %y stay, a lone one too %");
    ExpectLoggedAsFormatted(u"%.3d|%.0d|%5.3x|%-08d|", 7, 0, 0xAu, 12);

    // A string argument that changes after the call.
    char16_t name[] = u"VTD1:";
    vtsim::ClearDebugLog();
    NKDbgPrintfW(u"device %s ready\n", name);
    name[3] = u'9';
    EXPECT_EQ(vtsim::DebugEntries(), std::vector<std::string>{"device VTD1: ready\n"});
}

TEST(DebugLog, ALongRunKeepsTheNewestEntriesWhole)
{
    vtsim::ClearDebugLog();
    constexpr int LINES = 300000;  // far beyond what the log keeps
    for (int i = 0; i < LINES; ++i) {
        NKDbgPrintfW(u"\n===Write DO Port: %d, Value: %x line %d\n", i & 3, i & 0xFF, i);
    }
    const auto entries = vtsim::DebugEntries();
    ASSERT_FALSE(entries.empty());
    EXPECT_LT(entries.size(), static_cast<std::size_t>(LINES)) << "old entries are dropped";
    // The entries kept are the newest, in order, each whole.
    const int first = LINES - static_cast<int>(entries.size());
    for (std::size_t i = 0; i < entries.size(); i += entries.size() / 7 + 1) {
        const int line = first + static_cast<int>(i);
        char expected[96];
        std::snprintf(expected, sizeof expected, "\n===Write DO Port: %d, Value: %x line %d\n",
                      line & 3, line & 0xFF, line);
        ASSERT_EQ(entries[i], expected);
    }
    EXPECT_EQ(entries.back(), "\n===Write DO Port: 3, Value: df line 299999\n");
    vtsim::ClearDebugLog();
}

TEST(DebugLog, AnEntryLargerThanTheLogStaysUntilTheNextOne)
{
    vtsim::ClearDebugLog();
    NKDbgPrintfW(u"small\n");
    const std::u16string huge(5u << 20, u'x');  // more units than the log keeps
    NKDbgPrintfW(u"%s", huge.c_str());
    auto entries = vtsim::DebugEntries();
    ASSERT_EQ(entries.size(), 1u) << "the older entry makes room";
    EXPECT_EQ(entries[0].size(), huge.size());
    NKDbgPrintfW(u"next %d\n", 7);
    entries = vtsim::DebugEntries();
    EXPECT_EQ(entries, std::vector<std::string>{"next 7\n"});
    vtsim::ClearDebugLog();
}

}  // namespace
