#include "XmlTextEncoding.h"

#include "DeclarationBlanks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{
    void appendUtf8 (std::string& out, uint32_t character)
    {
        if (character < 0x80)
            out += (char) character;
        else if (character < 0x800)
        {
            out += (char) (0xc0 | (character >> 6));
            out += (char) (0x80 | (character & 0x3f));
        }
        else if (character < 0x10000)
        {
            out += (char) (0xe0 | (character >> 12));
            out += (char) (0x80 | ((character >> 6) & 0x3f));
            out += (char) (0x80 | (character & 0x3f));
        }
        else
        {
            out += (char) (0xf0 | (character >> 18));
            out += (char) (0x80 | ((character >> 12) & 0x3f));
            out += (char) (0x80 | ((character >> 6) & 0x3f));
            out += (char) (0x80 | (character & 0x3f));
        }
    }

    /** UTF-16 text (after its byte-order mark) as UTF-8; what is not a
        character (a lone surrogate, an odd last byte) becomes U+FFFD. */
    std::string utf16AsUtf8 (std::string_view bytes, bool littleEndian)
    {
        constexpr uint32_t replacement = 0xfffd;
        const auto unitAt = [&] (size_t i) {
            const auto first = (uint32_t) (unsigned char) bytes[i], second = (uint32_t) (unsigned char) bytes[i + 1];
            return littleEndian ? first | (second << 8) : (first << 8) | second;
        };

        std::string out;
        out.reserve (bytes.size());
        size_t i = 0;
        for (; i + 1 < bytes.size(); i += 2)
        {
            const auto unit = unitAt (i);
            if (unit >= 0xd800 && unit < 0xdc00 && i + 3 < bytes.size())
            {
                const auto next = unitAt (i + 2);
                if (next >= 0xdc00 && next < 0xe000)
                {
                    appendUtf8 (out, 0x10000 + ((unit - 0xd800) << 10) + (next - 0xdc00));
                    i += 2;
                    continue;
                }
            }
            appendUtf8 (out, unit >= 0xd800 && unit < 0xe000 ? replacement : unit);
        }
        if (i < bytes.size())
            appendUtf8 (out, replacement);
        return out;
    }

    std::string latin1AsUtf8 (std::string_view bytes)
    {
        std::string out;
        out.reserve (bytes.size());
        for (const char c : bytes)
            appendUtf8 (out, (unsigned char) c);
        return out;
    }

    using Kind = XmlTextEncoding::Kind;

    bool startsWith (std::string_view bytes, std::string_view prefix)
    {
        return bytes.substr (0, prefix.size()) == prefix;
    }

    std::string upperAscii (std::string text)
    {
        for (auto& c : text)
            if (c >= 'a' && c <= 'z')
                c = (char) (c - 'a' + 'A');
        return text;
    }

    std::optional<Kind> kindForName (const std::string& declared)
    {
        const auto name = upperAscii (declared);
        if (name == "UTF-8" || name == "UTF8")
            return Kind::utf8;
        if (name == "ISO-8859-1" || name == "ISO_8859-1" || name == "LATIN1" || name == "LATIN-1" || name == "L1")
            return Kind::latin1;
        if (name == "US-ASCII" || name == "ASCII")
            return Kind::ascii;
        return std::nullopt;
    }

    XmlTextEncoding::Detected refused (const juce::String& problem)
    {
        XmlTextEncoding::Detected detected;
        detected.problem = problem;
        return detected;
    }

    void appendUtf16Unit (std::string& bytes, uint32_t unit, bool littleEndian)
    {
        const auto high = (char) (unit >> 8), low = (char) (unit & 0xff);
        bytes += littleEndian ? std::string { low, high } : std::string { high, low };
    }
}

XmlTextEncoding::Detected XmlTextEncoding::detect (std::string_view bytes)
{
    // UTF-32's marks first: the little-endian one starts like UTF-16's.
    if (startsWith (bytes, std::string_view ("\0\0\xfe\xff", 4)) || startsWith (bytes, std::string_view ("\xff\xfe\0\0", 4)))
        return refused ("UTF-32 text, which the tool does not handle");
    if (startsWith (bytes, "\xef\xbb\xbf"))
        return { Kind::utf8, 3, {} };
    if (startsWith (bytes, "\xff\xfe"))
        return { Kind::utf16LittleEndian, 2, {} };
    if (startsWith (bytes, "\xfe\xff"))
        return { Kind::utf16BigEndian, 2, {} };
    const auto blanks = DeclarationBlanks::find (bytes);
    const auto markup = bytes.substr (blanks.length);
    if (startsWith (markup, std::string_view ("<\0", 2)) || startsWith (markup, std::string_view ("\0<", 2)))
        return refused ("UTF-16 or UTF-32 text without a byte-order mark, which the tool does not handle");

    if (const auto declared = declaredEncoding (bytes))
    {
        if (const auto kind = kindForName (*declared))
            return { *kind, 0, {} };
        return refused ("declared in the encoding \"" + juce::String (*declared) + "\", which the tool cannot write");
    }

    return { isValidUtf8 (bytes) ? Kind::utf8 : Kind::latin1, 0, {} };
}

std::optional<std::string> XmlTextEncoding::declaredEncoding (std::string_view bytes)
{
    // A blank line before the declaration is tolerated, as when converting.
    const auto blanks = DeclarationBlanks::find (bytes);
    if (blanks.length > 0)
        bytes.remove_prefix (blanks.start + blanks.length);
    else if (startsWith (bytes, "\xef\xbb\xbf"))
        bytes.remove_prefix (3);
    if (! startsWith (bytes, "<?xml") || bytes.size() < 6 || std::strchr (" \t\r\n", bytes[5]) == nullptr)
        return std::nullopt;

    const auto declaration = bytes.substr (0, bytes.find ("?>"));
    const auto key = declaration.find ("encoding");
    if (key == std::string_view::npos)
        return std::nullopt;

    auto position = declaration.find_first_not_of (" \t\r\n", key + 8);
    if (position == std::string_view::npos || declaration[position] != '=')
        return std::nullopt;
    position = declaration.find_first_not_of (" \t\r\n", position + 1);
    if (position == std::string_view::npos || (declaration[position] != '"' && declaration[position] != '\''))
        return std::nullopt;

    const auto end = declaration.find (declaration[position], position + 1);
    if (end == std::string_view::npos)
        return std::nullopt;
    return std::string (declaration.substr (position + 1, end - position - 1));
}

std::optional<std::string> XmlTextEncoding::encode (const juce::String& text, Kind kind)
{
    if (kind == Kind::utf8)
        return text.toStdString();

    std::string bytes;
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = (uint32_t) *p;
        switch (kind)
        {
            case Kind::ascii:
            case Kind::latin1:
                if (c > (kind == Kind::ascii ? 0x7fu : 0xffu))
                    return std::nullopt;
                bytes.push_back ((char) (unsigned char) c);
                break;

            case Kind::utf16LittleEndian:
            case Kind::utf16BigEndian:
            {
                const bool little = kind == Kind::utf16LittleEndian;
                if (c >= 0x10000)
                {
                    appendUtf16Unit (bytes, 0xd800 + ((c - 0x10000) >> 10), little);
                    appendUtf16Unit (bytes, 0xdc00 + ((c - 0x10000) & 0x3ff), little);
                }
                else
                {
                    appendUtf16Unit (bytes, c, little);
                }
                break;
            }

            case Kind::utf8:
                break;
        }
    }
    return bytes;
}

bool XmlTextEncoding::isValidUtf8 (std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();

    while (i < n)
    {
        // Most text is ASCII: skip it eight bytes at a time.
        while (i + 8 <= n)
        {
            uint64_t block;
            std::memcpy (&block, bytes.data() + i, 8);
            if ((block & 0x8080808080808080ull) != 0)
                break;
            i += 8;
        }
        if (i >= n)
            break;

        const auto lead = (unsigned char) bytes[i];
        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        int length = 0;
        uint32_t minimum = 0, code = 0;
        if ((lead & 0xe0) == 0xc0)
        {
            length = 2;
            minimum = 0x80;
            code = lead & 0x1fu;
        }
        else if ((lead & 0xf0) == 0xe0)
        {
            length = 3;
            minimum = 0x800;
            code = lead & 0x0fu;
        }
        else if ((lead & 0xf8) == 0xf0)
        {
            length = 4;
            minimum = 0x10000;
            code = lead & 0x07u;
        }
        else
            return false;

        if (i + (size_t) length > n)
            return false;

        for (int k = 1; k < length; ++k)
        {
            const auto next = (unsigned char) bytes[i + (size_t) k];
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3fu);
        }

        if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;

        i += (size_t) length;
    }

    return true;
}

std::string XmlTextEncoding::asUtf8 (std::string_view bytes, const Detected& encoding)
{
    switch (encoding.kind)
    {
        case Kind::utf16LittleEndian:
        case Kind::utf16BigEndian:
            return utf16AsUtf8 (bytes.substr (std::min (encoding.byteOrderMarkLength, bytes.size())),
                                encoding.kind == Kind::utf16LittleEndian);
        case Kind::latin1:
            return latin1AsUtf8 (bytes);
        case Kind::utf8:
        case Kind::ascii:
            break;
    }
    return std::string (bytes);
}
