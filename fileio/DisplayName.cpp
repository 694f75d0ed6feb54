#include "DisplayName.h"

#include "FileNameText.h"

#include <cstdio>
#include <cstring>

namespace
{
    size_t validSequenceAt (std::string_view text, size_t at)
    {
        // A zero byte is a control character here, escaped like the others.
        return text[at] == '\0' ? 1 : FileNameText::validSequenceAt (text, at);
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
    // The name's own bytes: one read from the disk may hold bytes that are not UTF-8.
    const auto shown = of (FileNameText::toBytes (name));
    return juce::String::fromUTF8 (shown.data(), (int) shown.size());
}

juce::String DisplayName::of (const juce::File& file)
{
    return of (file.getFullPathName());
}
