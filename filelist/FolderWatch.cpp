#include "FolderWatch.h"

#include "FileState.h"

namespace
{
    juce::String modificationStamp (const juce::File& folder)
    {
        const auto state = FileState::of (folder, true);
        if (! state.exists())
            return "-";
        return juce::String (state.modifiedSeconds) + "." + juce::String (state.modifiedNanoseconds);
    }
}

juce::String FolderWatch::signatureOf (const juce::File& folder, bool withSubfolders)
{
    juce::String signature = folder.getFullPathName() + ":" + modificationStamp (folder);
    if (withSubfolders)
        for (const auto& sub : folder.findChildFiles (juce::File::findDirectories, true, "*", juce::File::FollowSymlinks::no))
            signature << ";" << modificationStamp (sub);
    return signature;
}

bool FolderWatch::changed (const juce::File& folder, bool withSubfolders)
{
    auto signature = signatureOf (folder, withSubfolders);
    if (signature == last)
        return false;
    last = std::move (signature);
    return true;
}
