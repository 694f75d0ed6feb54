#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/**
    Splits text into commands of words the way a POSIX shell splits a
    command line, and quotes words so that they split back the same. Only
    the quoting is the shell's: nothing is expanded, so '$', '*', '~' and
    '`' inside quotes are plain characters.

    - Blanks (space, tab, carriage return) separate words; a line feed ends
      the command, unless it is inside quotes or follows a backslash.
    - '...' keeps every character up to the next single quote.
    - "..." keeps every character; a backslash in it escapes only '"', '\',
      '$', '`' and a line feed (which then disappears).
    - Outside quotes, a backslash keeps the next character as it is.
    - '#' at the start of a word starts a comment up to the line's end.
    - Outside quotes, the shell's operators ; & | < > ( ) and ` are refused:
      the shell would not have read them as part of a word.
*/
class ShellWords
{
public:
    struct Command
    {
        int line = 0; // where the command starts, from 1
        juce::StringArray words;
    };

    /** The commands of text, in order; lines that hold only blanks or a
        comment give none. Fails with "line N: why" at the first problem. */
    static juce::Result split (const juce::String& text, std::vector<Command>& commands);

    /** The word as it is when split would read it back unchanged, else in
        single quotes (a quote inside written as '\''); '' when it is empty. */
    static juce::String quote (const juce::String& word);
};
