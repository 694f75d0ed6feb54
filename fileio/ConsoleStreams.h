#pragma once

#include <juce_core/juce_core.h>

#include <string>

/**
    What a command-line program needs of its standard streams and of the
    interrupt keys, on every system: whether a stream is a terminal, moving
    standard output aside so that a report alone goes there, writing all of
    a text, and a handler for Ctrl-C (and, where the system has them, the
    request to terminate and the broken pipe, which a run must survive).
*/
struct ConsoleStreams
{
    static constexpr int standardOutput = 1, standardError = 2;

    static bool isTerminal (int stream);

    /** A new descriptor for what standard output was, which now goes to
        standard error instead; -1 when that cannot be done. */
    static int setStandardOutputAside();

    /** Writes all of text to the descriptor, or says why it could not. */
    static juce::Result writeAll (int descriptor, const std::string& text);

    /** Calls handler (from a signal or a console thread: it may only set an
        atomic flag) when the user presses Ctrl-C or the system asks the
        program to end. */
    static void onInterrupt (void (*handler)());

    /** A reader that goes away (| head) no longer ends the program, whose
        writes then fail instead. */
    static void ignoreBrokenPipe();

    /** Standard output and standard error carry the bytes written, as on
        POSIX systems: a diff or a report must reach a file or a pipe byte
        for byte, where the C library would turn each LF into CR LF (and a
        file's own CR LF into CR CR LF). Call before anything is written. */
    static void passBytesUnchanged();
};
