#include "UnifiedDiff.h"

#include "support/PatchTool.h"

#include <gtest/gtest.h>

namespace
{
    std::string numberedLines (int count, const char* ending, int changeEvery = 0, const char* changed = "")
    {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += "<line n=\"" + std::to_string (i) + "\"" + (changeEvery > 0 && i % changeEvery == 0 ? changed : "") + "/>" + ending;
        return text;
    }

    struct RoundTrip
    {
        const char* name;
        std::string before, after;
    };

    class PatchRoundTrip : public testing::TestWithParam<RoundTrip>
    {
    };
}

// patch -p1 must turn the old bytes into exactly the new ones.
TEST_P (PatchRoundTrip, PatchRebuildsTheNewBytes)
{
    if (! PatchTool::available())
        GTEST_SKIP() << "no patch.exe on PATH";
    const auto& trip = GetParam();
    TestFolder folder;
    folder.write ("f.xml", trip.before);

    const auto diff = UnifiedDiff::write (trip.before, trip.after, "a/f.xml", "b/f.xml");
    ASSERT_FALSE (diff.empty());
    const auto applied = PatchTool::apply (folder.get(), diff);
    ASSERT_TRUE (applied.wasOk()) << applied.getErrorMessage() << "\n"
                                  << diff;
    EXPECT_EQ (folder.read ("f.xml"), trip.after) << diff;
}

INSTANTIATE_TEST_SUITE_P (UnifiedDiff, PatchRoundTrip, testing::Values (RoundTrip { "FirstLine", "a\nb\nc\nd\ne\n", "A\nb\nc\nd\ne\n" }, RoundTrip { "LastLine", "a\nb\nc\nd\ne\n", "a\nb\nc\nd\nE\n" }, RoundTrip { "FirstAndLastLine", "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n", "A\nb\nc\nd\ne\nf\ng\nh\ni\nJ\n" }, RoundTrip { "CrLf", "a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n" }, RoundTrip { "CrLfNoFinalNewline", "a\r\nb\r\nc", "a\r\nb\r\nC" }, RoundTrip { "NoFinalNewlineBefore", "a\nb\nc", "a\nb\nc\n" }, RoundTrip { "NoFinalNewlineAfter", "a\nb\nc\n", "a\nb\nc" }, RoundTrip { "NoFinalNewlineBoth", "x\ny", "x\nY" }, RoundTrip { "OneLineNoNewline", "<a gain=\"1\"/>", "<a gain=\"2\"/>" }, RoundTrip { "FromEmpty", "", "a\nb\n" }, RoundTrip { "ToEmpty", "a\nb\n", "" }, RoundTrip { "LinesAddedBySplit", "a\nb c\nd\n", "a\nb\nX\nc\nd\n" }, RoundTrip { "LinesJoined", "a\nb\nc\nd\ne\n", "a\nb c\nd e\n" }, RoundTrip { "LoneCarriageReturn", "a\rb\nc\n", "a\rB\nc\n" }, RoundTrip { "ChangesFarApart", numberedLines (60, "\n"), numberedLines (60, "\n", 20, " x") }, RoundTrip { "ChangesClose", numberedLines (60, "\r\n"), numberedLines (60, "\r\n", 4, " x") }, RoundTrip { "EveryLine", numberedLines (50, "\n"), numberedLines (50, "\n", 1, " x") },
                                                                        // Past the matcher's budget: lines paired by position, counts that differ.
                                                                        RoundTrip { "PastTheBudget", numberedLines (30000, "\n"), numberedLines (30001, "\n", 1, " x") }, RoundTrip { "PastTheBudgetSameCount", numberedLines (30000, "\n"), numberedLines (30000, "\n", 1, " x") }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (UnifiedDiff, WritesHunksAsDiffDoes)
{
    const std::string before = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n";
    std::string after = before;
    after.replace (after.find ("2\n"), 2, "two\n");
    after.replace (after.find ("\n18\n") + 1, 3, "eighteen\n");

    EXPECT_EQ (UnifiedDiff::write (before, after, "a/n", "b/n"),
               "--- a/n\n+++ b/n\n"
               "@@ -1,5 +1,5 @@\n 1\n-2\n+two\n 3\n 4\n 5\n"
               "@@ -15,6 +15,6 @@\n 15\n 16\n 17\n-18\n+eighteen\n 19\n 20\n");
}

TEST (UnifiedDiff, MergesHunksWhoseContextWouldTouch)
{
    // Changes at lines 2 and 9: six lines apart, contexts of three meet.
    const std::string before = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    const std::string after = "1\nB\n3\n4\n5\n6\n7\n8\nI\n10\n";
    const auto diff = UnifiedDiff::write (before, after, "a/n", "b/n");
    EXPECT_EQ (diff.find ("@@ -1,10 +1,10 @@\n"), diff.find ("@@")) << diff;
    EXPECT_EQ (diff.find ("@@", diff.find ("@@ -1,10") + 20), std::string::npos) << "one hunk only\n"
                                                                                 << diff;
}

TEST (UnifiedDiff, MarksTheLastLineWithoutLineEnd)
{
    EXPECT_EQ (UnifiedDiff::write ("a\nb", "a\nc", "a/x", "b/x"),
               "--- a/x\n+++ b/x\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n\\ No newline at end of file\n");
}

TEST (UnifiedDiff, EqualTextsGiveNoDiff)
{
    EXPECT_EQ (UnifiedDiff::write ("a\r\nb", "a\r\nb", "a/x", "b/x"), "");
    EXPECT_TRUE (UnifiedDiff::changedLines ("a\nb\n", "a\nb\n").empty());
}

TEST (UnifiedDiff, PairsChangedLinesWithoutTheirLineEnds)
{
    const auto lines = UnifiedDiff::changedLines ("<a gain=\"0.5\"/>\r\n<b/>\r\n<c/>\r\n",
                                                  "<a gain=\"1\"/>\r\n<b/>\r\n<c2/>\r\n<d/>\r\n");
    ASSERT_EQ (lines.size(), 3u);
    EXPECT_EQ (lines[0].oldLine, 1);
    EXPECT_EQ (lines[0].before, "<a gain=\"0.5\"/>");
    EXPECT_EQ (lines[0].after, "<a gain=\"1\"/>");
    EXPECT_EQ (lines[1].oldLine, 3);
    EXPECT_EQ (lines[1].after, "<c2/>");
    EXPECT_EQ (lines[2].oldLine, 0) << "a line only the new text has";
    EXPECT_EQ (lines[2].newLine, 4);
    EXPECT_EQ (lines[2].after, "<d/>");
}

TEST (UnifiedDiff, QuotesHeaderNamesThatPatchWouldSplit)
{
    EXPECT_EQ (UnifiedDiff::headerName ("a/sub/plain-name.xml"), "a/sub/plain-name.xml");
    EXPECT_EQ (UnifiedDiff::headerName ("a/pr\xc3\xa9set.xml"), "a/pr\xc3\xa9set.xml");
    EXPECT_EQ (UnifiedDiff::headerName ("a/my preset.xml"), "\"a/my preset.xml\"");
    EXPECT_EQ (UnifiedDiff::headerName ("a/q\"b\\c\td\x01.xml"), "\"a/q\\\"b\\\\c\\td\\001.xml\"");
}

TEST (UnifiedDiff, PatchFindsAQuotedName)
{
    if (! PatchTool::available())
        GTEST_SKIP() << "no patch.exe on PATH";
    TestFolder folder;
    folder.write ("my preset.xml", "<a gain=\"1\"/>\n");
    const auto diff = UnifiedDiff::write ("<a gain=\"1\"/>\n", "<a gain=\"2\"/>\n",
                                          UnifiedDiff::headerName ("a/my preset.xml"), UnifiedDiff::headerName ("b/my preset.xml"));
    const auto applied = PatchTool::apply (folder.get(), diff);
    ASSERT_TRUE (applied.wasOk()) << applied.getErrorMessage();
    EXPECT_EQ (folder.read ("my preset.xml"), "<a gain=\"2\"/>\n");
}
