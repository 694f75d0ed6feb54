#include "ProcessFacts.h"

#include "WindowsFiles.h"

int ProcessFacts::processId()
{
    return (int) GetCurrentProcessId();
}

bool ProcessFacts::isRunning (int id)
{
    const FileDescriptor process (OpenProcess (SYNCHRONIZE, FALSE, (DWORD) id));
    if (! process.isOpen())
        return GetLastError() == ERROR_ACCESS_DENIED; // there, but another user's
    return WaitForSingleObject (process.get(), 0) == WAIT_TIMEOUT;
}

// Windows has no numeric owners and groups for a file: a new version keeps
// the old one's security descriptor instead, so every file counts as the
// user's own here.
unsigned ProcessFacts::effectiveUser()
{
    return 0;
}

unsigned ProcessFacts::effectiveGroup()
{
    return 0;
}

std::optional<unsigned> ProcessFacts::creationMask()
{
    return std::nullopt;
}

bool ProcessFacts::nameTimeZone()
{
    // The C library reads the zone from the system once: nothing to name.
    return true;
}
