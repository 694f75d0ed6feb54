#pragma once

#include <juce_core/juce_core.h>

/** The permission bits of a new file that holds copies of other files'
    contents (a backup, a log): it must never let anyone read what the
    originals kept from them. */
class FilePermissions
{
public:
    /** Read and write for the owner, and read for group or others only when
        every one of the files gives them that. */
    static unsigned strictestFor (const juce::Array<juce::File>& files);
};
