#include "ConsoleReporter.h"

#include "ConsoleStreams.h"

#include <cstdio>

ConsoleReporter::ConsoleReporter()
    : showProgress (ConsoleStreams::isTerminal (ConsoleStreams::standardError)),
      logToTerminal (ConsoleStreams::isTerminal (ConsoleStreams::standardOutput))
{
}

void ConsoleReporter::logAppended (const juce::String& text)
{
    std::fputs (text.toRawUTF8(), stdout);
    if (! text.endsWithChar ('\n'))
        return;

    // On a terminal every line shows at once. Into a file or a pipe, the
    // lines go out a few times a second: a line a write would be a system
    // call for every file of a run, and whoever follows the log still sees
    // it grow. The rest goes out when the run ends.
    const auto now = juce::Time::getMillisecondCounter();
    if (logToTerminal || now - lastLogFlushTime >= logFlushInterval)
    {
        std::fflush (stdout);
        lastLogFlushTime = now;
    }
}

void ConsoleReporter::fileDone (int filesDone, int filesTotal)
{
    showProgressLine (juce::String (filesDone) + " of " + juce::String (filesTotal) + " files done", filesDone == filesTotal);
}

void ConsoleReporter::phaseProgress (Phase phase, int done, int total)
{
    switch (phase)
    {
        case Phase::listing:
            return showProgressLine ("listing the files...", true);
        case Phase::waitingForLock:
            return showProgressLine ("waiting for another run in this folder", true);
        case Phase::backup:
            return showProgressLine ("backup: " + juce::String (done) + " of " + juce::String (total) + " files stored", done == total);
    }
}

void ConsoleReporter::showProgressLine (const juce::String& text, bool always)
{
    if (! showProgress)
        return;

    // A few updates a second are plenty; the last one of a phase always shows.
    const auto now = juce::Time::getMillisecondCounter();
    if (! always && now - lastProgressTime < 100)
        return;

    lastProgressTime = now;
    // Cleared to the end of the line: a shorter text must not leave the end of a longer one.
    std::fprintf (stderr, "\r%s\033[K", text.toRawUTF8());
    std::fflush (stderr);
    progressShowing = true;
}

void ConsoleReporter::endProgress()
{
    std::fflush (stdout);
    if (progressShowing)
        std::fputs ("\n", stderr);
    progressShowing = false;
}

void ConsoleReporter::showAlert (Icon icon, const juce::String& title, const juce::String& message)
{
    // Only warnings are worth a line; the closing summary says the rest.
    if (icon != Icon::warning)
        return;

    endProgress();
    std::fprintf (stderr, "quillmere-batch: %s: %s\n", title.trimCharactersAtEnd (" !").toRawUTF8(),
                  message.replace ("\n", "\n    ").toRawUTF8());
}

void ConsoleReporter::fileFinished (const FileOutcome& outcome)
{
    if (onFileFinished)
        onFileFinished (outcome);
}
