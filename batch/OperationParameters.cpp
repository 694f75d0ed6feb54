#include "OperationParameters.h"

juce::File OperationParameters::file (const juce::String& key) const
{
    // A relative or empty path names no file: juce::File would assert on it.
    const auto path = text (key);
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}
