#include "TextReplacement.h"
#include "XmlTextEncoding.h"
#include "support/JucePrinters.h"
#include "support/Utf16Bytes.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace
{
    /** The file's bytes after the replacement: unchanged when nothing matched. */
    std::string replaced (const std::string& original, const juce::String& what, const juce::String& with)
    {
        const auto rewrite = TextReplacement::apply (original, what, with);
        EXPECT_TRUE (rewrite.result.wasOk()) << rewrite.result.getErrorMessage();
        return rewrite.changes > 0 ? rewrite.bytes : original;
    }

    struct ReplaceCase
    {
        const char* name;
        std::string original;
        juce::String what, with;
        std::string expected;
    };

    juce::String fromUtf8 (const char* text)
    {
        return juce::String::fromUTF8 (text);
    }

    std::vector<ReplaceCase> replaceCases()
    {
        return {
            { "ReplacementHoldingTheSearchTextIsNotReplacedAgain", "aaa", "a", "aa", "aaaaaa" },
            { "NonOverlappingLeftToRight", "aaaa", "aa", "b", "bb" },
            { "CaseSensitive", "blah Blah BLAH", "Blah", "Blub", "blah Blub BLAH" },
            { "NoMatchLeavesEveryLineEnd", "a\nb\r\nc\rd\n", "x", "y", "a\nb\r\nc\rd\n" },
            { "ReplacementWithLineFeedIsWrittenAsTyped", "a;b", ";", "\n", "a\nb" },
            { "SearchAcrossALineEnd", "a\nb", "a\nb", "c", "c" },
            { "ZeroBytesSurvive", "a\0b\0Blah"s, "Blah", "Blub", "a\0b\0Blub"s },
            { "Utf8FileMatchesNonAsciiSearchAsUtf8", "gr\xc3\xbc\xc3\x9f"
                                                     "e",
              fromUtf8 ("\xc3\xbc\xc3\x9f"), "ss", "grsse" },
            { "Utf8FileGetsUtf8Replacement", "<a n=\"x\"/>", "x", fromUtf8 ("\xe2\x82\xac"), "<a n=\"\xe2\x82\xac\"/>" },
            { "Latin1FileMatchesLatin1Bytes", "caf\xe9 caf\xe9", fromUtf8 ("caf\xc3\xa9"), fromUtf8 ("th\xc3\xa9"), "th\xe9 th\xe9" },
            { "EmptyReplacementDeletes", "a-b-c", "-", "", "abc" },
            { "EveryLineKeepsItsOwnEnd", "1\n2\r\n3\n\n4\r5", "3", "three", "1\n2\r\nthree\n\n4\r5" },
            { "DeclaredLatin1GetsLatin1Bytes", "<?xml version='1.0' encoding=\"ISO-8859-1\"?><a>Blah</a>", "Blah", fromUtf8 ("\xc3\xa9"),
              "<?xml version='1.0' encoding=\"ISO-8859-1\"?><a>\xe9</a>" },
            { "DeclaredUtf8KeepsUtf8", "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>Blah</a>", "Blah", fromUtf8 ("\xc3\xa9"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>\xc3\xa9</a>" },
            { "Utf8ByteOrderMarkKept", "\xef\xbb\xbf<a>\xc3\xa9</a>", fromUtf8 ("\xc3\xa9"), "e", "\xef\xbb\xbf<a>e</a>" },
        };
    }
}

class TextReplacementCases : public testing::TestWithParam<ReplaceCase>
{
};

TEST_P (TextReplacementCases, GivesExpectedBytes)
{
    const auto& c = GetParam();
    EXPECT_EQ (replaced (c.original, c.what, c.with), c.expected);
}

INSTANTIATE_TEST_SUITE_P (Rules, TextReplacementCases, testing::ValuesIn (replaceCases()),
                          [] (const testing::TestParamInfo<ReplaceCase>& testInfo) { return std::string (testInfo.param.name); });

TEST (TextReplacement, Utf16KeepsByteOrderMarkAndCharactersAboveLatin1)
{
    for (const bool littleEndian : { true, false })
    {
        const std::u16string original = u"<a v=\"Blah\u20ac\"/>\n\u4e2d";
        EXPECT_EQ (replaced (utf16 (original, littleEndian), "Blah", fromUtf8 ("\xe2\x82\xac")),
                   utf16 (u"<a v=\"\u20ac\u20ac\"/>\n\u4e2d", littleEndian))
            << littleEndian;
    }
}

TEST (TextReplacement, Utf16StrayLastByteIsKept)
{
    EXPECT_EQ (replaced (utf16 (u"ab", true) + "\x41", "a", "c"), utf16 (u"cb", true) + "\x41");
}

TEST (TextReplacement, Utf16MatchesOnlyWholeUnits)
{
    // The bytes "a\0" also occur across the units of U+6100 U+0061, one byte off.
    const auto original = utf16 (u"\u6100a", true);
    EXPECT_EQ (replaced (original, "a", "b"), utf16 (u"\u6100b", true));
}

TEST (TextReplacement, EncodingsTheToolCannotWriteLeaveTheFileWithAReason)
{
    const std::pair<std::string, const char*> cases[] = {
        { "<\0a\0>\0B\0l\0a\0h\0"s, "without a byte-order mark" },
        { "\xff\xfe\0\0<\0\0\0"s, "UTF-32" },
        { "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>Blah</a>", "windows-1252" },
    };
    for (const auto& [bytes, reason] : cases)
    {
        const auto rewrite = TextReplacement::apply (bytes, "Blah", "Blub");
        EXPECT_TRUE (rewrite.result.failed()) << reason;
        EXPECT_TRUE (rewrite.result.getErrorMessage().contains (reason)) << rewrite.result.getErrorMessage();
    }

    const auto ascii = TextReplacement::apply ("<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>Blah</a>", "Blah", fromUtf8 ("\xc3\xa9"));
    EXPECT_TRUE (ascii.result.getErrorMessage().contains ("US-ASCII")) << ascii.result.getErrorMessage();
}

TEST (TextReplacement, Latin1FileRefusesTextItCannotHold)
{
    const std::string latin1 = "caf\xe9 Blah";

    const auto badWith = TextReplacement::apply (latin1, "Blah", juce::String::fromUTF8 ("\xe2\x82\xac"));
    EXPECT_TRUE (badWith.result.failed());
    EXPECT_TRUE (badWith.result.getErrorMessage().contains ("replacement"));
    EXPECT_EQ (badWith.changes, 0);

    const auto badWhat = TextReplacement::apply (latin1, juce::String::fromUTF8 ("\xe2\x82\xac"), "x");
    EXPECT_TRUE (badWhat.result.failed());
    EXPECT_TRUE (badWhat.result.getErrorMessage().contains ("search"));
}

TEST (TextReplacement, Utf8Validation)
{
    struct
    {
        std::string bytes;
        bool valid;
    } cases[] = {
        { "", true },
        { "plain", true },
        { "\xc3\xa9", true },
        { "\xf0\x9f\x98\x80", true },
        { "\xe9", false },             // Latin-1 e acute
        { "\xc0\xaf", false },         // overlong
        { "\xed\xa0\x80", false },     // surrogate
        { "\xc3", false },             // cut short
        { "\xf4\x90\x80\x80", false }, // above U+10FFFF
        { "long ascii run then \xc3\xa9 and more ascii", true },
        { "long ascii run then \xe9 and more ascii", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (XmlTextEncoding::isValidUtf8 (c.bytes), c.valid) << c.bytes;
}

TEST (TextReplacement, TextShownAsUtf8)
{
    struct Case
    {
        std::string bytes, utf8;
    };
    const Case cases[] = {
        { std::string ("\xff\xfe"
                       "a\0\xe9\0\r\0\n\0",
                       10),
          "a\xc3\xa9\r\n" },                                                     // UTF-16 LE, mark dropped
        { std::string ("\xfe\xff\0a\xd8\x3d\xde\x00", 8), "a\xf0\x9f\x98\x80" }, // BE, a surrogate pair
        { std::string ("\xff\xfe\x3d\xd8\x41\0", 6), "\xef\xbf\xbd"
                                                     "A" }, // a lone high surrogate
        { std::string ("\xff\xfe"
                       "a\0b",
                       5),
          "a\xef\xbf\xbd" }, // an odd last byte
        { "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"\xe9\"/>",
          "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"\xc3\xa9\"/>" }, // Latin-1
        { "<a v=\"\xc3\xa9\"/>\r\n", "<a v=\"\xc3\xa9\"/>\r\n" },                 // UTF-8 as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ (XmlTextEncoding::asUtf8 (c.bytes, XmlTextEncoding::detect (c.bytes)), c.utf8) << c.bytes;
}
