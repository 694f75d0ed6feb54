#include "ConsoleStreams.h"

#include "WindowsFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace
{
    std::atomic<void (*)()> interruptHandler { nullptr };

    BOOL WINAPI onConsoleEvent (DWORD event)
    {
        const auto handler = interruptHandler.load();
        if (handler == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT))
            return FALSE;
        handler();
        return TRUE;
    }
}

bool ConsoleStreams::isTerminal (int stream)
{
    return ::_isatty (stream) != 0;
}

int ConsoleStreams::setStandardOutputAside()
{
    std::fflush (stdout);
    const int aside = ::_dup (standardOutput);
    if (aside >= 0)
        ::_dup2 (standardError, standardOutput);
    return aside;
}

juce::Result ConsoleStreams::writeAll (int descriptor, const std::string& text)
{
    for (size_t done = 0; done < text.size();)
    {
        const auto n = ::_write (descriptor, text.data() + done, (unsigned) std::min<size_t> (text.size() - done, 1u << 30));
        if (n <= 0)
            return juce::Result::fail (juce::String (std::strerror (errno)));
        done += (size_t) n;
    }
    return juce::Result::ok();
}

void ConsoleStreams::onInterrupt (void (*handler)())
{
    interruptHandler = handler;
    SetConsoleCtrlHandler (onConsoleEvent, TRUE);
}

void ConsoleStreams::ignoreBrokenPipe()
{
    // Windows ends no program for writing to a closed pipe: the write fails.
}

void ConsoleStreams::passBytesUnchanged()
{
    // Text mode is the C library's default on Windows.
    ::_setmode (standardOutput, _O_BINARY);
    ::_setmode (standardError, _O_BINARY);
}
