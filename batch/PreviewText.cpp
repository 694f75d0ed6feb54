#include "PreviewText.h"

namespace
{
    /** A changed line for the log: trimmed, and cut around its first
        difference when it is too long to read in one line. */
    juce::String shownLine (const std::string& line, const std::string& other)
    {
        constexpr int longest = 160, before = 40;
        const auto text = juce::String::fromUTF8 (line.data(), (int) line.size());
        if (text.length() <= longest)
            return text.trim();

        size_t same = 0;
        while (same < line.size() && same < other.size() && line[same] == other[same])
            ++same;
        // Counted in characters, not bytes: a cut never splits one.
        const int differsAt = juce::String::fromUTF8 (line.data(), (int) same).length();
        const int start = std::max (0, differsAt - before);
        const int end = std::min (text.length(), start + longest);
        return (start > 0 ? "..." : "") + text.substring (start, end) + (end < text.length() ? "..." : "");
    }

    juce::String changedLineText (const UnifiedDiff::ChangedLine& line)
    {
        if (line.oldLine == 0)
            return "line " + juce::String (line.newLine) + ": (added) -> " + shownLine (line.after, line.before);
        const auto after = line.newLine == 0 ? juce::String ("(removed)") : shownLine (line.after, line.before);
        return "line " + juce::String (line.oldLine) + ": " + shownLine (line.before, line.after) + " -> " + after;
    }

    juce::String plural (size_t count, const char* one, const char* many)
    {
        return juce::String ((juce::int64) count) + " " + (count == 1 ? one : many);
    }

    /** "12", "-3", " +40 ": digits with at most one sign before them, blanks around. */
    bool isWholeNumber (const juce::String& text)
    {
        const auto trimmed = text.trim();
        const auto digits = trimmed.startsWithChar ('-') || trimmed.startsWithChar ('+') ? trimmed.substring (1) : trimmed;
        return digits.isNotEmpty() && digits.containsOnly ("0123456789");
    }

    bool isNumber (const juce::String& text)
    {
        const auto trimmed = text.trim();
        return trimmed.containsOnly ("+-0123456789.eE") && trimmed.containsAnyOf ("0123456789");
    }

    /** The first values a file's changes write, for a file whose changed lines are not shown. */
    void appendValues (juce::String& text, const std::vector<TextChange>& changes)
    {
        const auto shown = std::min (changes.size(), (size_t) PreviewText::valuesShownPerFile);
        for (size_t i = 0; i < shown; ++i)
            text << "    line " << changes[i].line << ": " << juce::String::fromUTF8 (changes[i].before.c_str()) << " -> "
                 << juce::String::fromUTF8 (changes[i].after.c_str()) << "\n";
        if (changes.size() > shown)
            text << "    ... and " << plural (changes.size() - shown, "more value", "more values") << "\n";
    }
}


bool PreviewText::givesWholeNumberDecimals (const TextChange& change)
{
    const auto before = juce::String::fromUTF8 (change.before.c_str()), after = juce::String::fromUTF8 (change.after.c_str());
    return isWholeNumber (before) && isNumber (after) && ! isWholeNumber (after);
}

PreviewText::PreviewText (int maxChangedLines)
    : budget ((size_t) std::max (0, maxChangedLines))
{
}

juce::String PreviewText::file (const BatchPreview::FilePreview& preview)
{
    juce::String text = BatchPreview::fileLine (preview) + (preview.decodedUtf16 ? " (UTF-16, shown as UTF-8)" : "") + "\n";
    const auto& lines = preview.changedLines;
    const bool fits = ! full && shown + lines.size() <= budget;
    if (! fits && ! preview.changeList.empty())
    {
        appendValues (text, preview.changeList);
        notShown += lines.size();
        full = true;
        return text;
    }

    for (const auto& line : lines)
    {
        if (full || shown == budget)
        {
            full = true;
            ++notShown;
            continue;
        }
        text << "    " << changedLineText (line) << "\n";
        ++shown;
    }
    return text;
}

juce::String PreviewText::end (const BatchPreview::Summary& summary) const
{
    juce::String text;
    if (notShown > 0)
        text << "    ... and " << plural (notShown, "more changed line", "more changed lines") << ", not shown\n";
    text << "\n"
         << BatchPreview::summaryLine (summary) << "\n";
    if (const int decimals = summary.wholeNumbersGivenDecimals; decimals > 0)
        text << (decimals == 1 ? juce::String ("1 value that was a whole number gets decimals")
                               : juce::String (decimals) + " values that were whole numbers get decimals")
             << ": choose the number format 'keep' or round in the formula\n";
    if (summary.cancelled)
        text << "Preview cancelled: the files after the last one above were not looked at.\n";
    return text;
}
