#include "TaskDescription.h"
#include "support/JucePrinters.h"

#include <gtest/gtest.h>

namespace
{
    TaskDescriptionInput dataFolderWithTwoFiles()
    {
        TaskDescriptionInput input;
        input.replaceWhat = "Blah";
        input.replaceWith = "Blub";
        input.attribute = "SomeAttribute";
        input.formula = "y = x;";
        input.folderPath = "C:\\data";
        input.numFiles = 2;
        input.fileListText = "C:\\data\\A.XML\nC:\\data\\b.xml\n";
        return input;
    }
}

TEST (TaskDescription, ReplaceStringInFolder)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = "replace string";
    input.scope = "files in folder";

    EXPECT_EQ (buildTaskDescription (input),
               "Replace string: 'Blah' \n"
               "with new string: 'Blub' \n"
               "\n"
               "in xml-files in folder: C:\\data\n"
               "\n"
               "affected files (2):\n"
               "\n"
               "C:\\data\\A.XML\n"
               "C:\\data\\b.xml\n");
}

TEST (TaskDescription, ConvertValueWithSubfolders)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = "convert value";
    input.scope = "files in folder and subfolders";

    EXPECT_EQ (buildTaskDescription (input),
               "Convert value of attributes with name: 'SomeAttribute' \n"
               "via the conversion formula: y = x;\n"
               "\n"
               "in xml-files in folder: C:\\data\n"
               "and all its subfolders (recursively)\n"
               "\n"
               "affected files (2):\n"
               "\n"
               "C:\\data\\A.XML\n"
               "C:\\data\\b.xml\n");
}

TEST (TaskDescription, EmptyFolderEndsWithOneEmptyLine)
{
    TaskDescriptionInput input;
    input.operation = "replace string";
    input.scope = "files in folder";
    input.folderPath = "/data";

    EXPECT_TRUE (buildTaskDescription (input).endsWith ("in xml-files in folder: /data\n\naffected files (0):\n\n"));
}

TEST (TaskDescription, UnknownOperationShowsNoOperationLines)
{
    TaskDescriptionInput input;
    input.operation = "Replace String";   // compared exactly
    input.scope = "Files in folder and subfolders";
    input.folderPath = "/data";

    EXPECT_EQ (buildTaskDescription (input), "\nin xml-files in folder: /data\n\naffected files (0):\n\n");
}

TEST (TaskDescription, ValuesAreCopiedUnchangedBetweenTheQuotes)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = "replace string";
    input.replaceWhat = "it's";
    input.replaceWith = "two\nlines";

    EXPECT_TRUE (buildTaskDescription (input).startsWith ("Replace string: 'it's' \nwith new string: 'two\nlines' \n\n"));
}

TEST (TaskDescription, ReplaceModeDoesNotShowTheFormula)
{
    auto input = dataFolderWithTwoFiles();
    input.operation = "replace string";
    input.formula = "y = secret;";
    EXPECT_FALSE (buildTaskDescription (input).contains ("secret"));
}
