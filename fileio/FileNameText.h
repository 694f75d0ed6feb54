#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>

/**
    A file name's bytes as a juce::String and back, without losing one.

    A name on a POSIX system is bytes, and a name copied from an older
    system is often Latin-1 ("caf\xe9.xml"): not UTF-8. Valid UTF-8 passes
    unchanged; every byte that is not part of a valid sequence stands in the
    text as the code point U+DC00 + byte, a surrogate that valid UTF-8 never
    holds, so toBytes() gives the name's own bytes back. A juce::String
    made by fromUTF8() from such bytes would read them as other characters,
    or cut the name at an overlong zero ("\xc0\x80").

    On Windows, where names are UTF-16, toBytes() is plain UTF-8: a name's
    own lone surrogate must not turn back into a byte of another name.
*/
struct FileNameText
{
    static juce::String fromBytes (std::string_view bytes);
    static std::string toBytes (const juce::String& text);

    static bool isValidUtf8 (std::string_view bytes);

    /** The length of the valid UTF-8 sequence at text[at], or 0 when the
        bytes there are not one (overlong forms and surrogates included). */
    static size_t validSequenceAt (std::string_view text, size_t at);
};
