#include "ConvertParameters.h"
#include "OperationRegistry.h"
#include "Recipe.h"
#include "ReplaceParameters.h"
#include "ShellWords.h"
#include "support/JucePrinters.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
    RecipeStep replace (const char* what, const char* with, bool regex = false)
    {
        return { OperationRegistry::named ("replace string"),
                 ReplaceParameters { juce::String::fromUTF8 (what), juce::String::fromUTF8 (with), regex }.toParameters(), 0 };
    }

    RecipeStep convert (const char* attribute, const char* formula, const char* format = "design")
    {
        return { OperationRegistry::named ("convert value"), ConvertParameters { attribute, formula, format }.toParameters(), 0 };
    }

    struct GrammarCase
    {
        const char* name;
        const char* text;
        std::vector<RecipeStep> steps;
        std::vector<int> lines; // where each step stands
    };

    std::vector<GrammarCase> grammarCases()
    {
        return {
            { "PlainWords", "replace cat dog\n", { replace ("cat", "dog") }, { 1 } },
            { "CommentsAndBlankLines", "# header\n\n  \t\nreplace a b # trailing\n#replace c d\n", { replace ("a", "b") }, { 4 } },
            { "HashInsideAWordIsText", "replace a#b c\n", { replace ("a#b", "c") }, { 1 } },
            { "SingleQuotesKeepEverything", R"(replace 'a "b" \n $x # y' '')", { replace (R"(a "b" \n $x # y)", "") }, { 1 } },
            { "DoubleQuotesEscapeOnlyFive", R"(replace "q\"\\\$\`\n" "a\tb")", { replace (R"(q"\$`\n)", R"(a\tb)") }, { 1 } },
            { "AdjacentQuotesJoinOneWord", R"(replace 'it'\''s' "it's"x)", { replace ("it's", "it'sx") }, { 1 } },
            { "BackslashOutsideQuotes", R"(replace a\ b \'c)", { replace ("a b", "'c") }, { 1 } },
            { "QuotedFormulaSpansLines", "\nconvert gain '\n  n = n + 1;\n  y = x + n;'\nreplace a b\r\n", { convert ("gain", "\n  n = n + 1;\n  y = x + n;"), replace ("a", "b") }, { 2, 5 } },
            { "BackslashNewlineContinues", "replace \\\n  a b\nreplace c d\n", { replace ("a", "b"), replace ("c", "d") }, { 1, 3 } },
            { "OptionsAndDoubleDash", "replace --regex -- --x '$1'\nconvert --number-format %.2f -- --y 'y = 1'\n", { replace ("--x", "$1", true), convert ("--y", "y = 1", "%.2f") }, { 1, 2 } },
            { "SingleDashIsAValue", "replace -1 -2\n", { replace ("-1", "-2") }, { 1 } },
            { "Utf8AndCrLf", "replace caf\xc3\xa9 'th\xc3\xa9'\r\n", { replace ("caf\xc3\xa9", "th\xc3\xa9") }, { 1 } },
        };
    }

    struct Grammar : testing::TestWithParam<GrammarCase>
    {
    };
}

TEST_P (Grammar, ReadsTheStepsAsAShellWouldSplitThem)
{
    Recipe recipe;
    const auto parsed = Recipe::parse (juce::String::fromUTF8 (GetParam().text), recipe);
    ASSERT_TRUE (parsed.wasOk()) << parsed.getErrorMessage();
    ASSERT_EQ (recipe.steps.size(), GetParam().steps.size());
    for (size_t i = 0; i < recipe.steps.size(); ++i)
    {
        EXPECT_TRUE (recipe.steps[i] == GetParam().steps[i]) << recipe.steps[i].text() << " against " << GetParam().steps[i].text();
        EXPECT_EQ (recipe.steps[i].line, GetParam().lines[i]);
    }
}

INSTANTIATE_TEST_SUITE_P (Recipe, Grammar, testing::ValuesIn (grammarCases()),
                          [] (const testing::TestParamInfo<GrammarCase>& param) { return std::string (param.param.name); });

TEST (Recipe, FileLinesChooseTheFiles)
{
    Recipe recipe;
    ASSERT_TRUE (Recipe::parse ("include '*.xiz; *.xmz'\nexclude old*\nrecursive\nreplace a b\n", recipe).wasOk());
    EXPECT_EQ (recipe.includes, juce::StringArray ({ "*.xiz; *.xmz" }));
    EXPECT_EQ (recipe.excludes, juce::StringArray ({ "old*" }));
    EXPECT_TRUE (recipe.recursive);
}

TEST (Recipe, EveryBadLineIsNamedWithItsNumber)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        { "replace a b\nfrobnicate x\n", "line 2: 'frobnicate' is not a step: a line says replace, convert, set, rename, delete, add-attribute, add-element, include, exclude or recursive" },
        { "replace a\n", "line 1: replace takes WHAT and WITH, here 1 value" },
        { "replace a b c\n", "line 1: replace takes WHAT and WITH, here 3 values (put a text that holds blanks in quotes)" },
        { "replace '' b\n", "line 1: replace needs a text to replace: WHAT is empty" },
        { "replace --regx a b\n", "line 1: unknown option --regx for replace (write -- before a value that starts with --)" },
        { "convert --number-format %q g x\n", "line 1: --number-format takes " },
        { "convert g\n", "line 1: convert takes ATTRIBUTE and FORMULA, here 1 value" },
        { "replace a b\n\nreplace 'open b\nc\n", "line 3: a single quote (') that is never closed" },
        { "replace \"open b\n", "line 1: a double quote (\") that is never closed" },
        { "convert g y=x;z\n", "line 1: ';' outside quotes: the shell would not read it as part of a word; put the word in quotes" },
        { "include\nrecursive yes\nreplace a b\n", "line 1: include takes one GLOB (a list separated by ';' is one GLOB)\nline 2: recursive takes no value" },
        { "# nothing\n\ninclude *.xml\n", "the recipe has no step: no replace, convert, set, rename, delete, add-attribute or add-element line" },
    };
    for (const auto& c : cases)
    {
        Recipe recipe;
        const auto parsed = Recipe::parse (c.text, recipe);
        ASSERT_TRUE (parsed.failed()) << c.text;
        EXPECT_TRUE (parsed.getErrorMessage().startsWith (c.error)) << parsed.getErrorMessage();
    }
}

TEST (Recipe, LoadTakesUtf8WithOrWithoutAMarkAndRefusesOtherBytes)
{
    const auto file = juce::File::createTempFile ("recipe");
    Recipe recipe;
    const std::string marked = "\xef\xbb\xbfreplace caf\xc3\xa9 x\n", latin1 = "replace caf\xe9 x\n";
    ASSERT_TRUE (file.replaceWithData (marked.data(), marked.size()));
    ASSERT_TRUE (Recipe::load (file, recipe).wasOk());
    EXPECT_EQ (recipe.steps.at (0).parameters.text ("what"), juce::String::fromUTF8 ("caf\xc3\xa9"));

    ASSERT_TRUE (file.replaceWithData (latin1.data(), latin1.size()));
    EXPECT_TRUE (Recipe::load (file, recipe).getErrorMessage().endsWith ("is not UTF-8 text"));
    file.deleteFile();
    EXPECT_TRUE (Recipe::load (file, recipe).failed());
}

// What toText() writes, parse() reads back the same, for texts full of what
// quoting must get right: quotes, backslashes, blanks, line ends, '#', '$',
// shell operators, leading dashes and characters beyond ASCII.
TEST (Recipe, WrittenRecipesReadBackTheSame)
{
    const juce::String alphabet = juce::String::fromUTF8 ("ab '\"\\\n\t#$;|&()<>`*~-=/\xc3\xa9\xe2\x82\xac");
    std::mt19937 random (24);
    const auto text = [&] (int atLeast) {
        juce::String result;
        const auto length = atLeast + (int) (random() % 6);
        for (int i = 0; i < length; ++i)
            result << juce::String::charToString (alphabet[(int) (random() % (unsigned) alphabet.length())]);
        return result;
    };

    for (int round = 0; round < 300; ++round)
    {
        Recipe written;
        for (int i = 0; i < 3; ++i)
        {
            RecipeStep step;
            if (random() % 2 == 0)
                step = { OperationRegistry::named ("replace string"), ReplaceParameters { text (1), text (0), random() % 2 == 0 }.toParameters(), 0 };
            else
                step = { OperationRegistry::named ("convert value"),
                         ConvertParameters { text (1), text (0), random() % 2 == 0 ? "design" : "keep" }.toParameters(), 0 };
            written.steps.push_back (step);
        }
        written.includes.add (text (1));
        written.recursive = round % 2 == 0;

        Recipe read;
        const auto parsed = Recipe::parse (written.toText(), read);
        ASSERT_TRUE (parsed.wasOk()) << parsed.getErrorMessage() << "\n"
                                     << written.toText();
        ASSERT_EQ (read.steps.size(), written.steps.size());
        for (size_t i = 0; i < read.steps.size(); ++i)
            ASSERT_TRUE (read.steps[i] == written.steps[i]) << written.toText();
        EXPECT_EQ (read.includes, written.includes);
        EXPECT_EQ (read.recursive, written.recursive);
    }
}

// Reading grows with the recipe's length, not its square: a formula of ten
// megabytes in quotes comes back whole (it used to take minutes).
TEST (Recipe, AHugeQuotedFormulaIsReadWhole)
{
    std::string formula = "y = 0";
    while (formula.size() < 10'000'000)
        formula += " + x * 1.5 - caf\xc3\xa9";
    const auto file = juce::File::createTempFile ("recipe");
    const auto text = "convert gain '" + formula + "'\n";
    ASSERT_TRUE (file.replaceWithData (text.data(), text.size()));

    Recipe recipe;
    ASSERT_TRUE (Recipe::load (file, recipe).wasOk());
    file.deleteFile();
    ASSERT_EQ (recipe.steps.size(), 1u);
    EXPECT_TRUE (recipe.steps[0].parameters.text ("formula").toStdString() == formula);
}
