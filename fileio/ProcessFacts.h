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
    static unsigned effectiveUser();
    static unsigned effectiveGroup();

    /** The creation mask as the kernel reports it, or nothing where it
        cannot be read without changing it (then a chmod is always made). */
    static std::optional<unsigned> creationMask();
};
