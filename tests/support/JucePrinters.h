#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

// Readable failure messages for the framework's string types.
namespace juce
{
    inline void PrintTo (const String& text, std::ostream* os)
    {
        *os << '"' << text.toStdString() << '"';
    }

    inline void PrintTo (const StringArray& texts, std::ostream* os)
    {
        *os << "{ ";
        for (const auto& text : texts)
            *os << '"' << text.toStdString() << "\" ";
        *os << "}";
    }
}
