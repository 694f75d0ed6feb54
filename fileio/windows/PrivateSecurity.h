#pragma once

#include <juce_core/juce_core.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

/**
    The security descriptor a new file that holds copies of others is made
    with (a backup, a log): "D:P(A;;FA;;;<the user>)(A;;FA;;;SY)". Full
    access for the user who runs the tool and for the system, no one else,
    and protected, so that nothing the folder would pass on is added.
*/
class PrivateSecurity
{
public:
    PrivateSecurity();
    ~PrivateSecurity();

    /** Null when the user could not be told. */
    PSECURITY_DESCRIPTOR get() const { return descriptor; }

private:
    PSECURITY_DESCRIPTOR descriptor = nullptr;

    JUCE_DECLARE_NON_COPYABLE (PrivateSecurity)
};
