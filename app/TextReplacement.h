#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>

/**
    The text replacement of the "replace string" run, on a file's raw bytes.

    A file that starts with a UTF-16 byte-order mark is replaced as UTF-16 and
    written back in the same byte order with its mark. Any other file is taken
    as bytes: the search and replacement texts are encoded as UTF-8 when the
    file is valid UTF-8 and as Latin-1 otherwise, so every byte that is not
    part of a match survives unchanged, zero bytes included.

    The result follows the line-end rule: every line feed that is not preceded
    by a carriage return becomes CR LF; CR LF pairs and lone CRs stay.
*/
class TextReplacement
{
public:
    /** Replaces every occurrence of what (non-empty) by with, left to right and
        never overlapping, into rewritten. Fails, leaving rewritten empty, when a
        text cannot be written in the file's encoding. */
    static juce::Result apply (const juce::MemoryBlock& original,
                               const juce::String& what, const juce::String& with,
                               std::string& rewritten);

    /** The line-end rule on 8-bit text. */
    static std::string withCrLf (std::string_view text);

    static std::u16string withCrLf (std::u16string_view text);

    /** True when the line-end rule would change the text. */
    static bool hasBareLineFeed (std::string_view text);

    static bool isValidUtf8 (std::string_view bytes);
};
