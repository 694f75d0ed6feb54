#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class ValuePath;

/**
    Finds, in the raw bytes of an XML document, where the value of one
    attribute sits in every start tag, without building a tree and without
    touching any other byte.

    The document is checked by a conforming parser (expat): UTF-8, UTF-16,
    ISO-8859-1 and US-ASCII, with or without a byte-order mark. Blanks and
    line ends before the XML declaration, which XML does not allow but some
    programs write, are read past (offsets and error places still count
    them). External entities are never loaded. The parser is iterative, so a document's depth
    cannot exhaust the stack.
*/
class AttributeLocator
{
public:
    /** How the document's characters are stored, as far as writing a value
        back is concerned: one byte per ASCII character, or UTF-16 units. */
    enum class Units
    {
        bytes,
        utf16LittleEndian,
        utf16BigEndian
    };

    /** One attribute value found in a start tag. */
    struct Match
    {
        std::string_view value; // decoded: references expanded, white space normalised (UTF-8)
        size_t offset = 0;      // first byte of the value between its quotes
        size_t length = 0;      // bytes of the value as written in the file
        Units units = Units::bytes;
        bool plain = true; // false: an element's text holds markup (CDATA, a comment, a reference) and is kept
    };

    /** Called for every element in document order whose start tag holds an
        attribute of the name (letter case ignored; the first such attribute
        when there are several). May throw: the exception leaves locate(). */
    using MatchHandler = std::function<void (const Match&)>;

    /** Returns an empty text when the whole document parsed, otherwise the
        parser's reason with line and column ("not well-formed (invalid
        token) at line 3, column 5"). Matches found before an error have
        already been handed over. A set stop flag ends the parse early, with
        the text "stopped". */
    static std::string locate (std::string_view document, const std::string& attributeName,
                               const MatchHandler& onMatch, const std::atomic<bool>* stop = nullptr);

    /** locate() for the values a path selects: attributes named exactly,
        or the text of elements without child elements. An element's text
        is handed over whole at its end tag, from after its start tag to
        before its end tag; text that holds anything but characters (a
        CDATA section, a comment, a processing instruction, a reference)
        is handed over as not plain. The path's conditions on the value
        are checked before a match is handed over. */
    static std::string locate (std::string_view document, const ValuePath& path,
                               const MatchHandler& onMatch, const std::atomic<bool>* stop = nullptr);

    /** True when the two names are equal ignoring letter case (Unicode letters included). */
    static bool namesMatch (std::string_view name, const std::string& wanted);
};
