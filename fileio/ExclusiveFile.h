#pragma once

#include "FileDescriptor.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

#include <functional>

/**
    A new file that never replaces or follows anything: it is created under a
    unique hidden temporary name in its folder (exclusively, never through a
    link), written, synced, and only then takes its final name with a rename
    that refuses to replace an existing file. When the name was taken
    meanwhile, the next one is tried. Until it is published, destroying the
    object removes the temporary file, so an interrupted write never leaves a
    half-written file under a real name.

    The folder is opened once; the file is created and named relative to
    that descriptor, so the folder's name is not looked up again.

    Temporary names carry the process id, so a later run can tell the
    leftovers of a run that was killed from the files of one still running.
*/
class ExclusiveFile
{
public:
    ExclusiveFile() = default;
    ~ExclusiveFile();

    /** renameat() within one folder that fails with EEXIST instead of
        replacing a file that took the name meanwhile; 0 or -1 with errno. */
    static int renameWithoutReplacing (FileDescriptor::Native folder, const char* from, const char* to);

    /** Creates the temporary file in folder with the given permission bits. */
    juce::Result create (const juce::File& folder, unsigned permissions);

    /** The same in an open folder (the descriptor is duplicated); folder is its name. */
    juce::Result create (FileDescriptor::Native folderDescriptor, const juce::File& folder, unsigned permissions);

    /** Keeps only the permission bits in allowed: they may be narrowed, never widened. */
    juce::Result narrowPermissions (unsigned allowed);

    /** The group the new file belongs to (the user's, or the folder's). */
    unsigned getGroup() const;

    /** The open file, for writing; -1 before create(). */
    FileDescriptor::Native getDescriptor() const { return descriptor; }

    /** The new file's state as it is now (missing before create()). */
    FileState getState() const;

    /** Syncs and closes the file and gives it the first name of
        nameForAttempt (1, 2, 3 ...) that is free, never replacing a file.
        published receives the name it took. */
    juce::Result publish (const std::function<juce::File (int attempt)>& nameForAttempt, juce::File& published);

    /** "STEM.EXT" for 1, "STEM(2).EXT" for 2, and so on, in folder. */
    static juce::File numberedName (const juce::File& folder, const juce::String& stem, const juce::String& extension, int number);

    /** The first numbered name that nothing holds: a dangling link counts as taken. */
    static int firstFreeNumber (const juce::File& folder, const juce::String& stem, const juce::String& extension);

    /** publish() under the first free numbered name from firstFreeNumber() on. */
    juce::Result publishNumbered (const juce::File& folder, const juce::String& stem, const juce::String& extension,
                                  juce::File& published);

    /** A fresh temporary name in folder: ".quillmere-PID-N.tmp". */
    static juce::File temporaryName (const juce::File& folder);

    /** A fresh temporary file name: ".quillmere-PID-N.tmp". */
    static juce::String temporaryFileName();

    /** True for a temporary file of a process that no longer runs (or of a
        version that did not record its process). */
    static bool isLeftover (const juce::File& file);

private:
    FileDescriptor folderDescriptor;
    juce::File temporary;
    FileDescriptor::Native descriptor = FileDescriptor::none;
    bool published = false;

    JUCE_DECLARE_NON_COPYABLE (ExclusiveFile)
};
