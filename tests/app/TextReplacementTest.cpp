#include "TextReplacement.h"
#include "support/JucePrinters.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace
{
    juce::MemoryBlock bytesOf (const std::string& text) { return { text.data(), text.size() }; }

    std::string utf16 (const std::u16string& text, bool littleEndian)
    {
        std::string bytes = littleEndian ? "\xff\xfe"s : "\xfe\xff"s;
        for (const char16_t unit : text)
        {
            const char high = (char) (unit >> 8), low = (char) (unit & 0xff);
            bytes += littleEndian ? std::string { low, high } : std::string { high, low };
        }
        return bytes;
    }

    struct ReplaceCase
    {
        const char* name;
        std::string original;
        juce::String what, with;
        std::string expected;
    };

    juce::String fromUtf8 (const char* text) { return juce::String::fromUTF8 (text); }

    std::vector<ReplaceCase> replaceCases()
    {
        return {
            { "ReplacementHoldingTheSearchTextIsNotReplacedAgain", "aaa", "a", "aa", "aaaaaa" },
            { "NonOverlappingLeftToRight", "aaaa", "aa", "b", "bb" },
            { "CaseSensitive", "blah Blah BLAH", "Blah", "Blub", "blah Blub BLAH" },
            { "NoMatchStillTurnsBareLineFeedsIntoCrLf", "a\nb\r\nc\rd\n", "x", "y", "a\r\nb\r\nc\rd\r\n" },
            { "LeadingLineFeed", "\n\n", "x", "y", "\r\n\r\n" },
            { "ReplacementWithLineFeedIsWrittenAsCrLf", "a;b", ";", "\n", "a\r\nb" },
            { "SearchAcrossALineEnd", "a\nb", "a\nb", "c", "c" },
            { "ZeroBytesSurvive", "a\0b\0Blah"s, "Blah", "Blub", "a\0b\0Blub"s },
            { "Utf8FileMatchesNonAsciiSearchAsUtf8", "gr\xc3\xbc\xc3\x9f" "e", fromUtf8 ("\xc3\xbc\xc3\x9f"), "ss", "grsse" },
            { "Utf8FileGetsUtf8Replacement", "<a n=\"x\"/>", "x", fromUtf8 ("\xe2\x82\xac"), "<a n=\"\xe2\x82\xac\"/>" },
            { "Latin1FileMatchesLatin1Bytes", "caf\xe9 caf\xe9", fromUtf8 ("caf\xc3\xa9"), fromUtf8 ("th\xc3\xa9"), "th\xe9 th\xe9" },
            { "EmptyReplacementDeletes", "a-b-c", "-", "", "abc" },
            { "NoMatchAndCrLfAlreadyLeavesTheBytes", "a\r\nb\r\n", "x", "y", "a\r\nb\r\n" },
            { "ManyLinesWithMixedEnds", "1\n2\r\n3\n\n4\r5", "x", "y", "1\r\n2\r\n3\r\n\r\n4\r5" },
        };
    }
}

class TextReplacementCases : public testing::TestWithParam<ReplaceCase> {};

TEST_P (TextReplacementCases, GivesExpectedBytes)
{
    const auto& c = GetParam();
    std::string rewritten;
    const auto result = TextReplacement::apply (bytesOf (c.original), c.what, c.with, rewritten);
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (rewritten, c.expected);
}

INSTANTIATE_TEST_SUITE_P (Rules, TextReplacementCases, testing::ValuesIn (replaceCases()),
                          [] (const testing::TestParamInfo<ReplaceCase>& testInfo) { return std::string (testInfo.param.name); });

TEST (TextReplacement, Utf16KeepsByteOrderMarkAndCharactersAboveLatin1)
{
    for (const bool littleEndian : { true, false })
    {
        const std::u16string original = u"<a v=\"Blah\u20ac\"/>\n\u4e2d";
        std::string rewritten;
        ASSERT_TRUE (TextReplacement::apply (bytesOf (utf16 (original, littleEndian)), "Blah",
                                             juce::String::fromUTF8 ("\xe2\x82\xac"), rewritten).wasOk());
        EXPECT_EQ (rewritten, utf16 (u"<a v=\"\u20ac\u20ac\"/>\r\n\u4e2d", littleEndian)) << littleEndian;
    }
}

TEST (TextReplacement, Utf16StrayLastByteIsKept)
{
    const auto original = utf16 (u"ab", true) + "\x41";
    std::string rewritten;
    ASSERT_TRUE (TextReplacement::apply (bytesOf (original), "a", "c", rewritten).wasOk());
    EXPECT_EQ (rewritten, utf16 (u"cb", true) + "\x41");
}

TEST (TextReplacement, Latin1FileRefusesTextItCannotHold)
{
    std::string rewritten;
    const auto latin1 = bytesOf ("caf\xe9 Blah");

    const auto badWith = TextReplacement::apply (latin1, "Blah", juce::String::fromUTF8 ("\xe2\x82\xac"), rewritten);
    EXPECT_TRUE (badWith.failed());
    EXPECT_TRUE (badWith.getErrorMessage().contains ("replacement"));
    EXPECT_TRUE (rewritten.empty());

    const auto badWhat = TextReplacement::apply (latin1, juce::String::fromUTF8 ("\xe2\x82\xac"), "x", rewritten);
    EXPECT_TRUE (badWhat.failed());
    EXPECT_TRUE (badWhat.getErrorMessage().contains ("search"));
}

TEST (TextReplacement, Utf8Validation)
{
    struct { std::string bytes; bool valid; } cases[] = {
        { "", true }, { "plain", true }, { "\xc3\xa9", true }, { "\xf0\x9f\x98\x80", true },
        { "\xe9", false },                 // Latin-1 e acute
        { "\xc0\xaf", false },             // overlong
        { "\xed\xa0\x80", false },         // surrogate
        { "\xc3", false },                 // cut short
        { "\xf4\x90\x80\x80", false },     // above U+10FFFF
        { "long ascii run then \xc3\xa9 and more ascii", true },
        { "long ascii run then \xe9 and more ascii", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (TextReplacement::isValidUtf8 (c.bytes), c.valid) << c.bytes;
}
