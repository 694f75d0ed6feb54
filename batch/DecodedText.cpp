#include "DecodedText.h"

namespace
{
    size_t utf8LengthOf (unsigned char lead)
    {
        return lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3
                            : lead >= 0xc0     ? 2
                                               : 1;
    }
}

DecodedText::DecodedText (std::string_view fileBytes, const XmlTextEncoding::Detected& encoding)
    : bytes (fileBytes)
{
    using Kind = XmlTextEncoding::Kind;
    origin = walkedFile = encoding.byteOrderMarkLength;
    fileSize = bytes.size();

    if (encoding.kind == Kind::utf16LittleEndian || encoding.kind == Kind::utf16BigEndian)
    {
        bytesPerUnit = 2;
        decodeUtf16 (encoding.kind == Kind::utf16LittleEndian);
    }
    else if (encoding.kind == Kind::latin1)
    {
        bytesPerUnit = 1;
        decoded.reserve (bytes.size() + bytes.size() / 8);
        for (size_t at = origin; at < bytes.size(); ++at)
            appendCharacter (static_cast<unsigned char> (bytes[at]));
    }
    // UTF-8 and US-ASCII are matched as they are, in place; bytes that are not UTF-8 never match a pattern.
}

size_t DecodedText::fileOffsetOf (size_t textOffset)
{
    if (bytesPerUnit == 0)
        return origin + textOffset;
    if (textOffset < walkedText)
        walkedText = 0, walkedFile = origin;
    while (walkedText < textOffset)
    {
        const auto length = utf8LengthOf (static_cast<unsigned char> (decoded[walkedText]));
        // Beyond U+FFFF, UTF-16 takes a surrogate pair, as UTF-8 takes four bytes.
        walkedFile += bytesPerUnit == 1 ? 1 : length == 4 ? 4
                                                          : 2;
        walkedText += length;
    }
    // An odd last byte of UTF-16 reads as one character of its own.
    return std::min (walkedFile, fileSize);
}

void DecodedText::appendCharacter (juce::juce_wchar character)
{
    char encoded[8];
    juce::CharPointer_UTF8 writer (encoded);
    writer.write (character);
    decoded.append (encoded, static_cast<size_t> (writer.getAddress() - encoded));
}

void DecodedText::decodeUtf16 (bool littleEndian)
{
    decoded.reserve (bytes.size() / 2 + bytes.size() / 8);
    const auto unitAt = [&] (size_t at) {
        const auto first = static_cast<unsigned char> (bytes[at]), second = static_cast<unsigned char> (bytes[at + 1]);
        return static_cast<uint32_t> (littleEndian ? first | second << 8 : second | first << 8);
    };

    size_t at = origin;
    for (; at + 1 < bytes.size(); at += 2)
    {
        auto unit = unitAt (at);
        if (unit >= 0xd800 && unit < 0xdc00 && at + 3 < bytes.size())
        {
            const auto low = unitAt (at + 2);
            if (low >= 0xdc00 && low < 0xe000)
            {
                unit = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
                at += 2;
            }
        }
        // A lone surrogate is no character: it reads as U+FFFD and stays in the file unless matched.
        if (unit >= 0xd800 && unit < 0xe000)
            unit = 0xfffd;
        appendCharacter (static_cast<juce::juce_wchar> (unit));
    }
    if (at < bytes.size())
        appendCharacter (0xfffd);
}

std::optional<std::string> DecodedText::encodeForFile (const std::string& utf8, XmlTextEncoding::Kind kind)
{
    using Kind = XmlTextEncoding::Kind;
    if (kind == Kind::utf8)
        return utf8;
    if (kind == Kind::ascii)
    {
        for (const auto byte : utf8)
            if (static_cast<unsigned char> (byte) >= 0x80)
                return std::nullopt;
        return utf8;
    }
    return XmlTextEncoding::encode (juce::String::fromUTF8 (utf8.data(), static_cast<int> (utf8.size())), kind);
}

size_t DecodedText::characterLengthAt (std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char> (text[at]);
    // A CR LF pair is one line end: an empty match never falls between its two characters.
    if (lead == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
        return 2;
    return std::min (utf8LengthOf (lead), text.size() - at);
}
