#include "DisplayName.h"

#include <cstdio>
#include <cstring>

namespace
{
    /** The length of the valid UTF-8 sequence at text[at], or 0 when the
        bytes there are not one (overlong forms and surrogates included). */
    size_t validSequenceAt (std::string_view text, size_t at)
    {
        const auto byte = [&] (size_t i) { return (unsigned char) text[at + i]; };
        const auto lead = byte (0);
        if (lead < 0x80)
            return 1;

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

    bool isControl (std::string_view text, size_t at, size_t length)
    {
        const auto lead = (unsigned char) text[at];
        if (length == 1)
            return lead < 0x20 || lead == 0x7F;
        // U+0080 to U+009F, the C1 controls: some terminals act on them as on ESC.
        return length == 2 && lead == 0xC2 && (unsigned char) text[at + 1] < 0xA0;
    }

    void appendOctal (std::string& out, unsigned char byte)
    {
        char octal[8];
        std::snprintf (octal, sizeof octal, "\\%03o", byte);
        out += octal;
    }
}

bool DisplayName::needsQuoting (std::string_view bytes)
{
    for (size_t at = 0; at < bytes.size();)
    {
        const auto length = validSequenceAt (bytes, at);
        if (length == 0 || isControl (bytes, at, length))
            return true;
        at += length;
    }
    return false;
}

std::string DisplayName::of (std::string_view bytes)
{
    if (! needsQuoting (bytes))
        return std::string (bytes);

    std::string quoted = "\"";
    for (size_t at = 0; at < bytes.size();)
    {
        const auto length = validSequenceAt (bytes, at);
        const auto byte = (unsigned char) bytes[at];
        if (length == 0 || isControl (bytes, at, length))
        {
            const auto escaped = length == 0 ? 1 : length;
            for (size_t i = 0; i < escaped; ++i)
            {
                const auto each = (unsigned char) bytes[at + i];
                if (each == '\t')
                    quoted += "\\t";
                else if (each == '\n')
                    quoted += "\\n";
                else
                    appendOctal (quoted, each);
            }
            at += escaped;
            continue;
        }
        if (byte == '"' || byte == '\\')
            quoted += '\\';
        quoted.append (bytes.data() + at, length);
        at += length;
    }
    return quoted + "\"";
}

juce::String DisplayName::of (const juce::String& name)
{
    // The raw bytes: a name read from the disk may hold bytes that are not UTF-8.
    const auto* raw = name.toRawUTF8();
    const auto shown = of (std::string_view (raw, std::strlen (raw)));
    return juce::String::fromUTF8 (shown.data(), (int) shown.size());
}

juce::String DisplayName::of (const juce::File& file)
{
    return of (file.getFullPathName());
}
