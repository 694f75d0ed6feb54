#pragma once

#include <optional>

/**
    What this process is, as every new file it makes needs to know: its id
    (in temporary names), its effective user and group (whether a new
    version must be given the old one's owner) and its file creation mask
    (whether a file created with a mode still needs a chmod). The id, user
    and group are asked of the system once rather than once a file (the id
    again in a forked child); the mask, which a program may change, each
    time it is wanted.
*/
class ProcessFacts
{
public:
    static int processId();

    /** Whether a process of this id runs (a leftover file of one that does
        not may go). */
    static bool isRunning (int id);
    static unsigned effectiveUser();
    static unsigned effectiveGroup();

    /** The creation mask as the kernel reports it, or nothing where it
        cannot be read without changing it (then a chmod is always made). */
    static std::optional<unsigned> creationMask();

    /** Names the local time zone the C library would take anyway
        (/etc/localtime) where TZ is unset: without it the library looks at
        that file again for every local time it makes, twice for each entry
        of an archive read. Call before any thread starts, as it sets the
        environment. Returns true, for use in a static initialiser. */
    static bool nameTimeZone();
};
