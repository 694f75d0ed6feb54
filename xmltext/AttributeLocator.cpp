#include "AttributeLocator.h"

#include "ExpatDocument.h"
#include "ValuePath.h"

#include <expat.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cwctype>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace
{
    bool isAscii (std::string_view text)
    {
        for (const char c : text)
            if ((unsigned char) c >= 0x80)
                return false;
        return true;
    }

    char lowerAscii (char c)
    {
        return c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c;
    }

    /** The next character of UTF-8 text; the parser has checked the names it
        hands over, so a broken sequence only has to end the loop safely. */
    uint32_t nextCodePoint (std::string_view text, size_t& position)
    {
        const auto lead = (unsigned char) text[position++];
        const int length = lead < 0x80 ? 0 : lead < 0xe0 ? 1
                                       : lead < 0xf0     ? 2
                                                         : 3;
        uint32_t code = length == 0 ? lead : lead & (0x3fu >> length);
        for (int k = 0; k < length && position < text.size(); ++k)
            code = (code << 6) | ((unsigned char) text[position++] & 0x3fu);
        return code;
    }

    /** Letter case folded the way the C library's wide-character tables do
        under the current LC_CTYPE, as the window's own text comparisons do. */
    bool equalIgnoringCase (std::string_view a, std::string_view b)
    {
        size_t i = 0, j = 0;
        while (i < a.size() && j < b.size())
            if (std::towlower ((wint_t) nextCodePoint (a, i)) != std::towlower ((wint_t) nextCodePoint (b, j)))
                return false;
        return i == a.size() && j == b.size();
    }

    /** Reads a start tag's characters as code units: bytes for the 8-bit
        encodings, 16-bit units for UTF-16. Only the ASCII delimiters matter
        here, and no unit of a non-ASCII character equals one of them. */
    struct TagReader
    {
        const unsigned char* bytes;
        size_t position, end;
        AttributeLocator::Units units;

        size_t width() const { return units == AttributeLocator::Units::bytes ? 1 : 2; }
        bool atEnd() const { return position + width() > end; }

        unsigned current() const
        {
            switch (units)
            {
                case AttributeLocator::Units::utf16LittleEndian: return bytes[position] | (unsigned) (bytes[position + 1] << 8);
                case AttributeLocator::Units::utf16BigEndian: return (unsigned) (bytes[position] << 8) | bytes[position + 1];
                case AttributeLocator::Units::bytes: break;
            }
            return bytes[position];
        }

        void advance() { position += width(); }

        static bool isSpace (unsigned c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

        void skipSpace()
        {
            while (! atEnd() && isSpace (current()))
                advance();
        }

        void skipUntil (bool (*stop) (unsigned))
        {
            while (! atEnd() && ! stop (current()))
                advance();
        }
    };

    AttributeLocator::Units unitsOfTag (const unsigned char* tag, size_t length)
    {
        if (length >= 2 && tag[0] == '<' && tag[1] == 0)
            return AttributeLocator::Units::utf16LittleEndian;
        if (length >= 2 && tag[0] == 0 && tag[1] == '<')
            return AttributeLocator::Units::utf16BigEndian;
        return AttributeLocator::Units::bytes;
    }

    /** The bytes between the quotes of the start tag's attribute number
        wanted (counted from 0 in the order written). The parser has checked
        the tag, so the lexing only has to follow its shape: no comment,
        CDATA or processing instruction can occur inside it, and a value ends
        only at the quote that opened it. */
    std::optional<std::pair<size_t, size_t>> valueRange (const unsigned char* bytes, size_t tagStart, size_t tagLength,
                                                         int wanted, AttributeLocator::Units units)
    {
        TagReader tag { bytes, tagStart, tagStart + tagLength, units };
        tag.advance(); // the "<"
        tag.skipUntil ([] (unsigned c) { return TagReader::isSpace (c) || c == '/' || c == '>'; });

        for (int index = 0;; ++index)
        {
            tag.skipSpace();
            if (tag.atEnd() || tag.current() == '/' || tag.current() == '>')
                return std::nullopt;

            tag.skipUntil ([] (unsigned c) { return TagReader::isSpace (c) || c == '='; });
            tag.skipSpace();
            if (tag.atEnd() || tag.current() != '=')
                return std::nullopt;
            tag.advance();
            tag.skipSpace();
            if (tag.atEnd())
                return std::nullopt;

            const auto quote = tag.current();
            tag.advance();
            const auto valueStart = tag.position;
            while (! tag.atEnd() && tag.current() != quote)
                tag.advance();
            if (tag.atEnd())
                return std::nullopt;

            const auto valueEnd = tag.position;
            tag.advance();
            if (index == wanted)
                return std::make_pair (valueStart, valueEnd - valueStart);
        }
    }

    /** The wanted name, made ready to be compared with every attribute
        name of a document: lowered once when it is ASCII. */
    struct WantedName
    {
        const std::string& name;
        std::string lowered;
        bool ascii;

        explicit WantedName (const std::string& wanted)
            : name (wanted), ascii (isAscii (wanted))
        {
            for (const char c : wanted)
                lowered.push_back (lowerAscii (c));
        }

        /** namesMatch (candidate, name), without measuring the candidate
            first: most names differ within their first bytes. */
        bool matches (const char* candidate) const
        {
            if (! ascii)
                return AttributeLocator::namesMatch (candidate, name);

            // While both are ASCII, characters pair up byte for byte; a
            // character beyond ASCII may still lower to an ASCII one.
            for (size_t i = 0;; ++i)
            {
                const auto c = (unsigned char) candidate[i];
                if (c >= 0x80)
                    return AttributeLocator::namesMatch (candidate, name);
                if (i == lowered.size() || c == 0)
                    return i == lowered.size() && c == 0;
                if (lowerAscii ((char) c) != lowered[i])
                    return false;
            }
        }
    };

    struct LocatorState
    {
        XML_Parser parser = nullptr;
        const unsigned char* bytes = nullptr;
        size_t skipped = 0; // blanks before the declaration, which the parser does not see
        const WantedName* attributeName = nullptr;
        const AttributeLocator::MatchHandler* onMatch = nullptr;
        std::exception_ptr failure;

        // With a path: where the matching stands at each open element, and
        // the element whose text is being gathered, if any.
        const ValuePath* path = nullptr;
        std::vector<ValuePath::ElementState> open;
        bool gathering = false;
        size_t textStart = 0;
        AttributeLocator::Units textUnits = AttributeLocator::Units::bytes;
        std::string text;
    };

    /** Hands a match over; nothing may unwind through the parser's C
        frames, so an exception waits until the parser has returned. */
    void handOver (LocatorState& state, const AttributeLocator::Match& match)
    {
        try
        {
            (*state.onMatch) (match);
        }
        catch (...)
        {
            state.failure = std::current_exception();
            XML_StopParser (state.parser, XML_FALSE);
        }
    }

    /** Where the current event's bytes start in the document, or nothing
        for an event inside an entity's replacement text, which is not in
        the file's bytes. */
    std::optional<std::pair<size_t, size_t>> currentBytes (const LocatorState& state)
    {
        const auto parsedStart = XML_GetCurrentByteIndex (state.parser);
        const auto length = XML_GetCurrentByteCount (state.parser);
        if (parsedStart < 0 || length < 0)
            return std::nullopt;
        return std::make_pair ((size_t) parsedStart + state.skipped, (size_t) length);
    }

    int firstMatchingAttribute (const XML_Char** attributes, int specifiedEntries, const WantedName& name)
    {
        // Attributes filled in from a DTD's defaults come after the specified
        // ones and are not in the tag's bytes, so only those are looked at.
        for (int i = 0; i + 1 < specifiedEntries; i += 2)
            if (name.matches (attributes[i]))
                return i / 2;
        return -1;
    }

    void XMLCALL onStartElement (void* userData, const XML_Char*, const XML_Char** attributes)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        if (state.failure)
            return;

        const int index = firstMatchingAttribute (attributes, XML_GetSpecifiedAttributeCount (state.parser), *state.attributeName);
        if (index < 0)
            return;

        // Zero inside an entity's replacement text: such a tag is not in the
        // file's bytes, so there is nothing to rewrite there.
        const auto parsedStart = XML_GetCurrentByteIndex (state.parser);
        const auto tagLength = XML_GetCurrentByteCount (state.parser);
        if (parsedStart < 0 || tagLength <= 0)
            return;
        const auto tagStart = (size_t) parsedStart + state.skipped;

        const auto units = unitsOfTag (state.bytes + tagStart, (size_t) tagLength);
        const auto range = valueRange (state.bytes, tagStart, (size_t) tagLength, index, units);
        if (! range)
            return;

        handOver (state, { attributes[2 * index + 1], range->first, range->second, units });
    }

    void selectAttribute (LocatorState& state, const XML_Char** attributes, int specifiedEntries)
    {
        int index = -1;
        for (int i = 0; i + 1 < specifiedEntries; i += 2)
            if (state.path->attributeName() == attributes[i])
            {
                index = i / 2;
                break;
            }
        const auto tag = currentBytes (state);
        if (index < 0 || ! tag || tag->second == 0 || ! state.path->acceptsValue (attributes[2 * index + 1]))
            return;
        const auto units = unitsOfTag (state.bytes + tag->first, tag->second);
        if (const auto range = valueRange (state.bytes, tag->first, tag->second, index, units))
            handOver (state, { attributes[2 * index + 1], range->first, range->second, units });
    }

    void XMLCALL onStartElementOnPath (void* userData, const XML_Char* name, const XML_Char** attributes)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        if (state.failure)
            return state.open.push_back (state.open.back());

        // An element with a child element has no text of its own to convert.
        state.gathering = false;

        const int specified = XML_GetSpecifiedAttributeCount (state.parser);
        const auto element = state.path->enter (state.open.back(), name, { attributes, specified });
        state.open.push_back (element);
        if (! state.path->selects (element))
            return;

        if (state.path->target() == ValuePath::Target::attribute)
            return selectAttribute (state, attributes, specified);

        if (const auto tag = currentBytes (state); tag && tag->second > 0)
        {
            state.gathering = true;
            state.textStart = tag->first + tag->second;
            state.textUnits = unitsOfTag (state.bytes + tag->first, tag->second);
            state.text.clear();
        }
    }

    void XMLCALL onCharacters (void* userData, const XML_Char* characters, int length)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        if (state.gathering)
            state.text.append (characters, (size_t) length);
    }

    /** True when the element's text is written as plain characters only: no
        markup ('<') and no reference ('&') among its code units. */
    bool isPlainText (const unsigned char* bytes, size_t start, size_t end, AttributeLocator::Units units)
    {
        TagReader reader { bytes, start, end, units };
        for (; ! reader.atEnd(); reader.advance())
            if (reader.current() == '<' || reader.current() == '&')
                return false;
        return true;
    }

    void XMLCALL onEndElementOnPath (void* userData, const XML_Char*)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        if (state.open.size() > 1)
            state.open.pop_back();
        if (state.failure || ! state.gathering)
            return;
        state.gathering = false;

        const auto tag = currentBytes (state);
        if (! tag)
            return;
        // An empty-element tag ends where it starts: its text is empty.
        const bool emptyTag = tag->first < state.textStart;
        const auto end = emptyTag ? state.textStart : tag->first;
        const auto units = state.textUnits;
        const bool plain = isPlainText (state.bytes, state.textStart, end, units);
        if (plain && ! state.path->acceptsValue (state.text))
            return;
        handOver (state, { state.text, state.textStart, end - state.textStart, units, plain });
    }

    std::string parseWith (std::string_view document, LocatorState& state, const std::atomic<bool>* stop)
    {
        state.bytes = reinterpret_cast<const unsigned char*> (document.data());
        const auto error = ExpatDocument::parse (
            document, [&] (XML_Parser parser, size_t skipped) {
                state.parser = parser;
                state.skipped = skipped;
                XML_SetUserData (parser, &state);
                if (state.path == nullptr)
                    return XML_SetStartElementHandler (parser, onStartElement);
                XML_SetElementHandler (parser, onStartElementOnPath, onEndElementOnPath);
                if (state.path->target() == ValuePath::Target::text)
                    XML_SetCharacterDataHandler (parser, onCharacters);
            },
            stop);

        if (state.failure)
            std::rethrow_exception (state.failure);
        return error;
    }
}

bool AttributeLocator::namesMatch (std::string_view name, const std::string& wanted)
{
    if (isAscii (name) && isAscii (wanted))
    {
        if (name.size() != wanted.size())
            return false;
        for (size_t i = 0; i < name.size(); ++i)
            if (lowerAscii (name[i]) != lowerAscii (wanted[i]))
                return false;
        return true;
    }

    return equalIgnoringCase (name, wanted);
}

std::string AttributeLocator::locate (std::string_view document, const std::string& attributeName,
                                      const MatchHandler& onMatch, const std::atomic<bool>* stop)
{
    LocatorState state;
    const WantedName wanted (attributeName);
    state.attributeName = &wanted;
    state.onMatch = &onMatch;
    return parseWith (document, state, stop);
}

std::string AttributeLocator::locate (std::string_view document, const ValuePath& path,
                                      const MatchHandler& onMatch, const std::atomic<bool>* stop)
{
    LocatorState state;
    state.path = &path;
    state.open.push_back (path.rootState());
    state.onMatch = &onMatch;
    return parseWith (document, state, stop);
}
