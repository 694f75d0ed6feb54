#include "NumberText.h"
#include "UnicodeCharacterClasses.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace
{
    struct ToolResult
    {
        int exitCode = -1;
        juce::String output;   // standard output and standard error together
    };

    /** Debug builds of the framework print its version first thing; it is not the tool's output. */
    juce::String withoutDebugBanner (const juce::String& output)
    {
        return output.startsWith ("JUCE v") ? output.fromFirstOccurrenceOf ("\n", false, false) : output;
    }

    ToolResult runTool (const juce::StringArray& arguments)
    {
        juce::StringArray command { QUILLMERE_BATCH_PATH };
        command.addArray (arguments);

        juce::ChildProcess process;
        EXPECT_TRUE (process.start (command));
        ToolResult result;
        result.output = withoutDebugBanner (process.readAllProcessOutput());
        EXPECT_TRUE (process.waitForProcessToFinish (60000));
        result.exitCode = (int) process.getExitCode();
        return result;
    }

    juce::File examples() { return juce::File (QUILLMERE_EXAMPLES_DIR); }

    /** A copy of the sample files, so the run changes only copies. */
    struct ExamplesCopy : TestFolder
    {
        ExamplesCopy() { EXPECT_TRUE (examples().copyDirectoryTo (get())); }

        juce::StringArray xmlFiles() const
        {
            juce::StringArray names;
            for (const auto& file : examples().findChildFiles (juce::File::findFiles, true, "*.xml"))
                names.add (file.getRelativePathFrom (examples()));
            return names;
        }
    };

    std::unique_ptr<juce::XmlElement> parseFile (const juce::File& file)
    {
        return juce::XmlDocument::parse (file);
    }

    /** Walks the original and the converted tree side by side: every "gain"
        attribute (any letter case, first per element) must hold twice its old
        value, everything else must be unchanged. */
    void expectDoubledGains (const juce::XmlElement& before, const juce::XmlElement& after, int& converted)
    {
        ASSERT_EQ (before.getTagName(), after.getTagName());
        ASSERT_EQ (before.getNumAttributes(), after.getNumAttributes());

        bool matched = false;
        for (int i = 0; i < before.getNumAttributes(); ++i)
        {
            ASSERT_EQ (before.getAttributeName (i), after.getAttributeName (i));
            const auto oldValue = before.getAttributeValue (i);
            auto expected = oldValue;
            if (! matched && before.getAttributeName (i).equalsIgnoreCase ("gain"))
            {
                matched = true;
                ++converted;
                expected = NumberText::writeNumber (NumberText::readLeadingNumber (oldValue.toStdString()) * 2);
            }
            EXPECT_EQ (after.getAttributeValue (i), expected) << before.getTagName() << " " << before.getAttributeName (i);
        }

        ASSERT_EQ (before.getNumChildElements(), after.getNumChildElements());
        for (int i = 0; i < before.getNumChildElements(); ++i)
            expectDoubledGains (*before.getChildElement (i), *after.getChildElement (i), converted);
    }
}

TEST (QuillmereBatchTool, HelpAndWrongCalls)
{
    const auto help = runTool ({ "--help" });
    EXPECT_EQ (help.exitCode, 0);
    for (auto option : { "--recursive", "--dry-run", "--replace WHAT WITH FOLDER", "--convert ATTRIBUTE FORMULA FOLDER", "Exit status" })
        EXPECT_TRUE (help.output.contains (option)) << option;

    TestFolder folder;
    const juce::StringArray wrongCalls[] = {
        {}, { "--replace", "a" }, { "--replace", "a", "b" }, { "--frobnicate", "--replace", "a", "b", folder.path() },
        { "--replace", "a", "b", folder.file ("missing").getFullPathName() },
        { "--replace", "a", "b", "--convert", "g", "x", folder.path() }, { "--replace", "a", "b", folder.path(), folder.path() },
        { "--replace", "Blub", "--dry-run", folder.path() }, { "--replace", "--dry-run", "x", folder.path() },
    };
    for (const auto& call : wrongCalls)
    {
        const auto result = runTool (call);
        EXPECT_EQ (result.exitCode, 2) << call.joinIntoString (" ");
        EXPECT_TRUE (result.output.startsWith ("quillmere-batch: ")) << result.output;
        EXPECT_TRUE (result.output.contains ("usage: quillmere-batch")) << call.joinIntoString (" ");
    }
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST (QuillmereBatchTool, DryRunPrintsTheDescriptionAndChangesNothing)
{
    ExamplesCopy copy;
    const auto result = runTool ({ "--dry-run", "--recursive", "--replace", "Blah", "Blub", copy.path() });

    EXPECT_EQ (result.exitCode, 0);
    EXPECT_TRUE (result.output.startsWith ("Replace string: 'Blah' \nwith new string: 'Blub' \n\nin xml-files in folder: " + copy.path()
                                           + "\nand all its subfolders (recursively)\n\naffected files (3):\n\n")) << result.output;
    EXPECT_FALSE (result.output.contains ("creating backup"));
    for (const auto& name : copy.xmlFiles())
        EXPECT_EQ (copy.read (name), TestFolder::readBytes (examples().getChildFile (name))) << name;
    EXPECT_FALSE (copy.file ("QuillmereBackup.zip").exists());
}

TEST (QuillmereBatchTool, DryRunRefusesWhatTheRealRunRefuses)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"1\"/>");

    const auto invalid = runTool ({ "--dry-run", "--convert", "gain", "y = ", folder.path() });
    EXPECT_EQ (invalid.exitCode, 2);
    EXPECT_TRUE (invalid.output.contains ("Invalid Formula: The formula you have entered could not be evaluated."));

    const auto valid = runTool ({ "--dry-run", "--convert", "gain", "y = x * 2;", folder.path() });
    EXPECT_EQ (valid.exitCode, 0);
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles), 1);
}

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

TEST (QuillmereBatchTool, ReplaceChangesOnlyTheMatches)
{
    ExamplesCopy copy;
    const auto result = runTool ({ "--recursive", "--replace", "Blah", "Blub", copy.path() });
    const auto backup = copy.file ("QuillmereBackup.zip");

    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("creating backup in file: " + backup.getFullPathName() + "...done. \n"));
    EXPECT_TRUE (result.output.contains ("processing file: " + copy.file ("sub/eq-bands.xml").getFullPathName() + "...done. \n"));
    EXPECT_TRUE (result.output.endsWith ("\nBatch processing finished. \nbackup: " + backup.getFullPathName() + "\n")) << result.output;

    juce::ZipFile zip (backup);
    ASSERT_EQ (zip.getNumEntries(), copy.xmlFiles().size());
    for (const auto& name : copy.xmlFiles())
    {
        const auto original = TestFolder::readBytes (examples().getChildFile (name));
        const auto expected = juce::String (original).replace ("Blah", "Blub").toStdString();
        EXPECT_EQ (copy.read (name), expected) << name;

        const auto* entry = zip.getEntry (name);
        ASSERT_NE (entry, nullptr) << name;
        std::unique_ptr<juce::InputStream> stored (zip.createStreamForEntry (*entry));
        juce::MemoryBlock storedBytes;
        stored->readIntoMemoryBlock (storedBytes);
        EXPECT_EQ (storedBytes.toString().toStdString(), original) << name;
    }
}

TEST (QuillmereBatchTool, ConvertDoublesEveryGainAsAnIndependentReaderSeesIt)
{
    enableUnicodeCharacterClasses();
    ExamplesCopy copy;
    const auto result = runTool ({ "--recursive", "--convert", "GAIN", "y = x * 2;", copy.path() });
    EXPECT_EQ (result.exitCode, 0) << result.output;

    int converted = 0;
    for (const auto& name : copy.xmlFiles())
    {
        const auto before = parseFile (examples().getChildFile (name));
        const auto after = parseFile (copy.file (name));
        ASSERT_NE (before, nullptr) << name;
        ASSERT_NE (after, nullptr) << name;
        expectDoubledGains (*before, *after, converted);
        // Lines without a gain keep their bytes.
        const auto originalLines = juce::StringArray::fromLines (TestFolder::readBytes (examples().getChildFile (name)));
        const auto convertedLines = juce::StringArray::fromLines (copy.read (name));
        ASSERT_EQ (originalLines.size(), convertedLines.size()) << name;
        for (int i = 0; i < originalLines.size(); ++i)
        {
            if (! originalLines[i].containsIgnoreCase ("gain="))
            {
                EXPECT_EQ (convertedLines[i], originalLines[i]) << name;
            }
        }
    }
    EXPECT_GE (converted, 10);
}

TEST (QuillmereBatchTool, ExitStatusOneWhenSomeFilesFailed)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"1\"/>");
    folder.write ("b.xml", "not xml at all");

    const auto result = runTool ({ "--convert", "gain", "x + 1", folder.path() });
    EXPECT_EQ (result.exitCode, 1) << result.output;
    EXPECT_TRUE (result.output.contains ("1 of 2 files failed"));
    EXPECT_EQ (folder.read ("b.xml"), "not xml at all");
    EXPECT_TRUE (folder.read ("a.xml").find ("gain=\"2\"") != std::string::npos);
}

TEST (QuillmereBatchTool, EvaluationErrorStopsTheRunWithStatusOne)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"0\"/>");
    folder.write ("b.xml", "<e gain=\"2\"/>");

    const auto result = runTool ({ "--convert", "gain", "y = 1 / x;", folder.path() });
    EXPECT_EQ (result.exitCode, 1) << result.output;
    EXPECT_TRUE (result.output.contains ("...failed: division by zero\n"));
    EXPECT_TRUE (result.output.contains ("Batch processing aborted"));
    EXPECT_FALSE (result.output.contains ("Batch processing finished"));
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"0\"/>");
    EXPECT_EQ (folder.read ("b.xml"), "<e gain=\"2\"/>");
}

TEST (QuillmereBatchTool, ExitStatusTwoWhenNothingChanged)
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

    const auto invalid = runTool ({ "--convert", "gain", "y = (x", folder.path() });
    EXPECT_EQ (invalid.exitCode, 2);
    EXPECT_TRUE (invalid.output.contains ("Invalid Formula: The formula you have entered could not be evaluated."));
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"1\"/>");
}
