#include "ProcessFacts.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace
{
    std::atomic<int> cachedProcessId { 0 };

    void forgetProcessId()
    {
        cachedProcessId = 0;
    }

    /** "Umask:" in /proc/self/status (Linux 4.7 on): umask() itself would
        change the mask for a moment, under every other thread's feet. */
    std::optional<unsigned> readCreationMask()
    {
        std::ifstream status ("/proc/self/status");
        std::string line;
        while (std::getline (status, line))
            if (line.rfind ("Umask:", 0) == 0)
            {
                try
                {
                    return (unsigned) std::stoul (line.substr (6), nullptr, 8) & 0777u;
                }
                catch (...)
                {
                    return std::nullopt;
                }
            }
        return std::nullopt;
    }
}

int ProcessFacts::processId()
{
    static const bool forgottenInChild = [] { return ::pthread_atfork (nullptr, nullptr, forgetProcessId) == 0; }();
    if (const auto known = cachedProcessId.load(); known != 0 && forgottenInChild)
        return known;
    const auto id = (int) ::getpid();
    cachedProcessId = id;
    return id;
}

bool ProcessFacts::isRunning (int id)
{
    return ::kill ((pid_t) id, 0) == 0 || errno != ESRCH;
}

unsigned ProcessFacts::effectiveUser()
{
    static const auto user = (unsigned) ::geteuid();
    return user;
}

unsigned ProcessFacts::effectiveGroup()
{
    static const auto group = (unsigned) ::getegid();
    return group;
}

std::optional<unsigned> ProcessFacts::creationMask()
{
    return readCreationMask();
}

bool ProcessFacts::nameTimeZone()
{
    if (std::getenv ("TZ") == nullptr)
        ::setenv ("TZ", ":/etc/localtime", 0);
    return true;
}
