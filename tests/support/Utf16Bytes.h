#pragma once

#include <string>

/** The bytes of a UTF-16 file holding text, after its byte-order mark. */
inline std::string utf16 (const std::u16string& text, bool littleEndian)
{
    using namespace std::string_literals;
    std::string bytes = littleEndian ? "\xff\xfe"s : "\xfe\xff"s;
    for (const char16_t unit : text)
    {
        const char high = (char) (unit >> 8), low = (char) (unit & 0xff);
        bytes += littleEndian ? std::string { low, high } : std::string { high, low };
    }
    return bytes;
}
