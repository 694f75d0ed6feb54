#pragma once

#include "XmlTextEncoding.h"

#include <optional>
#include <string>
#include <string_view>

/**
    A file's text decoded from its own encoding into UTF-8, for matching,
    and the way back from offsets in that text to offsets in the file's
    bytes. UTF-8 and US-ASCII files are matched as their bytes; Latin-1 and
    UTF-16 are decoded (a lone surrogate or an odd last byte reads as
    U+FFFD and stays in the file unless matched).
*/
class DecodedText
{
public:
    DecodedText (std::string_view bytes, const XmlTextEncoding::Detected& encoding);

    /** The text after the byte-order mark, as UTF-8: the file's own bytes
        when they are UTF-8 or US-ASCII, which are not copied. */
    std::string_view text() const { return bytesPerUnit == 0 ? bytes.substr (std::min (origin, bytes.size())) : std::string_view (decoded); }

    /** Where the character at textOffset starts in the file. Matches come
        left to right, so the way back walks on from the last offset asked
        for instead of keeping one for every byte. */
    size_t fileOffsetOf (size_t textOffset);

    /** The length of the character at in text, a CR LF pair counted as one
        line end: the step after an empty match. */
    static size_t characterLengthAt (std::string_view text, size_t at);

    /** UTF-8 text as a file of this encoding stores it; nothing when a
        character has no place in it. */
    static std::optional<std::string> encodeForFile (const std::string& utf8, XmlTextEncoding::Kind kind);

private:
    void decodeUtf16 (bool littleEndian);
    void appendCharacter (juce::juce_wchar character);

    std::string_view bytes; // the file's, which must outlive this
    std::string decoded;    // for Latin-1 and UTF-16
    size_t origin = 0;      // where the text starts in the file (after a byte-order mark)
    size_t fileSize = 0;
    size_t bytesPerUnit = 0; // 0: the text is the file's own bytes; 1: Latin-1; 2: UTF-16
    size_t walkedText = 0, walkedFile = 0;
};
