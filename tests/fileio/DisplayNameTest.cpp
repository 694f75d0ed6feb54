#include "DisplayName.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
    /** Reads a C-style quoted name back into its bytes. */
    std::string unquoted (const std::string& shown)
    {
        if (shown.empty() || shown.front() != '"')
            return shown;
        std::string bytes;
        for (size_t i = 1; i + 1 < shown.size(); ++i)
        {
            if (shown[i] != '\\')
            {
                bytes += shown[i];
                continue;
            }
            const char next = shown[++i];
            if (next == 'n' || next == 't')
                bytes += next == 'n' ? '\n' : '\t';
            else if (next >= '0' && next <= '7')
            {
                bytes += (char) std::stoi (shown.substr (i, 3), nullptr, 8);
                i += 2;
            }
            else
                bytes += next;
        }
        return bytes;
    }

    bool hasControlBytes (const std::string& text)
    {
        for (const char c : text)
            if ((unsigned char) c < 0x20 || (unsigned char) c == 0x7f)
                return true;
        return false;
    }
}

// Any bytes at all: the shown name holds no control byte, is valid UTF-8,
// reads back to the same bytes, and is the name itself when it needs no quotes.
TEST (DisplayName, ShowsAnyBytesSafelyAndReadsBack)
{
    std::mt19937 random (7);
    const std::string alphabet = "ab/\\\" \n\t\x1b\x7f\xc3\xa9\xc2\x9b\xff\xe2\x82";
    for (int round = 0; round < 20000; ++round)
    {
        std::string name;
        const auto length = random() % 12;
        for (size_t i = 0; i < length; ++i)
            name += alphabet[random() % alphabet.size()];

        const auto shown = DisplayName::of (name);
        EXPECT_FALSE (hasControlBytes (shown)) << shown;
        EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (shown.data(), (int) shown.size())) << shown;
        EXPECT_EQ (DisplayName::needsQuoting (name) ? unquoted (shown) : shown, name) << shown;
        EXPECT_EQ (shown == name, ! DisplayName::needsQuoting (name)) << shown;
    }
    EXPECT_EQ (DisplayName::of (std::string ("/home/ann/My \"Presets\"/café.xml")), "/home/ann/My \"Presets\"/café.xml");
}
