#pragma once

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

/** What quillmere-batch printed and its exit status. */
struct ToolResult
{
    int exitCode = -1;
    juce::String output; // standard output and standard error together
};

/** Debug builds of the framework print its version first thing; it is not the tool's output. */
inline juce::String withoutDebugBanner (const juce::String& output)
{
    return output.startsWith ("JUCE v") ? output.fromFirstOccurrenceOf ("\n", false, false) : output;
}

/** Everything the process printed, once it has ended. On Windows the
    framework's reader stops when it finds the pipe empty and the process
    gone, which may be before the last bytes written reach it: what is left
    is read after the end. */
inline juce::String readToTheEnd (juce::ChildProcess& process)
{
    auto output = process.readAllProcessOutput();
    EXPECT_TRUE (process.waitForProcessToFinish (60000));
    output += process.readAllProcessOutput();
    return withoutDebugBanner (output);
}

/** One argument as a Windows command line must hold it for the program's C
    library to read it back whole: quoted when it has a blank or a quote or
    is empty, quotes and the backslashes before them escaped. (The
    framework's own quoting loses the closing quote of an argument that
    ends with one.) */
inline juce::String commandLineArgument (const juce::String& argument)
{
    if (argument.isNotEmpty() && ! argument.containsAnyOf (" \t\n\""))
        return argument;
    juce::String quoted ("\"");
    int backslashes = 0;
    for (const auto c : argument)
    {
        if (c == '\\')
        {
            ++backslashes;
            continue;
        }
        quoted << juce::String::repeatedString ("\\", c == '"' ? backslashes * 2 + 1 : backslashes) << juce::String::charToString (c);
        backslashes = 0;
    }
    return quoted + juce::String::repeatedString ("\\", backslashes * 2) + "\"";
}

/** Runs quillmere-batch with the arguments, as a user would. */
inline ToolResult runTool (const juce::StringArray& arguments)
{
    juce::StringArray command { QUILLMERE_BATCH_PATH };
    command.addArray (arguments);

    juce::ChildProcess process;
#if JUCE_WINDOWS
    juce::StringArray quoted;
    for (const auto& argument : command)
        quoted.add (commandLineArgument (argument));
    EXPECT_TRUE (process.start (quoted.joinIntoString (" ")));
#else
    EXPECT_TRUE (process.start (command));
#endif
    ToolResult result;
    result.output = readToTheEnd (process);
    result.exitCode = (int) process.getExitCode();
    return result;
}
