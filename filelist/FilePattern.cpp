#include "FilePattern.h"

namespace
{
    // A backup, a log or a temporary file of an earlier run is not the user's data.
    const char* const ownFiles[] = { "QuillmereBackup*.zip", "QuillmereLog*.txt", ".quillmere-*.tmp" };

    bool matchesAny (const juce::StringArray& patterns, const juce::String& name)
    {
        for (const auto& pattern : patterns)
            if (name.matchesWildcard (pattern, true))
                return true;
        return false;
    }

    juce::StringArray split (const juce::String& text)
    {
        juce::StringArray parts;
        parts.addTokens (text, ";,", {});
        parts.trim();
        parts.removeEmptyStrings();
        return parts;
    }
}

FilePattern::FilePattern (const juce::String& text)
{
    for (const auto& part : split (text))
    {
        if (part.startsWithChar ('!'))
        {
            if (const auto excluded = part.substring (1).trim(); excluded.isNotEmpty())
                excludes.add (excluded);
        }
        else
            includes.add (part);
    }
}

bool FilePattern::matches (const juce::String& fileName) const
{
    for (const auto* own : ownFiles)
        if (fileName.matchesWildcard (own, true))
            return false;

    const bool included = includes.isEmpty() ? ! excludes.isEmpty() : matchesAny (includes, fileName);
    return included && ! matchesAny (excludes, fileName);
}

juce::String FilePattern::getText() const
{
    juce::StringArray parts (includes);
    for (const auto& excluded : excludes)
        parts.add ("!" + excluded);
    return parts.joinIntoString ("; ");
}

juce::String FilePattern::combine (const juce::StringArray& includeTexts, const juce::StringArray& excludeTexts)
{
    juce::StringArray parts;
    for (const auto& text : includeTexts)
        parts.addArray (split (text));
    if (parts.isEmpty())
        parts.add (defaultText);
    for (const auto& text : excludeTexts)
        for (const auto& part : split (text))
            parts.add (part.startsWithChar ('!') ? part : "!" + part);
    return parts.joinIntoString ("; ");
}
