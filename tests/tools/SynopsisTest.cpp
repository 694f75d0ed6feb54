// The call forms of quillmere-batch, as --help, the man page and the README
// show them, against the operations the registry declares.

#include "OperationRegistry.h"
#include "tools/ToolRun.h"

#include <gtest/gtest.h>

#include <regex>

namespace
{
    juce::String helpText()
    {
        juce::ChildProcess tool;
        if (! tool.start (juce::StringArray { QUILLMERE_BATCH_PATH, "--help" }, juce::ChildProcess::wantStdOut))
            return {};
        return readToTheEnd (tool);
    }

    /** "[--regex] --replace WHAT" as the man page's markdown writes it. */
    juce::String inManPage (const juce::String& synopsis)
    {
        auto text = std::regex_replace (synopsis.toStdString(), std::regex (R"(--([a-z-]+))"), "**\\--$1**");
        text = std::regex_replace (text, std::regex (R"(\b([A-Z]+)\b)"), "*$1*");
        return juce::String (text);
    }
}

TEST (Synopsis, HelpManPageAndReadmeShowEveryDeclaredCall)
{
    const auto help = helpText();
    const auto readme = juce::File (QUILLMERE_SOURCE_DIR "/README.md").loadFileAsString();
    const auto manPage = juce::File (QUILLMERE_SOURCE_DIR "/doc/man/quillmere-batch.1.md").loadFileAsString();
    ASSERT_TRUE (help.isNotEmpty() && readme.isNotEmpty() && manPage.isNotEmpty());

    const juce::String fileOptions = "[--recursive] [--include GLOB] [--exclude GLOB] [--dry-run] [--diff]";
    for (const auto* operation : OperationRegistry::commandLineOrder())
    {
        const auto call = operation->synopsis() + (operation->listsFolder() ? " FOLDER" : "");
        const auto options = operation->listsFolder() ? fileOptions : juce::String ("[--dry-run] [--diff]");
        const auto wrapped = [&] (const juce::String& indent) {
            return operation->listsFolder() ? "quillmere-batch " + options + "\n" + indent + call
                                            : "quillmere-batch " + options + " " + call;
        };
        EXPECT_TRUE (help.contains (wrapped (juce::String::repeatedString (" ", 23)) + "\n")) << call;
        EXPECT_TRUE (readme.contains ("    " + wrapped (juce::String::repeatedString (" ", 20)) + "\n")) << call;
        EXPECT_TRUE (manPage.contains ("**quillmere-batch** " + inManPage (options + " " + call) + "\n")) << inManPage (options + " " + call);

        // Each option of the operation has its line in --help.
        EXPECT_TRUE (help.contains ("\n  " + operation->option + " ")) << operation->option;
        for (const auto* named : operation->namedParameters())
            EXPECT_TRUE (help.contains ("\n  " + named->option + " ")) << named->option;
    }
}
