#include "ShellWords.h"

#include <string>

namespace
{
    bool isBlank (juce::juce_wchar c)
    {
        return c == ' ' || c == '\t' || c == '\r';
    }

    bool isShellOperator (juce::juce_wchar c)
    {
        return juce::String (";&|<>()`").containsChar (c);
    }

    /** Characters a word may hold without quotes, for quote(). */
    bool isPlainCharacter (juce::juce_wchar c)
    {
        return juce::CharacterFunctions::isLetterOrDigit (c) || juce::String ("_@%+=:,./-").containsChar (c);
    }

    /** Reads text once, from the first character to the last. */
    class Splitter
    {
    public:
        explicit Splitter (const juce::String& textToSplit)
            : text (textToSplit.getCharPointer()) {}

        juce::Result run (std::vector<ShellWords::Command>& commands)
        {
            while (! text.isEmpty())
            {
                const auto c = text.getAndAdvance();
                if (c == '\n')
                    endCommand (commands), ++line;
                else if (isBlank (c))
                    endWord();
                else if (c == '#' && ! inWord)
                    skipComment();
                else if (c == '\\')
                    escapeOutsideQuotes();
                else if (c == '\'')
                {
                    if (auto read = readSingleQuoted(); read.failed())
                        return read;
                }
                else if (c == '"')
                {
                    if (auto read = readDoubleQuoted(); read.failed())
                        return read;
                }
                else if (isShellOperator (c))
                    return fail (line, "'" + juce::String::charToString (c) + "' outside quotes: the shell would not read it as part of a word; put the word in quotes");
                else
                    append (c);
            }
            endCommand (commands);
            return juce::Result::ok();
        }

    private:
        static juce::Result fail (int atLine, const juce::String& why)
        {
            return juce::Result::fail ("line " + juce::String (atLine) + ": " + why);
        }

        void append (juce::juce_wchar c)
        {
            appendToWord (c);
            startWord();
        }

        /** Grows the word in place: a juce::String reallocates at every
            character, which makes a long quoted formula quadratic to read. */
        void appendToWord (juce::juce_wchar c)
        {
            char encoded[8] = {};
            juce::CharPointer_UTF8 (encoded).write (c);
            word += encoded;
        }

        void startWord()
        {
            if (! inWord && command.words.isEmpty())
                command.line = line;
            inWord = true;
        }

        void endWord()
        {
            if (inWord)
                command.words.add (juce::String::fromUTF8 (word.data(), (int) word.size()));
            word.clear();
            inWord = false;
        }

        void endCommand (std::vector<ShellWords::Command>& commands)
        {
            endWord();
            if (! command.words.isEmpty())
                commands.push_back (command);
            command = {};
        }

        void skipComment()
        {
            while (! text.isEmpty() && *text != '\n')
                ++text;
        }

        void escapeOutsideQuotes()
        {
            if (text.isEmpty())
                return append ('\\');
            const auto next = text.getAndAdvance();
            if (next == '\n')
                ++line; // the line goes on: the command continues on the next one
            else
                append (next);
        }

        juce::Result readSingleQuoted()
        {
            const int openedAt = line;
            startWord();
            for (;;)
            {
                if (text.isEmpty())
                    return fail (openedAt, "a single quote (') that is never closed");
                const auto c = text.getAndAdvance();
                if (c == '\'')
                    return juce::Result::ok();
                line += c == '\n' ? 1 : 0;
                appendToWord (c);
            }
        }

        juce::Result readDoubleQuoted()
        {
            const int openedAt = line;
            startWord();
            for (;;)
            {
                if (text.isEmpty())
                    return fail (openedAt, "a double quote (\") that is never closed");
                auto c = text.getAndAdvance();
                if (c == '"')
                    return juce::Result::ok();
                if (c == '\\' && ! text.isEmpty() && juce::String ("\"\\$`\n").containsChar (*text))
                {
                    c = text.getAndAdvance();
                    if (c == '\n')
                    {
                        ++line;
                        continue;
                    }
                }
                line += c == '\n' ? 1 : 0;
                appendToWord (c);
            }
        }

        juce::String::CharPointerType text;
        int line = 1;
        ShellWords::Command command;
        std::string word; // UTF-8
        bool inWord = false;
    };
}

juce::Result ShellWords::split (const juce::String& text, std::vector<Command>& commands)
{
    commands.clear();
    return Splitter (text).run (commands);
}

juce::String ShellWords::quote (const juce::String& word)
{
    bool plain = word.isNotEmpty();
    for (auto p = word.getCharPointer(); plain && ! p.isEmpty(); ++p)
        plain = isPlainCharacter (*p);
    if (plain)
        return word;
    return "'" + word.replace ("'", "'\\''") + "'";
}
