#include "DeclarationBlanks.h"

namespace
{
    /** How a candidate encoding stores characters: its mark, and one or two
        bytes a code unit in either order. */
    struct Layout
    {
        std::string_view mark;
        size_t width;
        bool littleEndian;
    };

    unsigned unitAt (std::string_view bytes, size_t position, const Layout& layout)
    {
        const auto first = (unsigned char) bytes[position];
        if (layout.width == 1)
            return first;
        const auto second = (unsigned char) bytes[position + 1];
        return layout.littleEndian ? first | (second << 8u) : (first << 8u) | second;
    }

    bool isBlank (unsigned unit)
    {
        return unit == ' ' || unit == '\t' || unit == '\r' || unit == '\n';
    }

    /** The declaration's "<?xml" and the blank that must follow it. */
    bool declarationAt (std::string_view bytes, size_t position, const Layout& layout)
    {
        constexpr std::string_view opening = "<?xml";
        for (const char c : opening)
        {
            if (position + layout.width > bytes.size() || unitAt (bytes, position, layout) != (unsigned char) c)
                return false;
            position += layout.width;
        }
        return position + layout.width <= bytes.size() && isBlank (unitAt (bytes, position, layout));
    }

    DeclarationBlanks blanksIn (std::string_view bytes, const Layout& layout)
    {
        DeclarationBlanks blanks;
        if (bytes.substr (0, layout.mark.size()) != layout.mark)
            return blanks;

        size_t position = layout.mark.size();
        unsigned previous = 0;
        for (; position + layout.width <= bytes.size(); position += layout.width)
        {
            const auto unit = unitAt (bytes, position, layout);
            if (! isBlank (unit))
                break;
            const bool endsLine = unit == '\n' ? previous != '\r' : unit == '\r';
            blanks.lineEnds += endsLine ? 1 : 0;
            blanks.blanksAfterEnd = unit == '\n' || unit == '\r' ? 0 : blanks.blanksAfterEnd + 1;
            previous = unit;
        }

        if (position == layout.mark.size() || ! declarationAt (bytes, position, layout))
            return {};
        blanks.start = layout.mark.size();
        blanks.length = position - blanks.start;
        return blanks;
    }
}

DeclarationBlanks DeclarationBlanks::find (std::string_view bytes)
{
    // With a mark, only its encoding; without one, 8-bit text first, then
    // UTF-16 in either byte order, as a parser guesses from the first bytes.
    const Layout layouts[] = {
        { "\xef\xbb\xbf", 1, false },
        { "\xff\xfe", 2, true },
        { "\xfe\xff", 2, false },
        { "", 1, false },
        { "", 2, true },
        { "", 2, false },
    };
    for (const auto& layout : layouts)
        if (const auto blanks = blanksIn (bytes, layout); blanks.length > 0)
            return blanks;
    return {};
}
