#pragma once

#include "FileDescriptor.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <vector>

/**
    Serialises runs across processes, in one folder and in folders nested in
    each other: a run holds an exclusive flock on its folder and a shared one
    on every folder above it, up to the root. A run on a folder and a run on
    a folder below it therefore never go at once (the one below wants the
    shared lock the one above holds exclusively, or the other way round),
    while runs on folders side by side do. No lock file is left behind, and a
    run that is killed releases its locks with its process.

    The locks are taken from the root down, each waited for in turn. A run
    waits only for a folder deeper than any it holds, and it holds nothing
    exclusively while it waits, so two runs never wait for each other.

    The path is resolved first and then opened from the root folder by
    folder, following no link, so every run locks the same folders for the
    same place however it was named.
*/
class FolderLock
{
public:
    FolderLock() = default;
    ~FolderLock() = default;

    /** Takes the locks, waiting for runs that hold them; onWait is called
        once before the first wait. Fails when the folder cannot be opened,
        or when cancel is set while waiting. */
    juce::Result acquire (const juce::File& folder, const std::function<void()>& onWait,
                          const std::atomic<bool>* cancel);

private:
    juce::Result openChain (const juce::File& folder);
    juce::Result lock (const FileDescriptor& descriptor, int operation, const std::function<void()>& onWait,
                       bool& waited, const std::atomic<bool>* cancel);

    enum class Attempt
    {
        taken,
        busy, // another run holds it
        failed
    };
    static Attempt tryLock (const FileDescriptor& descriptor, int operation);

    struct Held
    {
        FileDescriptor folder; // closing it releases its lock
        int operation = 0;     // LOCK_SH or LOCK_EX
    };
    std::vector<Held> chain; // from the root down to the folder

    JUCE_DECLARE_NON_COPYABLE (FolderLock)
};
