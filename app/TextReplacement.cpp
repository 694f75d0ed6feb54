#include "TextReplacement.h"

#include <optional>

namespace
{
    enum class ByteOrder { littleEndian, bigEndian };

    template <typename Char>
    std::basic_string<Char> replaceAll (std::basic_string_view<Char> text,
                                        std::basic_string_view<Char> what,
                                        std::basic_string_view<Char> with)
    {
        std::basic_string<Char> result;
        result.reserve (text.size());

        size_t position = 0;
        for (auto found = text.find (what); found != std::basic_string_view<Char>::npos; found = text.find (what, position))
        {
            result.append (text.substr (position, found - position));
            result.append (with);
            position = found + what.size();
        }

        result.append (text.substr (position));
        return result;
    }

    template <typename Char>
    std::basic_string<Char> expandBareLineFeeds (std::basic_string_view<Char> text)
    {
        std::basic_string<Char> result;
        result.reserve (text.size() + text.size() / 32);

        Char previous = 0;
        for (const Char c : text)
        {
            if (c == Char ('\n') && previous != Char ('\r'))
                result.push_back (Char ('\r'));
            result.push_back (c);
            previous = c;
        }

        return result;
    }

    std::optional<ByteOrder> utf16ByteOrder (const juce::MemoryBlock& bytes)
    {
        if (bytes.getSize() < 2)
            return std::nullopt;
        if (bytes[0] == (char) 0xff && bytes[1] == (char) 0xfe)
            return ByteOrder::littleEndian;
        if (bytes[0] == (char) 0xfe && bytes[1] == (char) 0xff)
            return ByteOrder::bigEndian;
        return std::nullopt;
    }

    std::u16string toUtf16 (const juce::String& text)
    {
        std::u16string units;
        for (auto p = text.toUTF16(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;
            if (c >= 0x10000)
            {
                units.push_back ((char16_t) (0xd800 + ((c - 0x10000) >> 10)));
                units.push_back ((char16_t) (0xdc00 + ((c - 0x10000) & 0x3ff)));
            }
            else
            {
                units.push_back ((char16_t) c);
            }
        }
        return units;
    }

    std::optional<std::string> toLatin1 (const juce::String& text)
    {
        std::string bytes;
        for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;
            if (c > 0xff)
                return std::nullopt;
            bytes.push_back ((char) (unsigned char) c);
        }
        return bytes;
    }

    juce::Result replaceUtf16 (const juce::MemoryBlock& original, ByteOrder order,
                               const juce::String& what, const juce::String& with,
                               juce::MemoryBlock& rewritten)
    {
        const auto* bytes = static_cast<const unsigned char*> (original.getData());
        const size_t size = original.getSize();
        const auto unitAt = [&] (size_t i) -> char16_t
        {
            return order == ByteOrder::littleEndian ? (char16_t) (bytes[i] | (bytes[i + 1] << 8))
                                                    : (char16_t) ((bytes[i] << 8) | bytes[i + 1]);
        };

        std::u16string text;
        text.reserve (size / 2);
        for (size_t i = 2; i + 1 < size; i += 2)
            text.push_back (unitAt (i));

        const auto whatUnits = toUtf16 (what);
        const auto withUnits = toUtf16 (with);
        const auto result = TextReplacement::withCrLf (replaceAll<char16_t> (text, whatUnits, withUnits));

        rewritten.setSize (2 + result.size() * 2 + (size % 2));
        auto* out = static_cast<unsigned char*> (rewritten.getData());
        out[0] = bytes[0];
        out[1] = bytes[1];
        size_t o = 2;
        for (const char16_t unit : result)
        {
            const auto high = (unsigned char) (unit >> 8), low = (unsigned char) (unit & 0xff);
            out[o++] = order == ByteOrder::littleEndian ? low : high;
            out[o++] = order == ByteOrder::littleEndian ? high : low;
        }
        if (size % 2 != 0)
            out[o] = bytes[size - 1]; // a stray last byte is kept, not dropped

        return juce::Result::ok();
    }

    juce::Result replaceBytes (const juce::MemoryBlock& original,
                               const juce::String& what, const juce::String& with,
                               juce::MemoryBlock& rewritten)
    {
        const std::string_view text (static_cast<const char*> (original.getData()), original.getSize());

        std::string whatBytes, withBytes;
        if (TextReplacement::isValidUtf8 (text))
        {
            whatBytes = what.toStdString();
            withBytes = with.toStdString();
        }
        else
        {
            auto latinWhat = toLatin1 (what), latinWith = toLatin1 (with);
            if (! latinWhat || ! latinWith)
                return juce::Result::fail ("the file is 8-bit text that cannot hold the characters of the "
                                           + juce::String (latinWhat ? "replacement" : "search") + " text");
            whatBytes = std::move (*latinWhat);
            withBytes = std::move (*latinWith);
        }

        const auto result = TextReplacement::withCrLf (replaceAll<char> (text, whatBytes, withBytes));
        rewritten.replaceAll (result.data(), result.size());
        return juce::Result::ok();
    }
}

juce::Result TextReplacement::apply (const juce::MemoryBlock& original,
                                     const juce::String& what, const juce::String& with,
                                     juce::MemoryBlock& rewritten)
{
    jassert (what.isNotEmpty());
    rewritten.reset();

    if (const auto order = utf16ByteOrder (original))
        return replaceUtf16 (original, *order, what, with, rewritten);

    return replaceBytes (original, what, with, rewritten);
}

std::string TextReplacement::withCrLf (std::string_view text)
{
    return expandBareLineFeeds<char> (text);
}

std::u16string TextReplacement::withCrLf (std::u16string_view text)
{
    return expandBareLineFeeds<char16_t> (text);
}

bool TextReplacement::isValidUtf8 (std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();

    while (i < n)
    {
        const auto lead = (unsigned char) bytes[i];
        if (lead < 0x80) { ++i; continue; }

        int length = 0;
        uint32_t minimum = 0, code = 0;
        if ((lead & 0xe0) == 0xc0)      { length = 2; minimum = 0x80;    code = lead & 0x1fu; }
        else if ((lead & 0xf0) == 0xe0) { length = 3; minimum = 0x800;   code = lead & 0x0fu; }
        else if ((lead & 0xf8) == 0xf0) { length = 4; minimum = 0x10000; code = lead & 0x07u; }
        else return false;

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
