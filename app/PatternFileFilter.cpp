#include "PatternFileFilter.h"

PatternFileFilter::PatternFileFilter()
    : juce::FileFilter ("Files a run takes")
{
}

bool PatternFileFilter::isFileSuitable (const juce::File& file) const
{
    return pattern.matches (file.getFileName());
}
