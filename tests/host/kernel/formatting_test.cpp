// Wide-string formatting and the debug log, with the forms the package uses.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
