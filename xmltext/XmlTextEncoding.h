#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>
#include <string_view>

/**
    The encoding of an XML file's text as "replace string" must write it:
    from the byte-order mark, else from the XML declaration, else UTF-8 when
    the bytes are valid UTF-8, else Latin-1.
*/
class XmlTextEncoding
{
public:
    enum class Kind
    {
        utf8,
        latin1,
        ascii,
        utf16LittleEndian,
        utf16BigEndian
    };

    struct Detected
    {
        Kind kind = Kind::utf8;
        size_t byteOrderMarkLength = 0;
        juce::String problem; // not empty: an encoding the tool does not handle, named
    };

    static Detected detect (std::string_view bytes);

    /** The encoding named in the document's XML declaration, if there is one. */
    static std::optional<std::string> declaredEncoding (std::string_view bytes);

    /** The text as this encoding stores it; nothing when a character has no place in it. */
    static std::optional<std::string> encode (const juce::String& text, Kind kind);

    static bool isValidUtf8 (std::string_view bytes);

    /** The text as UTF-8, for showing it: UTF-16 (without its byte-order mark)
        and Latin-1 decoded, UTF-8 and ASCII as they are. What is not a
        character (a lone surrogate, an odd last byte) becomes U+FFFD. */
    static std::string asUtf8 (std::string_view bytes, const Detected& encoding);
};
