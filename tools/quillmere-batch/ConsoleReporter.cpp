#include "ConsoleReporter.h"

#include <cstdio>
#include <unistd.h>

ConsoleReporter::ConsoleReporter()
    : showProgress (isatty (STDERR_FILENO) != 0)
{
}

void ConsoleReporter::logAppended (const juce::String& text)
{
    std::fputs (text.toRawUTF8(), stdout);
    if (text.endsWithChar ('\n'))
        std::fflush (stdout);
}

void ConsoleReporter::fileDone (int filesDone, int filesTotal)
{
    if (! showProgress)
        return;

    // A few updates a second are plenty; the last one always shows.
    const auto now = juce::Time::getMillisecondCounter();
    if (filesDone != filesTotal && now - lastProgressTime < 100)
        return;

    lastProgressTime = now;
    std::fprintf (stderr, "\r%d of %d files done", filesDone, filesTotal);
    std::fflush (stderr);
    progressShowing = true;
}

void ConsoleReporter::endProgress()
{
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
