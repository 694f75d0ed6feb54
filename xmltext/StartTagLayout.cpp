#include "StartTagLayout.h"

namespace
{
    using Units = AttributeLocator::Units;

    /** Reads a tag's characters as code units: bytes for the 8-bit
        encodings, 16-bit units for UTF-16. Only the ASCII delimiters matter
        here, and no unit of a non-ASCII character equals one of them. */
    struct UnitCursor
    {
        const unsigned char* bytes;
        size_t position, end;
        Units units;

        size_t width() const { return units == Units::bytes ? 1 : 2; }
        bool atEnd() const { return position + width() > end; }

        unsigned current() const
        {
            switch (units)
            {
                case Units::utf16LittleEndian: return bytes[position] | (unsigned) (bytes[position + 1] << 8);
                case Units::utf16BigEndian: return (unsigned) (bytes[position] << 8) | bytes[position + 1];
                case Units::bytes: break;
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

        template<class Stop>
        void skipUntil (Stop stop)
        {
            while (! atEnd() && ! stop (current()))
                advance();
        }
    };

    bool endsName (unsigned c)
    {
        return UnitCursor::isSpace (c) || c == '/' || c == '>' || c == '=';
    }

    bool readAttribute (UnitCursor& tag, StartTagLayout::Attribute& attribute)
    {
        attribute.nameStart = tag.position;
        tag.skipUntil (endsName);
        attribute.nameEnd = tag.position;
        tag.skipSpace();
        if (tag.atEnd() || tag.current() != '=')
            return false;
        tag.advance();
        tag.skipSpace();
        if (tag.atEnd())
            return false;
        attribute.quote = tag.current();
        tag.advance();
        attribute.valueStart = tag.position;
        tag.skipUntil ([&] (unsigned c) { return c == attribute.quote; });
        if (tag.atEnd())
            return false;
        attribute.valueEnd = tag.position;
        tag.advance();
        return true;
    }
}

AttributeLocator::Units StartTagLayout::unitsOf (const unsigned char* tag, size_t length)
{
    if (length >= 2 && tag[0] == '<' && tag[1] == 0)
        return Units::utf16LittleEndian;
    if (length >= 2 && tag[0] == 0 && tag[1] == '<')
        return Units::utf16BigEndian;
    return Units::bytes;
}

bool StartTagLayout::read (const unsigned char* bytes, size_t start, size_t length, StartTagLayout& layout)
{
    layout = {};
    layout.start = start;
    layout.end = start + length;
    layout.units = unitsOf (bytes + start, length);

    UnitCursor tag { bytes, start, start + length, layout.units };
    tag.advance(); // the "<"
    tag.skipUntil (endsName);
    layout.nameEnd = tag.position;

    for (;;)
    {
        const auto blankStart = tag.position;
        tag.skipSpace();
        if (tag.atEnd())
            return false;
        if (tag.current() == '/' || tag.current() == '>')
        {
            layout.closeStart = tag.position;
            layout.isEmptyElement = tag.current() == '/';
            return true;
        }
        StartTagLayout::Attribute attribute;
        attribute.blankStart = blankStart;
        if (! readAttribute (tag, attribute))
            return false;
        layout.attributes.push_back (attribute);
    }
}
