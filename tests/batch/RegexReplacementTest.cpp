#include "FormulaEngine.h"
#include "RegexReplacement.h"
#include "support/JucePrinters.h"
#include "support/Utf16Bytes.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace
{
    struct RegexCase
    {
        const char* name;
        const char* pattern;
        const char* with;
        std::string original, expected;
    };

    std::vector<RegexCase> regexCases()
    {
        return {
            { "Captures", R"((\w+)=(\d+))", "$2=$1", "a=1 b=22", "1=a 22=b" },
            { "NamedGroups", R"((?<k>\w+):(?<v>\d+))", "${v}:${k}", "<x>a:1</x>", "<x>1:a</x>" },
            { "WholeMatchAndDollar", R"(\d+)", "$$$0${0}", "x5", "x$55" },
            { "UnsetGroupIsEmpty", "a(x)?b", "[$1]", "ab axb", "[] [x]" },
            { "EmptyMatchesAdvanceOneCharacter", "x*", "-", "axb", "-a--b-" },
            { "CaretAtEveryLineStartKeepsCrLf", "^", ">", "a\r\nb\nc\rd", ">a\r\n>b\n>c\r>d" },
            { "DollarBeforeCrLfNeverBetween", "$", "<", "a\r\nb\r\n", "a<\r\nb<\r\n<" },
            { "DotStopsAtLineEnds", "a.*", "X", "ab\r\nac", "X\r\nX" },
            { "NoMatchKeepsTheBytes", "zz", "y", "a\r\nb\xff\n", "a\r\nb\xff\n" },
            { "Utf8CharacterIsOneDot", "a.b", "[$0]", "a\303\274b", "[a\303\274b]" },
            { "InvalidBytesOfADeclaredUtf8FileStay", "b", "c", "<?xml version='1.0' encoding='UTF-8'?>\377ab\376",
              "<?xml version='1.0' encoding='UTF-8'?>\377ac\376" },
            { "Latin1DecodedAndEncodedBack", "caf(.)", "[$1\xc3\xa8]", "<a t=\"caf\xe9\"/>", "<a t=\"[\xe9\xe8]\"/>" },
            { "Utf16LittleEndian", "(\\w)\xc3\xa9", "\xc3\xa8$1", utf16 (u"x\u00e9\r\n", true), utf16 (u"\u00e8x\r\n", true) },
            { "Utf16BigEndianSurrogatePair", "\xf0\x9f\x98\x80", "!", utf16 (u"a\U0001F600b", false), utf16 (u"a!b", false) },
            { "FormulaOnCapture", R"(gain="([-.0-9]+)dB")", R"(gain="${= _1 - 6 }dB")",
              R"(<a gain="3.5dB"/><b gain="-1dB"/>)", R"(<a gain="-2.5dB"/><b gain="-7dB"/>)" },
            { "FormulaCounterAndNamedGroup", R"x(<i v="(?<v>\d+)"/>)x", R"(<i n="${= n = n + 1 }" w="${= v / 3 }"/>)",
              R"(<i v="1"/><i v="2"/>)", R"(<i n="1" w="0.333333333"/><i n="2" w="0.666666667"/>)" },
        };
    }

    struct RegexTable : testing::TestWithParam<RegexCase>
    {
    };
}

TEST_P (RegexTable, ReplacesAsTheTableSays)
{
    const auto& param = GetParam();
    FormulaEngine engine;
    RegexReplacement regex (engine);
    const auto refused = regex.prepare (juce::String::fromUTF8 (param.pattern), juce::String::fromUTF8 (param.with));
    ASSERT_FALSE (refused.isRefused()) << refused.message;

    const auto rewrite = regex.apply (param.original);
    ASSERT_TRUE (rewrite.result.wasOk()) << rewrite.result.getErrorMessage();
    EXPECT_EQ (rewrite.changes > 0 ? rewrite.bytes : param.original, param.expected);
}

INSTANTIATE_TEST_SUITE_P (Cases, RegexTable, testing::ValuesIn (regexCases()),
                          [] (const auto& caseInfo) { return std::string (caseInfo.param.name); });

TEST (RegexReplacement, CounterGoesOnFromFileToFile)
{
    FormulaEngine engine;
    RegexReplacement regex (engine);
    ASSERT_FALSE (regex.prepare ("<i/>", "${= n = n + 1 }").isRefused());
    EXPECT_EQ (regex.apply ("<i/><i/>").bytes, "12");
    EXPECT_EQ (regex.apply ("<i/>").bytes, "3");
}

TEST (RegexReplacement, RefusalsNameTheProblem)
{
    const struct
    {
        const char *pattern, *with, *title, *message;
    } cases[] = {
        { "a(b", "x", "Invalid Regular Expression", "missing closing parenthesis at character 4.\na(b\n   ^" },
        { "(a)", "$2", "Invalid Replacement", "refers to group 2 at character 1, but the regular expression has 1 group." },
        { "(a)", "x${nope}", "Invalid Replacement", "group named 'nope' at character 2, but the regular expression has no group" },
        { "(a)", "$x", "Invalid Replacement", "a '$' that starts nothing at character 1" },
        { "(a)", "${= _1 + }", "Invalid Formula", "The formula ' _1 + ' in the replacement could not be evaluated." },
    };
    for (const auto& each : cases)
    {
        FormulaEngine engine;
        RegexReplacement regex (engine);
        const auto refused = regex.prepare (each.pattern, each.with);
        EXPECT_EQ (refused.title, each.title) << each.pattern << " " << each.with;
        EXPECT_TRUE (refused.message.contains (each.message)) << refused.message;
    }
}

TEST (RegexReplacement, FileFailuresSayWhy)
{
    const struct
    {
        const char *pattern, *with;
        std::string original;
        const char* reason;
    } cases[] = {
        { "(a+)+$", "x", std::string (40, 'a') + "b", "the pattern needs too much work on this file (match limit)" },
        { "(\\w+)", "${= _1 }", "abc", "the formula reads _1, but the group holds no number ('abc')" },
        { "a", "\xe2\x82\xac", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", "Latin-1 text that cannot hold" },
    };
    for (const auto& each : cases)
    {
        FormulaEngine engine;
        RegexReplacement regex (engine);
        ASSERT_FALSE (regex.prepare (juce::String::fromUTF8 (each.pattern), juce::String::fromUTF8 (each.with)).isRefused());
        const auto rewrite = regex.apply (each.original);
        EXPECT_TRUE (rewrite.result.getErrorMessage().contains (each.reason)) << rewrite.result.getErrorMessage();
        EXPECT_EQ (rewrite.changes, 0);
    }
}
