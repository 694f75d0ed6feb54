#pragma once

#include <juce_core/juce_core.h>

/**
    Tells whether a folder's listing may have changed since it was last
    looked at: a folder's modification time changes when a file is added,
    removed or renamed in it, and with subfolders each of theirs counts too.
    Times are read to the nanosecond the file system keeps: whole seconds
    would miss files added within the second of a rescan.
*/
class FolderWatch
{
public:
    /** Remembers how folder looks now. */
    void remember (const juce::File& folder, bool withSubfolders) { last = signatureOf (folder, withSubfolders); }

    /** True when folder looks other than it did when last remembered; remembers it. */
    bool changed (const juce::File& folder, bool withSubfolders);

private:
    static juce::String signatureOf (const juce::File& folder, bool withSubfolders);

    juce::String last;
};
