#include "BackupComment.h"
#include "BatchOperationFactory.h"
#include "Recipe.h"
#include "RecipeOperation.h"
#include "TaskDescription.h"
#include "support/BatchFixture.h"
#include "support/Utf16Bytes.h"

using namespace std::string_literals;

namespace
{
    std::vector<RecipeStep> stepsOf (const char* text)
    {
        Recipe recipe;
        const auto parsed = Recipe::parse (juce::String::fromUTF8 (text), recipe);
        EXPECT_TRUE (parsed.wasOk()) << parsed.getErrorMessage();
        return recipe.steps;
    }

    /** A recipe's operation on no files, for its rewrite of bytes alone. */
    struct PreparedRecipe
    {
        explicit PreparedRecipe (const char* text, bool records = false)
        {
            BatchSettings settings;
            settings.operation = OperationRegistry::named ("apply recipe");
            settings.steps = stepsOf (text);
            operation = BatchOperationFactory::create (settings, &engine);
            operation->setRecordsChanges (records);
            const auto refused = operation->prepare();
            EXPECT_FALSE (refused.isRefused()) << refused.message;
        }

        std::string apply (const std::string& original)
        {
            const auto rewrite = operation->rewrite (juce::File ("/x.xml"), original, nullptr, FileState {});
            EXPECT_TRUE (rewrite.result.wasOk()) << rewrite.result.getErrorMessage();
            return rewrite.changes > 0 ? rewrite.bytes : original;
        }

        FormulaEngine engine;
        std::unique_ptr<BatchOperation> operation;
    };

    struct RecipeRun : BatchFixture
    {
        BatchSettings recipeSettings (const juce::Array<juce::File>& files, const char* text) const
        {
            BatchSettings settings;
            settings.operation = OperationRegistry::named ("apply recipe");
            settings.steps = stepsOf (text);
            settings.directoryPath = folder.path();
            settings.files = files;
            return settings;
        }
    };
}

TEST (RecipeScan, OneScanFirstStepWinsAndReplacedTextIsNotScannedAgain)
{
    const struct
    {
        const char *recipe, *original, *expected;
    } cases[] = {
        { "replace cat dog\nreplace dog cat", "cat and dog, dog and cat", "dog and cat, cat and dog" },
        { "replace b Y\nreplace ab X", "abab", "XX" },            // the leftmost match wins, whichever step
        { "replace ab X\nreplace a Y", "aab", "YX" },             // at one place, the first step wins
        { "replace a aa\nreplace aa b", "aaa", "aaaaaa" },        // replaced text is never scanned again
        { "replace --regex x* -\nreplace a b", "axa", "-a--a-" }, // an empty match takes its place
        { "replace --regex '(\\d+)' '<$1>'\nreplace 1 one", "a1 b22", "a<1> b<22>" },
        { "replace a b\nconvert v 'y = x + 1'\nreplace b c", "<e v=\"1\">a</e>", "<e v=\"2\">c</e>" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (PreparedRecipe (c.recipe).apply (c.original), c.expected) << c.recipe;
}

// A recipe of one step writes exactly what the operation writes alone, in
// every encoding: the recipe's scan is the operation's scan.
TEST (RecipeScan, OneStepWritesWhatTheOperationWritesAlone)
{
    const std::string inputs[] = {
        "<a gain=\"1.5\" name=\"Blah\">Blah Blahh</a>\r\n",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a gain=\"2\" t=\"Blah caf\xe9\"/>",
        utf16 (u"<a gain=\"3\">Blah \u00e9</a>\n", true),
        utf16 (u"<a gain=\"-1e3\">Blah\U0001F600Blah</a>", false),
        "not xml Blah",
    };
    const struct
    {
        const char* recipe;
        ReplaceParameters replace;
        ConvertParameters convert;
    } steps[] = {
        { "replace Blah Blub", { "Blah", "Blub" }, {} },
        { "replace --regex 'B(l)ah' '${= n = n + 1 }$1'", { "B(l)ah", "${= n = n + 1 }$1", true }, {} },
        { "convert gain 'y = x * 2'", {}, { "gain", "y = x * 2" } },
        { "convert --number-format keep //a/@gain 'y = x / 3'", {}, { "//a/@gain", "y = x / 3", "keep" } },
    };
    for (const auto& step : steps)
    {
        BatchSettings alone;
        alone.operation = OperationRegistry::named (step.convert.attribute.isEmpty() ? "replace string" : "convert value");
        alone.parameters = step.convert.attribute.isEmpty() ? step.replace.toParameters() : step.convert.toParameters();
        FormulaEngine engine;
        const auto operation = BatchOperationFactory::create (alone, &engine);
        ASSERT_FALSE (operation->prepare().isRefused());
        PreparedRecipe recipe (step.recipe);

        for (const auto& input : inputs)
        {
            const auto byItself = operation->rewrite (juce::File ("/x.xml"), input, nullptr, FileState {});
            const auto inRecipe = recipe.operation->rewrite (juce::File ("/x.xml"), input, nullptr, FileState {});
            EXPECT_EQ (inRecipe.changes, byItself.changes) << step.recipe;
            EXPECT_EQ (inRecipe.bytes, byItself.bytes) << step.recipe;
            EXPECT_EQ (inRecipe.result.failed(), byItself.result.failed()) << step.recipe;
            if (byItself.result.failed())
            {
                EXPECT_TRUE (inRecipe.result.getErrorMessage().endsWith (byItself.result.getErrorMessage())) << inRecipe.result.getErrorMessage();
            }
        }
    }
}

TEST (RecipeScan, ChangesAreListedWithLineColumnTextsAndStep)
{
    PreparedRecipe recipe ("replace cat dog\nreplace dog cat\nconvert gain 'y = x * 10'", true);
    const auto rewrite = recipe.operation->rewrite (juce::File ("/x.xml"), "<a>\r\n\xc3\xa9 cat\rdog <b gain=\"0.5\"/>\n</a>", nullptr, FileState {});
    ASSERT_TRUE (rewrite.result.wasOk());
    ASSERT_EQ (rewrite.changeList.size(), 3u);
    const auto expect = [&] (size_t i, int line, int column, const char* before, const char* after, int step) {
        const auto& change = rewrite.changeList[i];
        EXPECT_EQ (std::tie (change.line, change.column, change.before, change.after, change.step),
                   std::tie (line, column, before, after, step))
            << i;
    };
    expect (0, 2, 3, "cat", "dog", 1); // after CR LF; the e-acute is one column
    expect (1, 3, 1, "dog", "cat", 2); // after a lone CR
    expect (2, 3, 14, "0.5", "5", 3);

    const auto wide = PreparedRecipe ("replace b c", true).operation->rewrite (juce::File ("/x.xml"), utf16 (u"a\n\U0001F600b", true), nullptr, FileState {});
    ASSERT_EQ (wide.changeList.size(), 1u);
    EXPECT_EQ (std::make_pair (wide.changeList[0].line, wide.changeList[0].column), std::make_pair (2, 2));
}

TEST_F (RecipeRun, SwapsTwoWordsInOnePassWithOneBackupAndTheStepsDescribed)
{
    folder.write ("a.xml", "<p>cat chases dog</p>");
    folder.write ("b.xml", "<p>dog</p>");
    const auto settings = recipeSettings (listedFiles(), "replace cat dog\nreplace dog cat\n");

    const auto outcome = run (settings);
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (folder.read ("a.xml"), "<p>dog chases cat</p>");
    EXPECT_EQ (folder.read ("b.xml"), "<p>cat</p>");
    EXPECT_EQ (juce::ZipFile (outcome.backupFile).getNumEntries(), 2);
    EXPECT_FALSE (folder.file ("QuillmereBackup(2).zip").exists());

    // The one backup says what made it: the recipe's steps, in order.
    const auto backups = BackupArchive::listIn (folder.get());
    ASSERT_EQ (backups.size(), 1u);
    EXPECT_TRUE (BackupComment::taskOf (backups[0].comment).startsWith ("Apply a recipe of 2 steps, all in one pass over each file: \n"
                                                                        "step 1: replace cat dog\nstep 2: replace dog cat\n"))
        << backups[0].comment;

    FormulaEngine describing;
    const auto operation = BatchOperationFactory::create (settings, &describing);
    EXPECT_TRUE (buildTaskDescription (settings, operation.get())
                     .startsWith ("Apply a recipe of 2 steps, all in one pass over each file: \nstep 1: replace cat dog\nstep 2: replace dog cat\n\nin "));
}

TEST_F (RecipeRun, ReplaceAndConvertShareTheirVariablesAcrossStepsAndFiles)
{
    folder.write ("a.xml", "<s><p id=\"x\" gain=\"1\"/><p id=\"x\" gain=\"1\"/></s>");
    folder.write ("b.xml", "<p id=\"x\" gain=\"1\"/>");
    // The replace numbers the ids; each convert then reads the counter as it stands.
    const auto outcome = run (recipeSettings (listedFiles(), "replace --regex 'id=\"x\"' 'id=\"${= c = c + 1 }\"'\n"
                                                             "convert gain 'y = x + c * 10'\n"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (folder.read ("a.xml"), "<s><p id=\"1\" gain=\"21\"/><p id=\"2\" gain=\"21\"/></s>");
    EXPECT_EQ (folder.read ("b.xml"), "<p id=\"3\" gain=\"31\"/>");
}

TEST_F (RecipeRun, AStepThatFailsAFileLeavesAllOfItAsItWas)
{
    folder.write ("a.xml", "<e gain=\"1\">cat</e>");
    folder.write ("b.xml", "cat, not XML");
    const auto outcome = run (recipeSettings (listedFiles(), "replace cat dog\nconvert gain 'y = x * 2'\n"));

    EXPECT_EQ (outcome.filesFailed, 1);
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"2\">dog</e>");
    EXPECT_EQ (folder.read ("b.xml"), "cat, not XML"); // the replace of step 1 is not kept either
    EXPECT_TRUE (outcome.log.contains ("processing file: " + path ("b.xml") + "...failed: step 2 (convert gain 'y = x * 2'): not an XML document: "))
        << outcome.log;

    // A formula error stops the run at its file, which keeps its bytes too.
    folder.write ("c.xml", "<e gain=\"0\">cat</e>");
    const auto stopped = run (recipeSettings ({ folder.file ("c.xml") }, "replace cat dog\nconvert gain 'y = 1 / x'\n"));
    EXPECT_EQ (stopped.status, BatchOutcome::Status::aborted);
    EXPECT_EQ (folder.read ("c.xml"), "<e gain=\"0\">cat</e>");
    EXPECT_TRUE (stopped.log.contains ("failed: step 2 (convert gain 'y = 1 / x'): division by zero\n")) << stopped.log;
}

TEST_F (RecipeRun, AStepThatCannotBePreparedRefusesTheRunNamingIt)
{
    folder.write ("a.xml", "<e/>");
    const auto outcome = run (recipeSettings (listedFiles(), "replace a b\n\nreplace --regex '(' x\n"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::refused);
    EXPECT_TRUE (outcome.message.startsWith ("Step 2 (line 3 of the recipe): replace --regex '(' x\nThe regular expression could not be compiled"))
        << outcome.message;
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
}
