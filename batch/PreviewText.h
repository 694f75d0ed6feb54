#pragma once

#include "BatchPreview.h"

/**
    The preview as the window's log shows it, written as the files come, so
    that the log grows with the progress bar: each file's line, and under it
    the file's changed lines ("line 12: before -> after") while at most
    maxChangedLines have been shown in all. A file whose lines do not fit
    shows the first values its changes would write ("line 12: 99 -> 89.1")
    instead, so that the numbers show however many files there are. At the
    end: how many changed lines were not shown, the summary, and a warning
    when a formula would give whole numbers decimals.
*/
class PreviewText
{
public:
    explicit PreviewText (int maxChangedLines = 1000);

    /** The text of one file, in the run's order. */
    juce::String file (const BatchPreview::FilePreview& preview);

    /** The text after the last file. */
    juce::String end (const BatchPreview::Summary& summary) const;

    /** Whether a change writes decimals where there was a whole number ("99" -> "89.1", not "99" -> "90"). */
    static bool givesWholeNumberDecimals (const TextChange& change);

    /** How many of a file's values are shown once its changed lines do not fit. */
    static constexpr int valuesShownPerFile = 3;

private:
    size_t budget, shown = 0, notShown = 0;
    bool full = false; // a file's lines did not fit: no later file shows lines
};
