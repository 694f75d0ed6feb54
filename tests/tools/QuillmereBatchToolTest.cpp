#include "GzipText.h"
#include "NumberText.h"
#include "UnicodeCharacterClasses.h"
#include "XmlTextEncoding.h"
#include "support/PatchTool.h"
#include "support/TestFolder.h"
#include "tools/RecipeFolder.h"
#include "tools/ToolRun.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
    juce::File examples()
    {
        return juce::File (QUILLMERE_EXAMPLES_DIR);
    }

    /** A copy of the sample files, so the run changes only copies. */
    struct ExamplesCopy : TestFolder
    {
        ExamplesCopy() { EXPECT_TRUE (examples().copyDirectoryTo (get())); }

        juce::StringArray xmlFiles() const
        {
            juce::StringArray names;
            for (const auto& file : examples().findChildFiles (juce::File::findFiles, true, "*.xml"))
                names.add (file.getRelativePathFrom (examples()).replaceCharacter (juce::File::getSeparatorChar(), '/'));
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
        {},
        { "--replace", "a" },
        { "--replace", "a", "b" },
        { "--frobnicate", "--replace", "a", "b", folder.path() },
        { "--replace", "a", "b", folder.file ("missing").getFullPathName() },
        { "--replace", "a", "b", "--convert", "g", "x", folder.path() },
        { "--replace", "a", "b", folder.path(), folder.path() },
        { "--replace", "Blub", "--dry-run", folder.path() },
        { "--replace", "--dry-run", "x", folder.path() },
        { "--regex", "--convert", "g", "x", folder.path() },
        { "--replace", "--regex", "x", folder.path() },
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
                                           + "\nand all its subfolders (recursively)\n\naffected files (3):\n\n"))
        << result.output;
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

TEST (QuillmereBatchTool, RestoreListsAndCountsTheArchivesEntriesOnly)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");
    ASSERT_EQ (runTool ({ "--replace", "Blah", "Blub", folder.path() }).exitCode, 0);
    folder.write ("b.xml", "not in the backup");
    folder.write ("c.xml", "not in the backup either");
    ASSERT_TRUE (folder.file ("a.xml").setReadOnly (true));

    const auto result = runTool ({ "--restore", folder.file ("QuillmereBackup.zip").getFullPathName() });
    EXPECT_EQ (result.exitCode, 1) << result.output;
    EXPECT_TRUE (result.output.contains ("affected files (1):")) << result.output;
    EXPECT_FALSE (result.output.contains ("b.xml")) << result.output;
    EXPECT_TRUE (result.output.contains ("1 of 1 files failed")) << result.output;
}

// A folder's name and a text beyond ASCII reach the tool as typed, on
// every system (Windows hands main() its ANSI code page, which lacks most
// letters): the folder is found, and the file gets the text's UTF-8.
TEST (QuillmereBatchTool, NamesAndTextsBeyondAsciiArriveAsTyped)
{
    TestFolder folder;
    const auto name = juce::String::fromUTF8 ("Caf\xc3\xa9 \xe6\x96\x87");
    folder.write (name + "/a.xml", "<a name=\"Blah\"/>");
    const auto result = runTool ({ "--replace", "Blah", juce::String::fromUTF8 ("Gr\xc3\xbc\xc3\x9f\xe2\x82\xac"), folder.file (name).getFullPathName() });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_EQ (folder.read (name + "/a.xml"), "<a name=\"Gr\xc3\xbc\xc3\x9f\xe2\x82\xac\"/>");
}

TEST (QuillmereBatchTool, IncludeAndExcludeChooseTheFiles)
{
    TestFolder folder;
    for (const auto* name : { "a.xml", "bank.xiz", "kit.XMZ", "old.xiz" })
        folder.write (name, "Blah");

    const auto result = runTool ({ "--include", "*.xiz", "--include", "*.xmz", "--exclude", "old*", "--replace", "Blah", "Blub", folder.path() });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("files matching: *.xiz; *.xmz; !old*")) << result.output;
    const std::pair<const char*, const char*> expectedContents[] = { { "a.xml", "Blah" }, { "bank.xiz", "Blub" }, { "kit.XMZ", "Blub" }, { "old.xiz", "Blah" } };
    for (const auto& [name, expected] : expectedContents)
        EXPECT_EQ (folder.read (name), expected) << name;

    EXPECT_EQ (runTool ({ "--include", "--replace", "a", "b", folder.path() }).exitCode, 2);
}

TEST (QuillmereBatchTool, GzipFilesAreEditedAsTheirTextAndRestoredByteForByte)
{
    TestFolder folder;
    GzipText::Header header;
    header.name = "bank.xiz";
    header.modificationTime = 1234567890;
    const auto compressed = GzipText::compress ("<bank><par name=\"volume\" value=\"72\"/></bank>", header);
    folder.write ("bank.xiz", compressed);
    folder.write ("plain.xiz", "<bank><par value=\"10\"/></bank>");
    folder.write ("damaged.xiz", compressed.substr (0, compressed.size() / 2));

    const auto dryRun = runTool ({ "--dry-run", "--include", "*.xiz", "--convert", "value", "y = x * 2;", folder.path() });
    EXPECT_TRUE (dryRun.output.contains ("bank.xiz: 1 change (gzip)")) << dryRun.output;
    EXPECT_TRUE (dryRun.output.contains ("damaged.xiz: would fail: damaged gzip data")) << dryRun.output;

    const auto result = runTool ({ "--include", "*.xiz", "--convert", "value", "y = x * 2;", folder.path() });
    EXPECT_EQ (result.exitCode, 1) << result.output;
    EXPECT_TRUE (result.output.contains ("bank.xiz...done. (gzip)")) << result.output;
    const auto unpacked = GzipText::decompress (folder.read ("bank.xiz"));
    EXPECT_EQ (unpacked.text, "<bank><par name=\"volume\" value=\"144\"/></bank>");
    EXPECT_EQ (unpacked.header.name, header.name);
    EXPECT_EQ (unpacked.header.modificationTime, header.modificationTime);
    EXPECT_EQ (folder.read ("plain.xiz"), "<bank><par value=\"20\"/></bank>");

    const auto restored = runTool ({ "--restore", folder.file ("QuillmereBackup.zip").getFullPathName() });
    EXPECT_EQ (restored.exitCode, 0) << restored.output;
    EXPECT_EQ (folder.read ("bank.xiz"), compressed);
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
    // Nothing changed: the backup would only hide the one an undo needs.
    EXPECT_TRUE (result.output.contains ("removed the backup ")) << result.output;
    EXPECT_FALSE (result.output.contains ("backup: ")) << result.output;
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
}

TEST (QuillmereBatchTool, AFormulaThatDoesNotParseExitsWithTwoAndChangesNothing)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"1\"/>");

    const auto invalid = runTool ({ "--convert", "gain", "y = (x", folder.path() });
    EXPECT_EQ (invalid.exitCode, 2);
    EXPECT_TRUE (invalid.output.contains ("Invalid Formula: The formula you have entered could not be evaluated."));
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"1\"/>");
}

namespace
{
    struct DryRunCase
    {
        const char* name;
        std::vector<std::pair<const char*, std::string>> files; // name, bytes; a name ending in "!" is made read-only
        juce::StringArray arguments;                            // before the folder
        int exitCode;
        juce::StringArray lines; // after the description; PATH/ is the folder
    };

    class DryRun : public testing::TestWithParam<DryRunCase>
    {
    };
}

TEST_P (DryRun, ListsEachFileAndExitsByWhatWouldHappen)
{
    const auto& test = GetParam();
    TestFolder folder;
    for (const auto& [name, bytes] : test.files)
    {
        const juce::String fileName (name);
        folder.write (fileName.trimCharactersAtEnd ("!"), bytes);
        if (fileName.endsWithChar ('!'))
            folder.file (fileName.trimCharactersAtEnd ("!")).setReadOnly (true);
    }

    auto arguments = test.arguments;
    arguments.insert (0, "--dry-run");
    arguments.add (folder.path());
    const auto result = runTool (arguments);

    EXPECT_EQ (result.exitCode, test.exitCode) << result.output;
    const auto expected = test.lines.joinIntoString ("\n").replace ("PATH/", folder.path() + juce::File::getSeparatorString()) + "\n";
    EXPECT_TRUE (result.output.endsWith (expected)) << result.output << "\nexpected the end:\n"
                                                    << expected;
    for (const auto& [name, bytes] : test.files)
        EXPECT_EQ (folder.read (juce::String (name).trimCharactersAtEnd ("!")), bytes) << name;
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles, "*.zip;*.txt;.*"), 0) << "no backup, log or temporary";
}

INSTANTIATE_TEST_SUITE_P (QuillmereBatchTool, DryRun, testing::Values (DryRunCase { "SomethingWouldChange", { { "a.xml", "Blah Blah" }, { "b.xml", "none" }, { "c.xml", "Blah" } }, { "--replace", "Blah", "Blub" }, 0, { "PATH/a.xml: 2 changes", "PATH/b.xml: no change", "PATH/c.xml: 1 change", "", "2 files would change, 1 would stay as they are, 0 would fail" } }, DryRunCase { "SomethingWouldFail", { { "a.xml", "Blah" }, { "b.xml!", "Blah" } }, { "--replace", "Blah", "Blub" }, 1, { "PATH/a.xml: 1 change", "PATH/b.xml: would fail: the file is read-only", "", "1 file would change, 0 would stay as they are, 1 would fail" } }, DryRunCase { "NothingMatches", { { "a.xml", "<a gain=\"1\"/>" }, { "b.xml", "<b/>" } }, { "--replace", "Blah", "Blub" }, 3, { "PATH/a.xml: no change", "PATH/b.xml: no change", "", "0 files would change, 2 would stay as they are, 0 would fail" } }, DryRunCase { "NoAttributeMatches", { { "a.xml", "<a level=\"1\"/>" } }, { "--convert", "gain", "y = x * 2;" }, 3, { "PATH/a.xml: no change", "", "0 files would change, 1 would stay as they are, 0 would fail" } }, DryRunCase { "NotXml", { { "a.xml", "<a gain=\"1\"/>" }, { "b.xml", "not xml" } }, { "--convert", "gain", "y = x * 2;" }, 1, { "PATH/a.xml: 1 change", "PATH/b.xml: would fail: not an XML document: syntax error at line 1, column 1", "", "1 file would change, 0 would stay as they are, 1 would fail" } }, DryRunCase { "FormulaStops", { { "a.xml", "<a gain=\"0\"/>" }, { "b.xml", "<b gain=\"2\"/>" } }, { "--convert", "gain", "y = 1 / x;" }, 1, { "PATH/a.xml: would fail: division by zero (the run stops here; the files after it stay as they are)", "PATH/b.xml: no change (the run stops at PATH/a.xml before it)", "", "0 files would change, 1 would stay as they are, 1 would fail" } }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (QuillmereBatchTool, DryRunOfAFolderWithoutFilesIsRefusedLikeTheRun)
{
    TestFolder folder;
    const auto result = runTool ({ "--dry-run", "--replace", "Blah", "Blub", folder.path() });
    EXPECT_EQ (result.exitCode, 2) << result.output;
    EXPECT_TRUE (result.output.contains ("Nothing to do")) << result.output;
}

namespace
{
    struct DiffCase
    {
        const char* name;
        juce::StringArray operation;
    };

    class DiffOutput : public testing::TestWithParam<DiffCase>
    {
    };
}

// What --dry-run --diff prints, fed whole to patch -p1 in a copy of the
// folder, gives the bytes that the run with --diff then writes.
TEST_P (DiffOutput, PatchedOntoACopyGivesTheRunsBytes)
{
    TestFolder folder;
    const std::map<juce::String, std::string> files {
        { "crlf.xml", "<p gain=\"0.5\" name=\"Blah\">\r\n  <b/>\r\n  <b/>\r\n  <b/>\r\n  <b/>\r\n  <b/>\r\n  <b/>\r\n  <b/>\r\n"
                      "  <b gain=\"1\"/>\r\n<e gain=\"3\" name=\"Blah\"/></p>" },
        { "lf.xml", "<p>\n<e gain=\"2\" name=\"Blah\"/>\n</p>\n" },
        { "sub/deep name.xml", "<p gain=\"4\">Blah</p>" },
        { "plain.xml", "<p/>\n" },
    };
    for (const auto& [name, bytes] : files)
        folder.write (name, bytes);
    TestFolder copy;
    ASSERT_TRUE (folder.get().copyDirectoryTo (copy.get()));

    auto arguments = GetParam().operation;
    // A recipe case names its recipe RECIPE: written here, outside the folder.
    TestFolder recipes;
    const auto recipe = recipes.write ("both.recipe", "replace Blah Blub\nconvert gain 'n = n + 1; y = x * 2 + n;'\n");
    if (const auto placeholder = arguments.indexOf ("RECIPE"); placeholder >= 0)
        arguments.set (placeholder, recipe.getFullPathName());
    arguments.insert (0, "--recursive");
    arguments.insert (0, "--diff");
    auto dryRun = arguments;
    dryRun.insert (0, "--dry-run");
    dryRun.add (folder.path());
    const auto printed = runTool (dryRun);
    ASSERT_EQ (printed.exitCode, 0) << printed.output;
    EXPECT_TRUE (printed.output.contains ("\n--- a/crlf.xml\n+++ b/crlf.xml\n@@ -1,4 +1,4 @@\n")) << printed.output;
    // A CR LF file's lines keep their CR LF, and no other line gains a CR.
    EXPECT_TRUE (printed.output.contains ("\n-<p gain=\"0.5\" name=\"Blah\">\r\n+<p gain=")) << printed.output;
    EXPECT_TRUE (printed.output.contains ("\n-<e gain=\"2\" name=\"Blah\"/>\n+<e gain=")) << printed.output;
    if (! PatchTool::available())
        GTEST_SKIP() << "no patch.exe on PATH";
    const auto applied = PatchTool::apply (copy.get(), printed.output.toStdString());
    ASSERT_TRUE (applied.wasOk()) << applied.getErrorMessage() << "\n"
                                  << printed.output;

    auto realRun = arguments;
    realRun.add (folder.path());
    const auto ran = runTool (realRun);
    EXPECT_EQ (ran.exitCode, 0) << ran.output;
    EXPECT_TRUE (ran.output.contains ("+++ b/crlf.xml\n")) << "the diff is printed before the run";
    EXPECT_TRUE (ran.output.contains ("Batch processing finished")) << ran.output;
    for (const auto& [name, bytes] : files)
    {
        EXPECT_EQ (copy.read (name), folder.read (name)) << name;
        if (name != "plain.xml")
        {
            EXPECT_NE (folder.read (name), bytes) << name << " was to change";
        }
    }
}

INSTANTIATE_TEST_SUITE_P (QuillmereBatchTool, DiffOutput, testing::Values (DiffCase { "Replace", { "--replace", "Blah", "Blub" } }, DiffCase { "Convert", { "--convert", "gain", "n = n + 1; y = x * 2 + n;" } },
                                                                   DiffCase { "Recipe", { "--recipe", "RECIPE" } }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (QuillmereBatchTool, HelpNamesTheDiffAndTheDryRunStatus)
{
    const auto help = runTool ({ "--help" });
    EXPECT_TRUE (help.output.contains ("--diff")) << help.output;
    EXPECT_TRUE (help.output.contains ("3 nothing would change")) << help.output;
}

TEST (QuillmereBatchTool, RegexReplaceComputesOnCapturesAndRefusesABadPattern)
{
    TestFolder folder;
    folder.write ("a.xml", "<a gain=\"3dB\"/>\r\n<b gain=\"-1.5dB\"/>\r\n");

    const auto bad = runTool ({ "--regex", "--replace", "gain=\"([0-9]+dB\"", "x", folder.path() });
    EXPECT_EQ (bad.exitCode, 2) << bad.output;
    EXPECT_TRUE (bad.output.contains ("missing closing parenthesis")) << bad.output;
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());

    const auto result = runTool ({ "--regex", "--replace", "gain=\"([-.0-9]+)dB\"", "gain=\"${= _1 - 6 }dB\"", folder.path() });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("Replace regular expression: 'gain=\"([-.0-9]+)dB\"'")) << result.output;
    EXPECT_EQ (folder.read ("a.xml"), "<a gain=\"-3dB\"/>\r\n<b gain=\"-7.5dB\"/>\r\n");
}

// A path, element text and a number format through every encoding the
// locator reads, and through gzip: the file's bytes are those of the
// expected text in the file's own encoding, so only the selected bytes changed.
TEST (QuillmereBatchTool, PathsTextAndFormatsChangeOnlyTheSelectedBytesInEveryEncoding)
{
    using Kind = XmlTextEncoding::Kind;
    const auto text = [] (const char* encoding, const char* first, const char* second) {
        return juce::String::fromUTF8 ((std::string ("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\r\n<bank name=\"Caf\xc3\xa9\">\r\n"
                                        + "<par name=\"volume\" value=\"" + first + "\"/><par name=\"pan\" value=\"64\"/>\r\n"
                                        + "<volume>\r\n " + second + " </volume><volume>\xc3\xa9"
                                                                     "2</volume><volume><![CDATA[3]]></volume>\r\n</bank>\r\n")
                                           .c_str());
    };
    struct Layout
    {
        const char* name;
        const char* encoding;
        Kind kind;
        std::string mark;
        bool gzip;
    };
    const Layout layouts[] = { { "latin1.xml", "ISO-8859-1", Kind::latin1, "", false },
                               { "le.xml", "UTF-16", Kind::utf16LittleEndian, "\xff\xfe", false },
                               { "be.xml", "UTF-16", Kind::utf16BigEndian, "\xfe\xff", false },
                               { "packed.xml", "UTF-8", Kind::utf8, "", true } };
    const auto stored = [] (const Layout& layout, const juce::String& content) {
        const auto bytes = layout.mark + *XmlTextEncoding::encode (content, layout.kind);
        return layout.gzip ? GzipText::compress (bytes, {}) : bytes;
    };
    const auto contents = [] (const std::string& bytes) {
        return GzipText::isGzip (bytes) ? GzipText::decompress (bytes).text : bytes;
    };

    TestFolder folder;
    for (const auto& layout : layouts)
        folder.write (layout.name, stored (layout, text (layout.encoding, "64", "1.50")));

    const auto attributes = runTool ({ "--number-format", "%.2f", "--convert", "//par[@name='volume']/@value", "y = x * 2;", folder.path() });
    EXPECT_EQ (attributes.exitCode, 0) << attributes.output;
    const auto dryRun = runTool ({ "--dry-run", "--number-format", "keep", "--convert", "//volume/text()", "y = x * 2;", folder.path() });
    EXPECT_TRUE (dryRun.output.contains ("12 values in 4 files")) << dryRun.output;
    const auto texts = runTool ({ "--number-format", "keep", "--convert", "//volume/text()", "y = x * 2;", folder.path() });
    EXPECT_EQ (texts.exitCode, 0) << texts.output;

    for (const auto& layout : layouts)
        EXPECT_EQ (contents (folder.read (layout.name)), contents (stored (layout, text (layout.encoding, "128.00", "3.00")))) << layout.name;
}

TEST (QuillmereBatchTool, RecipeAndReportWrongCallsChangeNothing)
{
    RecipeFolder setup;
    const auto bad = setup.place.write ("bad.recipe", "replace a b\nfrobnicate\nreplace 'x\n");
    const struct
    {
        juce::StringArray call;
        const char* says;
    } calls[] = {
        { { "--recipe", bad.getFullPathName(), setup.folder.path() }, "line 3: a single quote (') that is never closed" },
        { { "--recipe", setup.place.file ("none").getFullPathName(), setup.folder.path() }, "cannot read the recipe" },
        { { "--recipe", setup.recipe.getFullPathName(), "--replace", "a", "b", setup.folder.path() }, "choose one of --replace, --convert, --recipe, --set, --rename, --delete, --add-attribute, --add-element and --restore" },
        { { "--regex", "--recipe", setup.recipe.getFullPathName(), setup.folder.path() }, "--regex goes on a recipe's replace lines" },
        { { "--diff", "--report", "-", "--recipe", setup.recipe.getFullPathName(), setup.folder.path() }, "would both write to standard output" },
        { { "--report", setup.place.file ("no/such.json").getFullPathName(), "--recipe", setup.recipe.getFullPathName(), setup.folder.path() }, "no such folder for the report" },
    };
    for (const auto& c : calls)
    {
        const auto result = runTool (c.call);
        EXPECT_EQ (result.exitCode, 2) << c.call.joinIntoString (" ");
        EXPECT_TRUE (result.output.contains (c.says)) << result.output;
    }
    EXPECT_FALSE (setup.folder.file ("QuillmereBackup.zip").exists());

    const auto help = runTool ({ "--help" });
    EXPECT_TRUE (help.output.contains ("--recipe FILE FOLDER") && help.output.contains ("--report FILE")) << help.output;
}
