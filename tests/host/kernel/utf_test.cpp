// The platform's UTF-16 / UTF-8 codec: unpaired surrogates on the way out,
// invalid sequences (with their offset) on the way in.
#include <gtest/gtest.h>

#include <string>

#include "platform/host/control/text.h"
#include "platform/host/kernel/utf.h"

namespace {

using vtsim::internal::AppendUtf8;
using vtsim::internal::DecodeUtf8;
using vtsim::internal::IsWellFormedUtf16;
using vtsim::internal::ToUtf8;

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(Utf, EncodingWritesEachFormAndReplacesUnpairedSurrogates)
{
    EXPECT_EQ(ToUtf8(u"A\u00e9\u20ac\U0001F600"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_TRUE(IsWellFormedUtf16(u"A\u00e9\u20ac\U0001F600"));
    struct Case {
        std::u16string text;
        std::string utf8;
        bool wellFormed;
    } cases[] = {
        {{u'a', 0xD83D, u'b'}, "a" + kReplacement + "b", false},               // lone high
        {{u'a', 0xDE00, u'b'}, "a" + kReplacement + "b", false},               // lone low
        {{0xDE00, 0xD83D}, kReplacement + kReplacement, false},                // reversed pair
        {{0xD83D, 0xD83D, 0xDE00}, kReplacement + "\xF0\x9F\x98\x80", false},  // high, then a pair
        {{u'a', 0xD83D}, "a" + kReplacement, false},                           // high at the end
        {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF", true},  // the last code point
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf8(c.text), c.utf8);
        EXPECT_EQ(IsWellFormedUtf16(c.text), c.wellFormed);
        EXPECT_EQ(vtsim::Utf8FromUtf16(c.text), c.utf8)
            << "the public conversion keeps the same rule";
    }

    std::string buffer = "kept:";
    AppendUtf8(buffer, std::u16string{0xDC00});
    EXPECT_EQ(buffer, "kept:" + kReplacement);
}

TEST(Utf, DecodingAcceptsValidTextAndRoundTrips)
{
    const std::u16string text = u"key \u00e9\u07ff\u0800\uffff \U00010000\U0010FFFF";
    std::u16string decoded = u"x";
    std::size_t bad = 99;
    ASSERT_TRUE(DecodeUtf8(ToUtf8(text), &decoded, &bad));
    EXPECT_EQ(decoded, u"x" + text) << "appended";
    EXPECT_EQ(bad, 99u) << "untouched on success";
}

TEST(Utf, DecodingRefusesInvalidSequencesAtTheirFirstByte)
{
    struct Case {
        std::string bytes;
        std::size_t offset;
    } cases[] = {
        {"ab\x80", 2},     // a stray continuation byte
        {"a\xC0\x80", 1},  // overlong two-byte form (C0, C1 never lead)
        {"a\xC1\xBF", 1},
        {"\xE0\x80\x80", 0},              // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", 0},          // overlong four-byte form
        {"ok\xED\xA0\x80", 2},            // an encoded high surrogate
        {"\xED\xBF\xBF", 0},              // an encoded low surrogate
        {"\xED\xA0\xBD\xED\xB8\x80", 0},  // a pair encoded as two surrogates
        {"\xF4\x90\x80\x80", 0},          // above U+10FFFF
        {"\xF5\x80\x80\x80", 0},
        {"\xFF", 0},
        {"a\xC3\x28", 1},  // a continuation byte missing
        {"a\xE2\x28\xA1", 1},
        {"abc\xE2\x82", 3},  // cut short at the end
        {"\xF0\x9F\x98", 0},
    };
    for (const Case& c : cases) {
        std::u16string decoded;
        std::size_t bad = 99;
        EXPECT_FALSE(DecodeUtf8(c.bytes, &decoded, &bad)) << testing::PrintToString(c.bytes);
        EXPECT_EQ(bad, c.offset) << testing::PrintToString(c.bytes);
        EXPECT_EQ(decoded.size(), c.offset) << "the ASCII text before it is kept";
    }
}

}  // namespace
