#pragma once

#include <juce_core/juce_core.h>

#if JUCE_WINDOWS
#include <windows.h>
#else
#include <unistd.h>
#endif

/** A second name for an existing file: both name one file. */
inline bool makeHardLink (const juce::File& existing, const juce::File& newName)
{
#if JUCE_WINDOWS
    return CreateHardLinkW (newName.getFullPathName().toWideCharPointer(), existing.getFullPathName().toWideCharPointer(), nullptr) != 0;
#else
    return ::link (existing.getFullPathName().toRawUTF8(), newName.getFullPathName().toRawUTF8()) == 0;
#endif
}
