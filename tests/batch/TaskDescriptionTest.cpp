#include "BatchOperationFactory.h"
#include "FormulaEngine.h"
#include "OperationRegistry.h"
#include "TaskDescription.h"
#include "support/JucePrinters.h"

#include <gtest/gtest.h>

namespace
{
    // As the system writes the two files' paths ("C:\data\A.XML" on Windows).
    const auto fileA = juce::File ("/data/A.XML").getFullPathName(), fileB = juce::File ("/data/b.xml").getFullPathName();

    BatchSettings dataFolderWithTwoFiles()
    {
        BatchSettings input;
        input.parameters.set ("what", "Blah");
        input.parameters.set ("with", "Blub");
        input.parameters.set ("attribute", "SomeAttribute");
        input.parameters.set ("formula", "y = x;");
        input.directoryPath = "/data";
        input.files = { juce::File ("/data/A.XML"), juce::File ("/data/b.xml") };
        return input;
    }

    juce::String buildTaskDescription (const BatchSettings& settings)
    {
        FormulaEngine engine;
        const auto operation = BatchOperationFactory::create (settings, &engine);
        return ::buildTaskDescription (settings, operation.get());
    }
}

TEST (TaskDescription, ReplaceStringInFolder)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = OperationRegistry::named ("replace string");

    EXPECT_EQ (buildTaskDescription (input),
               "Replace string: 'Blah' \n"
               "with new string: 'Blub' \n"
               "\n"
               "in xml-files in folder: /data\n"
               "\n"
               "affected files (2):\n"
               "\n"
                   + fileA + "\n" + fileB + "\n");
}

TEST (TaskDescription, ConvertValueWithSubfolders)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = OperationRegistry::named ("convert value");
    input.recursive = true;

    EXPECT_EQ (buildTaskDescription (input),
               "Convert value of attributes with name: 'SomeAttribute' \n"
               "via the conversion formula: y = x;\n"
               "\n"
               "in xml-files in folder: /data\n"
               "and all its subfolders (recursively)\n"
               "\n"
               "affected files (2):\n"
               "\n"
                   + fileA + "\n" + fileB + "\n");
}

TEST (TaskDescription, SaysWhatTheListingCouldNotEnterBeforeTheFiles)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = OperationRegistry::named ("replace string");
    input.recursive = true;
    input.unlisted = { "cannot list the folder /data/locked (Permission denied)" };

    EXPECT_TRUE (buildTaskDescription (input).contains ("and all its subfolders (recursively)\n"
                                                        "\n"
                                                        "cannot list the folder /data/locked (Permission denied)\n"
                                                        "\n"
                                                        "affected files (2):\n"))
        << buildTaskDescription (input);
}

TEST (TaskDescription, EmptyFolderEndsWithOneEmptyLine)
{
    BatchSettings input;
    input.operation = OperationRegistry::named ("replace string");
    input.directoryPath = "/data";

    EXPECT_TRUE (buildTaskDescription (input).endsWith ("in xml-files in folder: /data\n\naffected files (0):\n\n"));
}

TEST (TaskDescription, UnknownOperationShowsNoOperationLines)
{
    BatchSettings input;
    input.operation = OperationRegistry::named ("Replace String"); // compared exactly

    input.directoryPath = "/data";

    EXPECT_EQ (buildTaskDescription (input), "\nin xml-files in folder: /data\n\naffected files (0):\n\n");
}

TEST (TaskDescription, ValuesAreCopiedUnchangedBetweenTheQuotes)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = OperationRegistry::named ("replace string");
    input.parameters.set ("what", "it's");
    input.parameters.set ("with", "two\nlines");

    EXPECT_TRUE (buildTaskDescription (input).startsWith ("Replace string: 'it's' \nwith new string: 'two\nlines' \n\n"));
}

TEST (TaskDescription, ReplaceModeDoesNotShowTheFormula)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = OperationRegistry::named ("replace string");
    input.parameters.set ("formula", "y = secret;");
    EXPECT_FALSE (buildTaskDescription (input).contains ("secret"));
}
