#include "TextReplacement.h"

#include <cstring>
#include <optional>

namespace
{
    enum class ByteOrder { littleEndian, bigEndian };

    /** Every occurrence of what replaced by with, left to right, never
        overlapping. Without any occurrence the text is handed back as it is. */
    template <typename Char>
    std::basic_string_view<Char> replaceAll (std::basic_string_view<Char> text,
                                             std::basic_string_view<Char> what,
                                             std::basic_string_view<Char> with,
                                             std::basic_string<Char>& storage)
    {
        auto found = text.find (what);
        if (found == std::basic_string_view<Char>::npos)
            return text;

        storage.clear();
        storage.reserve (text.size() + (with.size() > what.size() ? text.size() / 8 : 0));

        size_t position = 0;
        for (; found != std::basic_string_view<Char>::npos; found = text.find (what, position))
        {
            storage.append (text.substr (position, found - position));
            storage.append (with);
            position = found + what.size();
        }

        storage.append (text.substr (position));
        return storage;
    }

    /** The line-end rule: each line feed without a carriage return before it
        becomes CR LF. Copies whole runs between line feeds. */
    template <typename Char>
    std::basic_string<Char> expandBareLineFeeds (std::basic_string_view<Char> text)
    {
        std::basic_string<Char> result;
        result.reserve (text.size() + text.size() / 16);

        size_t runStart = 0;
        for (auto lineFeed = text.find (Char ('\n')); lineFeed != std::basic_string_view<Char>::npos;
             lineFeed = text.find (Char ('\n'), lineFeed + 1))
        {
            if (lineFeed > 0 && text[lineFeed - 1] == Char ('\r'))
                continue;

            result.append (text.substr (runStart, lineFeed - runStart));
            result.push_back (Char ('\r'));
            runStart = lineFeed;   // the line feed itself starts the next run
        }

        result.append (text.substr (runStart));
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
                               std::string& rewritten)
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
        std::u16string replaced;
        const auto result = TextReplacement::withCrLf (replaceAll<char16_t> (text, whatUnits, withUnits, replaced));

        rewritten.resize (2 + result.size() * 2 + (size % 2));
        auto* out = reinterpret_cast<unsigned char*> (rewritten.data());
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
                               std::string& rewritten)
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

        std::string replaced;
        const auto result = replaceAll<char> (text, whatBytes, withBytes, replaced);
        if (TextReplacement::hasBareLineFeed (result))
            rewritten = TextReplacement::withCrLf (result);
        else if (result.data() == replaced.data())
            rewritten = std::move (replaced);
        else
            rewritten.assign (result);
        return juce::Result::ok();
    }
}

juce::Result TextReplacement::apply (const juce::MemoryBlock& original,
                                     const juce::String& what, const juce::String& with,
                                     std::string& rewritten)
{
    jassert (what.isNotEmpty());
    rewritten.clear();

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

bool TextReplacement::hasBareLineFeed (std::string_view text)
{
    for (auto lineFeed = text.find ('\n'); lineFeed != std::string_view::npos; lineFeed = text.find ('\n', lineFeed + 1))
        if (lineFeed == 0 || text[lineFeed - 1] != '\r')
            return true;
    return false;
}

bool TextReplacement::isValidUtf8 (std::string_view bytes)
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
