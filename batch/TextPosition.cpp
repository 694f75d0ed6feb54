#include "TextPosition.h"

TextPosition::TextPosition (std::string_view fileBytes, const XmlTextEncoding::Detected& encoding)
    : bytes (fileBytes), walked (encoding.byteOrderMarkLength)
{
    using Kind = XmlTextEncoding::Kind;
    unitWidth = encoding.kind == Kind::utf16LittleEndian || encoding.kind == Kind::utf16BigEndian ? 2 : 1;
    littleEndian = encoding.kind != Kind::utf16BigEndian;
    utf8 = encoding.kind == Kind::utf8 || encoding.kind == Kind::ascii;
}

unsigned TextPosition::unitAt (size_t offset) const
{
    const auto first = static_cast<unsigned char> (bytes[offset]);
    if (unitWidth == 1)
        return first;
    const auto second = static_cast<unsigned char> (bytes[offset + 1]);
    return littleEndian ? first | second << 8 : second | first << 8;
}

bool TextPosition::startsCharacter (unsigned unit) const
{
    if (unitWidth == 2)
        return unit < 0xdc00 || unit >= 0xe000; // the second half of a pair starts nothing
    return ! utf8 || (unit & 0xc0) != 0x80;     // nor does a UTF-8 continuation byte
}

TextPosition::Place TextPosition::at (size_t offset)
{
    for (; walked + unitWidth <= offset && walked + unitWidth <= bytes.size(); walked += unitWidth)
    {
        const auto unit = unitAt (walked);
        if (unit == '\r' || (unit == '\n' && previous != '\r'))
            place = { place.line + 1, 1 };
        else if (unit != '\n' && startsCharacter (unit))
            ++place.column;
        previous = unit;
    }
    return place;
}
