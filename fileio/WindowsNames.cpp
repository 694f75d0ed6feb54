#include "WindowsNames.h"

#include <algorithm>
#include <cctype>

namespace
{
    std::string upper (std::string_view text)
    {
        std::string result (text);
        std::transform (result.begin(), result.end(), result.begin(), [] (char c) { return (char) std::toupper ((unsigned char) c); });
        return result;
    }

    bool isDeviceName (std::string_view name)
    {
        // The device is named by what comes before the first dot, blanks
        // before the dot ignored: "nul.xml" and "CON .txt" are devices.
        auto stem = upper (name.substr (0, name.find ('.')));
        while (! stem.empty() && stem.back() == ' ')
            stem.pop_back();
        for (const char* device : { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" })
            if (stem == device)
                return true;
        // COM1-COM9 and LPT1-LPT9, and the superscript digits Windows also takes.
        const bool numbered = stem.size() >= 4 && (stem.compare (0, 3, "COM") == 0 || stem.compare (0, 3, "LPT") == 0);
        if (! numbered)
            return false;
        const auto digit = stem.substr (3);
        return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xc2\xb9" || digit == "\xc2\xb2" || digit == "\xc2\xb3";
    }
}

std::string WindowsNames::refusalOf (std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return "it is not a file name";
    if (name.back() == '.' || name.back() == ' ')
        return "Windows drops a name's trailing dots and blanks";
    if (name.find (':') != std::string_view::npos)
        return "a ':' in a name names a stream of another file on Windows";
    for (const char c : name)
        if ((unsigned char) c < 0x20 || std::string_view ("<>\"|?*\\").find (c) != std::string_view::npos)
            return "Windows does not allow the character in a file name";
    if (isDeviceName (name))
        return "Windows keeps the name for a device";
    return {};
}

FileState::Kind WindowsNames::kindOf (uint32_t attributes, uint32_t reparseTag)
{
    if ((attributes & reparsePointAttribute) != 0 && (reparseTag & nameSurrogateBit) != 0)
        return FileState::Kind::link;
    if ((attributes & deviceAttribute) != 0)
        return FileState::Kind::other;
    return (attributes & directoryAttribute) != 0 ? FileState::Kind::folder : FileState::Kind::regular;
}

bool WindowsNames::lacksPosixRename (uint32_t status)
{
    return status == statusInvalidInfoClass || status == statusNotImplemented || status == statusNotSupported
        || status == statusInvalidParameter;
}

namespace
{
    /** The capital of the letters names hold most (Latin, Greek, Cyrillic),
        as NTFS's table has it, whatever the C library's locale says. */
    juce::juce_wchar capitalOf (juce::juce_wchar c)
    {
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
            || (c >= 0x430 && c <= 0x44F))
            return c - 0x20;
        if (c >= 0x450 && c <= 0x45F)
            return c - 0x50;
        if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) && (c & 1) != 0)
            return c - 1;
        return c;
    }

    juce::String capitals (std::string_view text)
    {
        const auto given = juce::String::fromUTF8 (text.data(), (int) text.size());
        juce::String result;
        for (auto p = given.getCharPointer(); ! p.isEmpty();)
            result += juce::String::charToString (capitalOf (p.getAndAdvance()));
        return result;
    }
}

bool WindowsNames::sameName (std::string_view a, std::string_view b)
{
    return keyOf (a) == keyOf (b);
}

std::string WindowsNames::keyOf (std::string_view name)
{
    return capitals (name).toStdString();
}
