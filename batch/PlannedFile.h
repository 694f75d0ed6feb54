#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/**
    A listed file and what a run (or its preview) does with it: files whose
    real path lies outside the folder are left alone, and a file reached
    under two names is processed under the first one only.
*/
struct PlannedFile
{
    enum class Kind
    {
        process,
        outside,
        alias
    };

    juce::File file;
    Kind kind = Kind::process;
    juce::String detail; // where an outside link leads, or the name an alias was processed under

    /** A file deleted since the scan, or turned into a folder, is skipped
        without a word, unless the operation brings missing files back. */
    bool isSkipped (bool createsMissingFiles) const;

    /** The plan for the files, in their order, compared by real path. */
    static std::vector<PlannedFile> plan (const juce::File& folder, const juce::Array<juce::File>& files);
};
