#pragma once

#include <juce_core/juce_core.h>

#include <string>

/**
    Reads a whole file that must be a regular file. The file is opened
    without blocking and checked after opening, so a FIFO or device that took
    a listed file's place is refused instead of hanging the run.
*/
class RegularFileReader
{
public:
    static juce::Result read (const juce::File& file, std::string& bytes);
};
