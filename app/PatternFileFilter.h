#pragma once

#include "FilePattern.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Shows in the folder browser the files a run would take, and every folder. */
class PatternFileFilter : public juce::FileFilter
{
public:
    PatternFileFilter();

    void setPattern (const juce::String& text) { pattern = FilePattern (text); }

    bool isFileSuitable (const juce::File& file) const override;
    bool isDirectorySuitable (const juce::File&) const override { return true; }

private:
    FilePattern pattern;
};
