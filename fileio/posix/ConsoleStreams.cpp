#include "ConsoleStreams.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
    std::atomic<void (*)()> interruptHandler { nullptr };

    void onSignal (int)
    {
        if (const auto handler = interruptHandler.load())
            handler();
    }
}

bool ConsoleStreams::isTerminal (int stream)
{
    return ::isatty (stream) != 0;
}

int ConsoleStreams::setStandardOutputAside()
{
    std::fflush (stdout);
    const int aside = ::dup (STDOUT_FILENO);
    if (aside >= 0)
        ::dup2 (STDERR_FILENO, STDOUT_FILENO);
    return aside;
}

juce::Result ConsoleStreams::writeAll (int descriptor, const std::string& text)
{
    for (size_t done = 0; done < text.size();)
    {
        const auto n = ::write (descriptor, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return juce::Result::fail (juce::String (std::strerror (errno)));
        done += (size_t) n;
    }
    return juce::Result::ok();
}

void ConsoleStreams::onInterrupt (void (*handler)())
{
    static_assert (std::atomic<void (*)()>::is_always_lock_free, "read from a signal handler");
    interruptHandler = handler;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset (&action.sa_mask);
    sigaction (SIGINT, &action, nullptr);
    sigaction (SIGTERM, &action, nullptr);
}

void ConsoleStreams::ignoreBrokenPipe()
{
    std::signal (SIGPIPE, SIG_IGN);
}

void ConsoleStreams::passBytesUnchanged()
{
    // POSIX streams never translate line ends.
}
