#include "BatchOperationFactory.h"
#include "BatchPreview.h"
#include "PreviewText.h"

#include "support/BatchFixture.h"
#include "support/PatchTool.h"
#include "support/TestLinks.h"

#include <map>

namespace
{
    /** Every file under the folder with its bytes: what "writes nothing" is checked against. */
    std::map<juce::String, std::string> contents (const juce::File& folder)
    {
        std::map<juce::String, std::string> result;
        // Hidden files too: a temporary file left behind would show.
        for (const auto& file : folder.findChildFiles (juce::File::findFilesAndDirectories, true))
            result[file.getRelativePathFrom (folder)] = file.isDirectory() ? "(folder)" : TestFolder::readBytes (file);
        return result;
    }

    // Matches in the first and the last line, CR LF, and no line end at the end.
    const std::string crLfFile = "<preset gain=\"0.5\" name=\"Blah\">\r\n"
                                 "  <band gain=\"1\"/>\r\n  <band/>\r\n  <band/>\r\n  <band/>\r\n  <band/>\r\n  <band/>\r\n"
                                 "  <band gain=\"2\" label=\"Blah Blah\"/>\r\n"
                                 "<end gain=\"3\" name=\"Blah\"/></preset>";
    const std::string lfFile = "<r gain=\"1\" text=\"Blah\">\n<e/>\n<e gain=\"2\"/>\n</r>\n<!-- Blah -->";
}

class BatchPreviewTest : public BatchFixture
{
protected:
    struct Preview
    {
        BatchPreview::Summary summary;
        std::vector<BatchPreview::FilePreview> files;
    };

    Preview preview (const BatchSettings& settings, BatchPreview::Options options = {}, const std::atomic<bool>* cancel = nullptr,
                     bool recordsChanges = false)
    {
        operation = BatchOperationFactory::create (settings, &engine);
        EXPECT_FALSE (BatchOperation::prepareForRun (operation.get()).isRefused());
        operation->setRecordsChanges (recordsChanges);
        BatchPreview batchPreview (*operation, options);
        if (cancel != nullptr)
            batchPreview.setCancelFlag (*cancel);
        batchPreview.setProgress ([this] (int done, int total) { progress.push_back ({ done, total }); });

        Preview result;
        result.summary = batchPreview.run ([&result] (const auto& file) { result.files.push_back (file); });
        return result;
    }

    /** The preview's diff, applied by patch to a copy of the folder, must give
        the bytes that the run then writes into the folder itself. */
    void expectPatchGivesTheRunsBytes (const BatchSettings& settings)
    {
        const auto before = contents (folder.get());
        const auto previewed = preview (settings, { true, false });
        EXPECT_EQ (contents (folder.get()), before) << "a preview writes nothing";

        std::string diff;
        for (const auto& file : previewed.files)
            diff += file.diff;
        TestFolder copy;
        ASSERT_TRUE (folder.get().copyDirectoryTo (copy.get()));
        const auto applied = PatchTool::apply (copy.get(), diff);
        ASSERT_TRUE (applied.wasOk()) << applied.getErrorMessage() << "\n"
                                      << diff;

        const auto outcome = run (settings);
        ASSERT_EQ (outcome.status, BatchOutcome::Status::completed);
        EXPECT_EQ (outcome.filesChanged, previewed.summary.wouldChange);
        for (const auto& file : settings.files)
            EXPECT_EQ (copy.read (file.getRelativePathFrom (folder.get())), TestFolder::readBytes (file)) << file.getFullPathName();
    }

    std::unique_ptr<BatchOperation> operation;
    std::vector<std::pair<int, int>> progress;
};

TEST_F (BatchPreviewTest, ReplaceDiffGivesTheRunsBytes)
{
    if (! PatchTool::available())
        GTEST_SKIP() << "no patch.exe on PATH";
    folder.write ("crlf.xml", crLfFile);
    folder.write ("lf.xml", lfFile);
    folder.write ("sub/deep.xml", "Blah\nBlah\n");
    folder.write ("same.xml", "<nothing/>\n");
    expectPatchGivesTheRunsBytes (replaceSettings ("Blah", "Blub\r\nline", true));
}

TEST_F (BatchPreviewTest, ConvertDiffGivesTheRunsBytes)
{
    if (! PatchTool::available())
        GTEST_SKIP() << "no patch.exe on PATH";
    folder.write ("crlf.xml", crLfFile);
    folder.write ("lf.xml", lfFile);
    folder.write ("same.xml", "<nothing/>\n");
    expectPatchGivesTheRunsBytes (convertSettings ("gain", "y = x * 2 + 0.25;"));
}

// The preview runs the formula on the variables as they are, and leaves them so.
TEST_F (BatchPreviewTest, CounterFormulaPreviewsTheNumbersTheRunWrites)
{
    ASSERT_TRUE (engine.setFormula ("n = 40;"));
    engine.compute();
    folder.write ("a.xml", "<r><e v=\"0\"/><e v=\"0\"/></r>");
    folder.write ("b.xml", "<r v=\"0\"/>\r\n");

    const auto previewed = preview (convertSettings ("v", "n = n + 1; y = n;"), { false, true });
    ASSERT_EQ (previewed.files.size(), 2u);
    ASSERT_EQ (previewed.files[0].changedLines.size(), 1u);
    EXPECT_EQ (previewed.files[0].changedLines[0].after, "<r><e v=\"41\"/><e v=\"42\"/></r>");
    EXPECT_EQ (previewed.files[1].changedLines[0].after, "<r v=\"43\"/>");
    EXPECT_EQ (*engine.getValues().AddressOf ("n"), 40) << "variables after a preview are as before it";

    // Without patch (under Wine) the run alone shows the numbers.
    if (PatchTool::available())
        expectPatchGivesTheRunsBytes (convertSettings ("v", "n = n + 1; y = n;"));
    else
        run (convertSettings ("v", "n = n + 1; y = n;"));
    EXPECT_EQ (folder.read ("b.xml"), "<r v=\"43\"/>\r\n");
}

TEST_F (BatchPreviewTest, FormulaErrorFailsItsFileAndLeavesTheRestAndTheVariables)
{
    folder.write ("1.xml", "<e v=\"3\"/>");
    folder.write ("2.xml", "<e v=\"2\"/>");
    folder.write ("3.xml", "<e v=\"3\"/>");

    const auto previewed = preview (convertSettings ("v", "k = k + 1; fresh = 5; y = 1 / (x - 2);"));
    ASSERT_EQ (previewed.files.size(), 3u);
    EXPECT_EQ (previewed.files[0].verdict, BatchPreview::FilePreview::Verdict::change);
    EXPECT_EQ (previewed.files[1].verdict, BatchPreview::FilePreview::Verdict::fail);
    EXPECT_TRUE (previewed.files[1].reason.contains ("the run stops here")) << previewed.files[1].reason;
    EXPECT_EQ (previewed.files[2].verdict, BatchPreview::FilePreview::Verdict::noChange);
    EXPECT_TRUE (previewed.files[2].reason.contains (path ("2.xml"))) << previewed.files[2].reason;
    EXPECT_EQ (previewed.summary.wouldChange, 1);
    EXPECT_EQ (previewed.summary.wouldFail, 1);
    EXPECT_EQ (previewed.summary.wouldStay, 1);
    EXPECT_EQ (*engine.getValues().AddressOf ("k"), 0);
    EXPECT_EQ (*engine.getValues().AddressOf ("fresh"), 0) << "a variable the preview created reads as new";
}

TEST_F (BatchPreviewTest, EachFileGetsTheVerdictTheRunWouldGive)
{
    folder.write ("a-two.xml", "Blah and Blah");
    folder.write ("b-none.xml", "nothing here");
    folder.write ("c-readonly.xml", "Blah");
    folder.file ("c-readonly.xml").setReadOnly (true);
    folder.write ("d-readonly-none.xml", "nothing");
    folder.file ("d-readonly-none.xml").setReadOnly (true);
    folder.write ("e-utf32.xml", std::string ("\0\0\xfe\xff", 4));

    const auto previewed = preview (replaceSettings ("Blah", "Blub"));
    using Verdict = BatchPreview::FilePreview::Verdict;
    const std::vector<std::pair<Verdict, int>> expected {
        { Verdict::change, 2 }, { Verdict::noChange, 0 }, { Verdict::fail, 0 }, { Verdict::noChange, 0 }, { Verdict::fail, 0 }
    };
    ASSERT_EQ (previewed.files.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (previewed.files[i].verdict, expected[i].first) << previewed.files[i].file.getFileName();
        EXPECT_EQ (previewed.files[i].changes, expected[i].second) << previewed.files[i].file.getFileName();
    }
    EXPECT_EQ (previewed.files[2].reason, "the file is read-only");
    EXPECT_EQ (BatchPreview::fileLine (previewed.files[0]), path ("a-two.xml") + ": 2 changes");
    EXPECT_EQ (BatchPreview::fileLine (previewed.files[1]), path ("b-none.xml") + ": no change");
    EXPECT_EQ (BatchPreview::fileLine (previewed.files[2]), path ("c-readonly.xml") + ": would fail: the file is read-only");
    EXPECT_EQ (BatchPreview::summaryLine (previewed.summary), "1 file would change, 2 would stay as they are, 2 would fail");
    EXPECT_EQ (progress.back(), std::make_pair (5, 5));

    // The run agrees.
    const auto outcome = run (replaceSettings ("Blah", "Blub"));
    EXPECT_EQ (outcome.filesFailed, 2);
    EXPECT_EQ (outcome.filesChanged, 1);
}

TEST_F (BatchPreviewTest, NothingMatchesAnywhere)
{
    folder.write ("a.xml", "<a/>");
    folder.write ("b.xml", "<b/>");
    const auto previewed = preview (replaceSettings ("Blah", "Blub"), { true, true });
    EXPECT_EQ (previewed.summary.wouldChange, 0);
    EXPECT_EQ (previewed.summary.wouldStay, 2);
    EXPECT_EQ (previewed.summary.wouldFail, 0);
    for (const auto& file : previewed.files)
        EXPECT_TRUE (file.diff.empty() && file.changedLines.empty());
}

TEST_F (BatchPreviewTest, LinksOutOfTheFolderFailAndSecondNamesStay)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder elsewhere;
    elsewhere.write ("outside.xml", "Blah");
    folder.write ("real.xml", "Blah");
    ASSERT_TRUE (elsewhere.file ("outside.xml").createSymbolicLink (folder.file ("link-out.xml"), false));
    ASSERT_TRUE (folder.file ("real.xml").createSymbolicLink (folder.file ("same.xml"), false));

    const auto previewed = preview (replaceSettings ("Blah", "Blub"));
    ASSERT_EQ (previewed.files.size(), 3u);
    EXPECT_EQ (previewed.files[0].verdict, BatchPreview::FilePreview::Verdict::fail);
    EXPECT_TRUE (previewed.files[0].reason.contains ("outside the folder"));
    EXPECT_EQ (previewed.files[1].verdict, BatchPreview::FilePreview::Verdict::change);
    EXPECT_EQ (previewed.files[2].verdict, BatchPreview::FilePreview::Verdict::noChange);
    EXPECT_TRUE (previewed.files[2].reason.contains (path ("real.xml")));
}

TEST_F (BatchPreviewTest, CancelledBeforeTheFirstFileLooksAtNone)
{
    folder.write ("a.xml", "Blah");
    const std::atomic<bool> cancel { true };
    const auto previewed = preview (replaceSettings ("Blah", "Blub"), {}, &cancel);
    EXPECT_TRUE (previewed.summary.cancelled);
    EXPECT_TRUE (previewed.files.empty());
}

TEST_F (BatchPreviewTest, Utf16FilesAreShownDecoded)
{
    const auto utf16 = [] (const std::string& ascii) {
        std::string bytes = "\xff\xfe";
        for (const char c : ascii)
            bytes += std::string { c, '\0' };
        return bytes;
    };
    folder.write ("wide.xml", utf16 ("<a name=\"Blah\"/>\r\n"));

    const auto previewed = preview (replaceSettings ("Blah", juce::String::fromUTF8 ("Bl\xc3\xbc"
                                                                                     "b")),
                                    { true, true });
    ASSERT_EQ (previewed.files.size(), 1u);
    EXPECT_TRUE (previewed.files[0].decodedUtf16);
    EXPECT_NE (previewed.files[0].diff.find ("\n+<a name=\"Bl\xc3\xbc"
                                             "b\"/>\r\n"),
               std::string::npos)
        << previewed.files[0].diff;
    EXPECT_EQ (previewed.files[0].changedLines[0].before, "<a name=\"Blah\"/>");
}

TEST_F (BatchPreviewTest, PastTheLineLimitEachFileShowsItsFirstValuesAndWarnsOfWholeNumbersGivenDecimals)
{
    folder.write ("a.xml", "<r>\n<a v=\"10\"/>\n<b v=\"2.5\"/>\n</r>\n");
    folder.write ("b.xml", "<r v=\"1\">\n<s v=\"4\"/><s v=\"5\"/><s v=\"7\"/></r>\n");

    // 10 -> 15 and 4 -> 6 stay whole; 1, 5 and 7 get decimals; 2.5 had them.
    const auto previewed = preview (convertSettings ("v", "y = x * 1.5;"), { false, true }, nullptr, true);
    EXPECT_EQ (previewed.summary.wholeNumbersGivenDecimals, 3);
    EXPECT_EQ (BatchPreview::windowText (previewed.files, previewed.summary, 2),
               path ("a.xml") + ": 2 changes\n"
                                "    line 2: <a v=\"10\"/> -> <a v=\"15\"/>\n"
                                "    line 3: <b v=\"2.5\"/> -> <b v=\"3.75\"/>\n"
                   + path ("b.xml") + ": 4 changes\n"
                                      "    line 1: 1 -> 1.5\n"
                                      "    line 2: 4 -> 6\n"
                                      "    line 2: 5 -> 7.5\n"
                                      "    ... and 1 more value\n"
                                      "    ... and 2 more changed lines, not shown\n"
                                      "\n"
                                      "2 files would change, 0 would stay as they are, 0 would fail\n"
                                      "3 values that were whole numbers get decimals: choose the number format 'keep' or round in the formula\n");
}

TEST (PreviewText, OnlyAWholeNumberThatBecomesAFractionCounts)
{
    struct Case
    {
        const char *before, *after;
        bool counts;
    };
    for (const auto& c : { Case { "99", "89.1", true }, Case { "-3", "-4.5", true }, Case { " 7 ", "7.000001", true },
                           Case { "100", "1e+02", true }, Case { "99", "90", false }, Case { "2.5", "3.75", false },
                           Case { "4", "-8", false }, Case { "12", "twelve", false }, Case { "abc", "1.5", false },
                           Case { "", "0.5", false }, Case { "+", "0.5", false } })
        EXPECT_EQ (PreviewText::givesWholeNumberDecimals ({ 1, 1, c.before, c.after, 1 }), c.counts) << c.before << " -> " << c.after;
}

TEST_F (BatchPreviewTest, WindowTextShowsPairsUpToTheLimit)
{
    folder.write ("a.xml", "<r>\n<a gain=\"0.5\"/>\n<b gain=\"1\"/>\n<c gain=\"2\"/>\n</r>\n");
    folder.write ("b.xml", "<r>\n  <d gain=\"3\"/>\n<e gain=\"4\"/>\n</r>");
    folder.write ("c.xml", "<none/>\n");

    const auto previewed = preview (convertSettings ("gain", "y = x * 2;"), { false, true });
    EXPECT_EQ (BatchPreview::windowText (previewed.files, previewed.summary, 4),
               path ("a.xml") + ": 3 changes\n"
                                "    line 2: <a gain=\"0.5\"/> -> <a gain=\"1\"/>\n"
                                "    line 3: <b gain=\"1\"/> -> <b gain=\"2\"/>\n"
                                "    line 4: <c gain=\"2\"/> -> <c gain=\"4\"/>\n"
                   + path ("b.xml") + ": 2 changes\n"
                                      "    line 2: <d gain=\"3\"/> -> <d gain=\"6\"/>\n"
                   + path ("c.xml") + ": no change\n"
                                      "    ... and 1 more changed line, not shown\n"
                                      "\n"
                                      "2 files would change, 1 would stay as they are, 0 would fail\n");
}
