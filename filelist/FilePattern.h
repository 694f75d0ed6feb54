#pragma once

#include <juce_core/juce_core.h>

/**
    Which files of a folder a run takes, by name: wildcard patterns separated
    by ';' (or ','), letter case ignored; a pattern starting with '!' excludes. A name
    is taken when it matches one of the other patterns (or there are none but
    exclusions) and none of the exclusions. Patterns match file names only,
    in every folder listed, never a subfolder's name.

    The tool's own files (its backups, logs and temporary files) are never
    taken, whatever the patterns say.
*/
class FilePattern
{
public:
    static constexpr const char* defaultText = "*.xml";

    explicit FilePattern (const juce::String& text = defaultText);

    bool matches (const juce::String& fileName) const;

    /** The patterns as given, blanks around each one removed: "*.xml; !a*.xml". */
    juce::String getText() const;

    bool isDefault() const { return getText() == defaultText; }

    /** A pattern text of includes and excludes, as the command line collects
        them: no includes means the default. */
    static juce::String combine (const juce::StringArray& includes, const juce::StringArray& excludes);

private:
    juce::StringArray includes, excludes;
};
