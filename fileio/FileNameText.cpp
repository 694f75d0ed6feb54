#include "FileNameText.h"

namespace
{
    // Byte b stands as U+DC00 + b: only 0x80 to 0xFF (and a zero) ever need it.
    constexpr juce::juce_wchar firstEscape = 0xDC00, lastEscape = 0xDCFF;

    void appendUtf8 (std::string& out, juce::juce_wchar c)
    {
        char encoded[8] = {};
        juce::CharPointer_UTF8 (encoded).write (c);
        out += encoded;
    }
}

size_t FileNameText::validSequenceAt (std::string_view text, size_t at)
{
    const auto byte = [&] (size_t i) { return (unsigned char) text[at + i]; };
    const auto lead = byte (0);
    if (lead < 0x80)
        return lead == 0 ? 0 : 1;

    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                       : lead >= 0xF0 && lead <= 0xF4     ? 4
                                                                                          : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte (i) & 0xC0) != 0x80)
            return 0;

    const auto second = byte (1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) // overlong, surrogate
        || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

bool FileNameText::isValidUtf8 (std::string_view bytes)
{
    for (size_t at = 0; at < bytes.size();)
    {
        const auto length = validSequenceAt (bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

juce::String FileNameText::fromBytes (std::string_view bytes)
{
    std::string text;
    text.reserve (bytes.size());
    for (size_t at = 0; at < bytes.size();)
    {
        if (const auto length = validSequenceAt (bytes, at); length > 0)
        {
            text.append (bytes.data() + at, length);
            at += length;
            continue;
        }
        // A zero byte cannot be in a name; it is escaped like the others so
        // that nothing is cut short.
        appendUtf8 (text, firstEscape + (unsigned char) bytes[at++]);
    }
    return juce::String (juce::CharPointer_UTF8 (text.c_str()));
}

std::string FileNameText::toBytes (const juce::String& text)
{
#if defined(_WIN32)
    // Windows names are UTF-16, never bytes: a lone surrogate in one is a
    // character of its own there and stays one, and no character may turn
    // into a '/' or a '.' of another name.
    return text.toStdString();
#else
    std::string bytes;
    bytes.reserve (text.getNumBytesAsUTF8());
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        if (c >= firstEscape && c <= lastEscape)
            bytes += (char) (c - firstEscape);
        else
            appendUtf8 (bytes, c);
    }
    return bytes;
#endif
}
