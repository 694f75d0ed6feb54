#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>

/**
    A file name as the log, the description, the previews and the file list
    print it. A name made only of printable UTF-8 is shown as it is. Any
    other name (a newline, an escape character, a C1 control, bytes that are
    not UTF-8) is quoted C-style, as the diff headers quote names: between
    double quotes, with \", \\, \t, \n and \ooo for every other such byte.
    So a name can neither start a line of its own nor steer a terminal.
*/
struct DisplayName
{
    static std::string of (std::string_view bytes);
    static std::string of (const std::string& bytes) { return of (std::string_view (bytes)); }
    static juce::String of (const juce::String& name);
    static juce::String of (const juce::File& file);

    /** Whether of() would quote the name. */
    static bool needsQuoting (std::string_view bytes);
};
