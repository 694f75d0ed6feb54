// The tool driven through a POSIX shell: a pipe closed early, an empty
// argument (which the framework's launcher drops), names holding control
// characters, a limit on its memory, and JSON reports read by Python.
#include "support/PatchTool.h"
#include "support/TestFolder.h"
#include "tools/RecipeFolder.h"
#include "tools/ToolRun.h"

#include <gtest/gtest.h>

TEST (QuillmereBatchTool, AClosedPipeDoesNotStopTheRunHalfWay)
{
    TestFolder folder;
    for (int i = 0; i < 300; ++i)
        folder.write ("f" + juce::String (i) + ".xml", "Blah\n");

    // head closes the pipe after one line, long before the run has logged all files.
    juce::ChildProcess shell;
    ASSERT_TRUE (shell.start (juce::StringArray { "/bin/sh", "-c", "\"$0\" --replace Blah Blub \"$1\" | head -n 1 > /dev/null",
                                                  QUILLMERE_BATCH_PATH, folder.path() }));
    shell.readAllProcessOutput();
    ASSERT_TRUE (shell.waitForProcessToFinish (60000));

    for (int i = 0; i < 300; ++i)
        ASSERT_EQ (folder.read ("f" + juce::String (i) + ".xml"), "Blub\n") << i;
}

TEST (QuillmereBatchTool, AnEmptySearchTextExitsWithTwo)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"1\"/>");

    // Through a shell: the framework's process launcher drops empty arguments.
    juce::ChildProcess shell;
    ASSERT_TRUE (shell.start (juce::StringArray { "/bin/sh", "-c", "exec \"$0\" --replace '' x \"$1\" 2>&1",
                                                  QUILLMERE_BATCH_PATH, folder.path() }));
    ToolResult empty;
    empty.output = withoutDebugBanner (shell.readAllProcessOutput());
    ASSERT_TRUE (shell.waitForProcessToFinish (60000));
    empty.exitCode = (int) shell.getExitCode();
    EXPECT_EQ (empty.exitCode, 2);
    EXPECT_TRUE (empty.output.contains ("Nothing to replace"));
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"1\"/>");
}

// Folder names that spell diff lines are printed escaped: patch applied to
// the whole output changes the listed file and creates nothing else, and
// no escape character reaches the terminal.
TEST (QuillmereBatchTool, NamesCannotInjectLinesIntoTheOutput)
{
    TestFolder folder, copy;
    const juce::String evil = juce::String::fromUTF8 ("x\n--- /dev/null\n+++ b/pwned.sh\n@@ -0,0 +1 @@\n+echo pwned\n\x1b[2Jy");
    folder.write (evil + "/a.xml", "Blah\n");
    copy.write (evil + "/a.xml", "Blah\n");

    const auto printed = runTool ({ "--recursive", "--dry-run", "--diff", "--replace", "Blah", "Blub", folder.path() });
    EXPECT_EQ (printed.exitCode, 0) << printed.output;
    EXPECT_FALSE (printed.output.containsChar (0x1b));
    EXPECT_TRUE (PatchTool::apply (copy.get(), printed.output.toStdString()).wasOk());
    EXPECT_FALSE (copy.file ("pwned.sh").exists());
    EXPECT_EQ (copy.read (evil + "/a.xml"), "Blub\n");

    const auto ran = runTool ({ "--recursive", "--replace", "Blah", "Blub", folder.path() });
    EXPECT_EQ (ran.exitCode, 0) << ran.output;
    EXPECT_FALSE (ran.output.containsChar (0x1b));
    for (const auto& line : juce::StringArray::fromLines (ran.output))
        EXPECT_FALSE (line.startsWith ("+++") || line.startsWith ("+echo")) << ran.output;
}

// A file too large for the memory the tool may use fails alone with a line;
// the run goes on with the next file.
TEST (QuillmereBatchTool, AFileLargerThanMemoryAllowsFailsAlone)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot be set under AddressSanitizer, which reserves terabytes for its shadow memory";
#endif
    TestFolder folder;
    folder.write ("a-small.xml", "a");
    {
        // 400 MB, mostly a hole: quick to make, as large as any file to read.
        juce::FileOutputStream big (folder.file ("big.xml"));
        big.write ("a", 1);
        ASSERT_TRUE (big.setPosition (400 << 20));
        big.write ("a", 1);
    }

    juce::ChildProcess process;
    ASSERT_TRUE (process.start (juce::StringArray { "sh", "-c", "ulimit -v 768000 && exec \"$0\" --replace a b \"$1\"",
                                                    QUILLMERE_BATCH_PATH, folder.path() }));
    const auto output = process.readAllProcessOutput();
    ASSERT_TRUE (process.waitForProcessToFinish (120000));
    EXPECT_EQ (process.getExitCode(), 1u) << output;
    EXPECT_TRUE (output.contains ("big.xml...failed: not enough memory")) << output;
    EXPECT_EQ (folder.read ("a-small.xml"), "b") << output;
    EXPECT_TRUE (output.contains ("Batch processing finished.")) << output;
}

namespace
{
    /** Reads a JSON report with Python's own parser and prints it in lines:
        how it ended, the counts, then each file and under it each change. */
    constexpr const char* reportReader = R"(
import json, sys
report = json.load(open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin)
counts = report["counts"]
print(report["end"], report["dryRun"], report["backup"] or "-", len(report["steps"]))
print(counts["files"], counts["changed"], counts["unchanged"], counts["failed"], counts["skipped"], counts["changes"])
for file in report["files"]:
    print(file["status"], file["path"], file["changeCount"], file["reason"], sep="|")
    for change in file["changes"]:
        print(" ", change["line"], change["column"], change["old"], change["new"], change["step"])
)";

    juce::StringArray readReport (const juce::String& shellCommand, const juce::StringArray& arguments)
    {
        juce::StringArray command { "/bin/sh", "-c", shellCommand };
        command.addArray (arguments);
        juce::ChildProcess process;
        EXPECT_TRUE (process.start (command, juce::ChildProcess::wantStdOut));
        const auto output = process.readAllProcessOutput();
        EXPECT_TRUE (process.waitForProcessToFinish (60000));
        EXPECT_EQ (process.getExitCode(), 0u) << output; // Python read the report as JSON
        return juce::StringArray::fromLines (output.trimEnd());
    }

}

TEST (QuillmereBatchTool, RecipeRunsInOnePassAndItsJsonReportAgreesWithTheLog)
{
    RecipeFolder setup;
    const auto report = setup.place.file ("report.json");
    const auto result = runTool ({ "--recipe", setup.recipe.getFullPathName(), "--report", report.getFullPathName(), setup.folder.path() });
    EXPECT_EQ (result.exitCode, 1) << result.output;
    EXPECT_EQ (setup.folder.read ("a.xml"), "<s>dog\n  <p gain=\"11\">cat</p></s>");
    EXPECT_EQ (setup.folder.read ("b.xml"), "cat, not XML");

    const auto lines = readReport ("python3 -c \"$0\" \"$1\"", { reportReader, report.getFullPathName() });
    ASSERT_GE (lines.size(), 2);
    const auto backup = setup.folder.file ("QuillmereBackup.zip").getFullPathName();
    EXPECT_EQ (lines[0], "finished False " + backup + " 3");
    EXPECT_EQ (lines[1], "3 1 1 1 0 3");
    EXPECT_TRUE (result.output.contains ("backup: " + backup + "\n"));

    // Every file of the report has the log line its status says, with the same reason.
    int files = 0;
    for (const auto& line : lines)
    {
        if (line.startsWith (" ") || ! line.contains ("|"))
            continue;
        ++files;
        const auto fields = juce::StringArray::fromTokens (line, "|", {});
        const auto logLine = "processing file: " + fields[1] + "..." + (fields[0] == "failed" ? "failed: " + fields[3] : juce::String ("done. "));
        EXPECT_TRUE (result.output.contains (logLine + "\n")) << logLine << "\n"
                                                              << result.output;
    }
    EXPECT_EQ (files, 3);

    const auto a = lines.indexOf ("changed|" + setup.folder.file ("a.xml").getFullPathName() + "|3|");
    ASSERT_GE (a, 0) << lines.joinIntoString ("\n");
    EXPECT_EQ (lines[a + 1], "  1 4 cat dog 1");
    EXPECT_EQ (lines[a + 2], "  2 15 dog cat 2");
    EXPECT_EQ (lines[a + 3], "  2 12 1 11 3"); // the convert step sees the text after the replace
}

TEST (QuillmereBatchTool, DryRunReportOnStandardOutputIsJsonAloneAndAgreesWithTheLines)
{
    RecipeFolder setup;
    const auto errors = setup.place.file ("stderr.txt");
    const auto lines = readReport ("\"$0\" --dry-run --report - --recipe \"$1\" \"$2\" 2> \"$3\" | python3 -c \"$4\"",
                                   { QUILLMERE_BATCH_PATH, setup.recipe.getFullPathName(), setup.folder.path(), errors.getFullPathName(), reportReader });
    ASSERT_GE (lines.size(), 2);
    EXPECT_EQ (lines[0], "finished True - 3");
    EXPECT_EQ (lines[1], "3 1 1 1 0 3");
    EXPECT_EQ (setup.folder.read ("a.xml"), "<s>cat\n  <p gain=\"1\">dog</p></s>");

    // The description and the preview's lines went to standard error instead.
    const auto printed = withoutDebugBanner (errors.loadFileAsString());
    EXPECT_TRUE (printed.startsWith ("Apply a recipe of 3 steps, all in one pass over each file: \nstep 1: replace cat dog\n")) << printed;
    EXPECT_TRUE (printed.contains (setup.folder.file ("a.xml").getFullPathName() + ": 3 changes\n")) << printed;
    EXPECT_TRUE (printed.contains (setup.folder.file ("c.xml").getFullPathName() + ": no change\n")) << printed;
    EXPECT_TRUE (lines.contains ("failed|" + setup.folder.file ("b.xml").getFullPathName()
                                 + "|0|step 3 (convert gain 'n = n + 1; y = x * 10 + n'): not an XML document: syntax error at line 1, column 1"))
        << lines.joinIntoString ("\n");
    EXPECT_TRUE (printed.contains (setup.folder.file ("b.xml").getFullPathName() + ": would fail: step 3 (convert gain")) << printed;
}

TEST (QuillmereBatchTool, AStoppedRunReportsTheFilesAfterTheStopAsSkipped)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"0\"/>");
    folder.write ("b.xml", "<e gain=\"2\"/>");
    const auto lines = readReport ("\"$0\" --convert gain 'y = 1 / x' --report - \"$1\" 2> /dev/null | python3 -c \"$2\"",
                                   { QUILLMERE_BATCH_PATH, folder.path(), reportReader });
    const auto a = folder.file ("a.xml").getFullPathName();
    const juce::StringArray expected { juce::String ("stopped False - 1"), juce::String ("2 0 0 1 1 0"), "failed|" + a + "|0|division by zero",
                                       "skipped|" + folder.file ("b.xml").getFullPathName() + "|0|the run stopped at " + a + " before it" };
    EXPECT_EQ (lines, expected);
    EXPECT_EQ (folder.read ("b.xml"), "<e gain=\"2\"/>");
}
