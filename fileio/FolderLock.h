#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>

/**
    Serialises runs in one folder, across processes: an exclusive flock on
    the folder itself, so no lock file is left behind, and a run that is
    killed releases it with its process.
*/
class FolderLock
{
public:
    FolderLock() = default;
    ~FolderLock();

    /** Takes the lock, waiting for a run that holds it; onWait is called once
        before waiting. Fails when the folder cannot be opened, or when cancel
        is set while waiting. */
    juce::Result acquire (const juce::File& folder, const std::function<void()>& onWait,
                          const std::atomic<bool>* cancel);

private:
    int descriptor = -1;

    JUCE_DECLARE_NON_COPYABLE (FolderLock)
};
