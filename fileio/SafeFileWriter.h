#pragma once

#include <juce_core/juce_core.h>

/**
    Replaces a file's contents without ever leaving it half-written: the new
    bytes go to a hidden temporary file in the same folder, which then takes
    the original's place in one rename, with the original's permissions.
    On any failure the original is left exactly as it was.

    The new version is not forced to the disk file by file: the batch run
    syncs its backup before it changes anything, and a sync per file would
    cost more than the rest of the rewrite.
*/
class SafeFileWriter
{
public:
    /** Writes data as the new contents of target, which may or may not exist yet
        (a new file gets permissionsIfNew, less the user's creation mask).
        A target that exists but has no write permission is refused. */
    static juce::Result replaceContents (const juce::File& target, const void* data, size_t numBytes,
                                         unsigned permissionsIfNew = 0644);

    /** Ok when replaceContents would not refuse target outright: it is not a
        folder and not read-only. Writing may still fail later (a full disk). */
    static juce::Result checkWritable (const juce::File& target);
};
