#include "UnifiedDiff.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{
    using Lines = std::vector<std::string_view>;

    /** Each line with its line feed, if it has one: only the last may not. */
    Lines splitLines (std::string_view text)
    {
        Lines lines;
        size_t start = 0;
        while (start < text.size())
        {
            const auto end = text.find ('\n', start);
            const auto length = end == std::string_view::npos ? text.size() - start : end + 1 - start;
            lines.push_back (text.substr (start, length));
            start += length;
        }
        return lines;
    }

    /** Old lines [oldStart, oldEnd) give way to new lines [newStart, newEnd);
        the lines between two changes are the same on both sides. */
    struct Change
    {
        size_t oldStart, oldEnd, newStart, newEnd;
    };

    /** Myers' shortest edit script between two line lists, or the fallback
        pairing by position when it would take more than the budget. */
    class LineMatcher
    {
    public:
        LineMatcher (const Lines& oldLinesToMatch, const Lines& newLinesToMatch)
            : oldLines (oldLinesToMatch), newLines (newLinesToMatch)
        {
            oldHashes = hashes (oldLines);
            newHashes = hashes (newLines);
        }

        std::vector<Change> changes()
        {
            // The common head and tail cost nothing to match and usually are most of the file.
            size_t head = 0;
            while (head < oldLines.size() && head < newLines.size() && same (head, head))
                ++head;
            size_t tail = 0;
            while (tail < oldLines.size() - head && tail < newLines.size() - head
                   && same (oldLines.size() - 1 - tail, newLines.size() - 1 - tail))
                ++tail;

            const Range range { head, oldLines.size() - tail, head, newLines.size() - tail };
            std::vector<Change> result;
            if (range.oldEnd > range.oldStart || range.newEnd > range.newStart)
                if (! shortestScript (range, result))
                    pairByPosition (range, result);
            return result;
        }

    private:
        using Range = Change;

        static std::vector<size_t> hashes (const Lines& lines)
        {
            std::vector<size_t> result;
            result.reserve (lines.size());
            for (const auto line : lines)
                result.push_back (std::hash<std::string_view>() (line));
            return result;
        }

        bool same (size_t oldIndex, size_t newIndex) const
        {
            return oldHashes[oldIndex] == newHashes[newIndex] && oldLines[oldIndex] == newLines[newIndex];
        }

        /** Myers' greedy forward search, keeping each round's furthest points for the way back. */
        bool shortestScript (const Range& range, std::vector<Change>& result) const
        {
            const auto n = (long) (range.oldEnd - range.oldStart);
            const auto m = (long) (range.newEnd - range.newStart);
            // Time grows with (n + m) * rounds and the kept points with rounds squared.
            const long maxRounds = std::min<long> (n + m, std::max<long> (8, std::min<long> (1000, 20000000 / (n + m))));

            const long offset = maxRounds + 1;
            std::vector<long> furthest ((size_t) (2 * offset + 1), 0);
            std::vector<std::vector<long>> kept;

            for (long round = 0; round <= maxRounds; ++round)
            {
                kept.emplace_back (furthest.begin() + (offset - round), furthest.begin() + (offset + round + 1));
                for (long k = -round; k <= round; k += 2)
                {
                    long x = (k == -round || (k != round && furthest[(size_t) (offset + k - 1)] < furthest[(size_t) (offset + k + 1)]))
                               ? furthest[(size_t) (offset + k + 1)]
                               : furthest[(size_t) (offset + k - 1)] + 1;
                    long y = x - k;
                    while (x < n && y < m && same (range.oldStart + (size_t) x, range.newStart + (size_t) y))
                        ++x, ++y;
                    furthest[(size_t) (offset + k)] = x;

                    if (x >= n && y >= m)
                    {
                        traceBack (range, kept, round, result);
                        return true;
                    }
                }
            }
            return false;
        }

        /** Walks from the end back to the start, collecting the changes between the diagonals. */
        static void traceBack (const Range& range, const std::vector<std::vector<long>>& kept, long rounds, std::vector<Change>& result)
        {
            std::vector<Change> backwards;
            long x = (long) (range.oldEnd - range.oldStart);
            long y = (long) (range.newEnd - range.newStart);

            const auto addStep = [&] (long oldAt, long newAt, bool deletes) {
                const auto oldStart = range.oldStart + (size_t) oldAt;
                const auto newStart = range.newStart + (size_t) newAt;
                const Change step { oldStart, oldStart + (deletes ? 1u : 0u), newStart, newStart + (deletes ? 0u : 1u) };
                // Steps come last to first; one that ends where the previous one starts joins it.
                if (! backwards.empty() && backwards.back().oldStart == step.oldEnd && backwards.back().newStart == step.newEnd)
                {
                    backwards.back().oldStart = step.oldStart;
                    backwards.back().newStart = step.newStart;
                }
                else
                    backwards.push_back (step);
            };

            for (long round = rounds; round > 0; --round)
            {
                // kept[round] holds the points of the round before, for k in [-(round - 1), round - 1].
                const auto& before = kept[(size_t) round];
                const auto at = [&] (long k) { return before[(size_t) (k + round)]; };
                const long k = x - y;
                const bool down = k == -round || (k != round && at (k - 1) < at (k + 1));
                const long previousK = down ? k + 1 : k - 1;
                const long previousX = at (previousK);
                const long previousY = previousX - previousK;

                // The lines between the step and (x, y) are the same on both sides.
                addStep (previousX, previousY, ! down);
                x = previousX;
                y = previousY;
            }

            result.assign (backwards.rbegin(), backwards.rend());
        }

        /** Old line i against new line i: an exact, if not the shortest, diff. */
        void pairByPosition (const Range& range, std::vector<Change>& result) const
        {
            const auto common = std::min (range.oldEnd - range.oldStart, range.newEnd - range.newStart);
            for (size_t i = 0; i < common; ++i)
            {
                const auto oldIndex = range.oldStart + i;
                const auto newIndex = range.newStart + i;
                if (same (oldIndex, newIndex))
                    continue;
                if (! result.empty() && result.back().oldEnd == oldIndex)
                    ++result.back().oldEnd, ++result.back().newEnd;
                else
                    result.push_back ({ oldIndex, oldIndex + 1, newIndex, newIndex + 1 });
            }

            // Whatever one side has beyond the other joins the last change.
            const auto oldRest = range.oldStart + common, newRest = range.newStart + common;
            if (oldRest == range.oldEnd && newRest == range.newEnd)
                return;
            if (result.empty() || result.back().oldEnd != oldRest)
                result.push_back ({ oldRest, oldRest, newRest, newRest });
            result.back().oldEnd = range.oldEnd;
            result.back().newEnd = range.newEnd;
        }

        const Lines& oldLines;
        const Lines& newLines;
        std::vector<size_t> oldHashes, newHashes;
    };

    std::string withoutLineEnd (std::string_view line)
    {
        if (! line.empty() && line.back() == '\n')
            line.remove_suffix (1);
        if (! line.empty() && line.back() == '\r')
            line.remove_suffix (1);
        return std::string (line);
    }

    void appendLine (std::string& out, char mark, std::string_view line)
    {
        out += mark;
        out.append (line.data(), line.size());
        if (line.empty() || line.back() != '\n')
            out += "\n\\ No newline at end of file\n";
    }

    /** "-3,2": a range as a hunk header writes it; an empty range names the line before it. */
    std::string hunkRange (size_t start, size_t count)
    {
        auto text = std::to_string (count == 0 ? start : start + 1);
        if (count != 1)
            text += "," + std::to_string (count);
        return text;
    }

    void appendHunk (std::string& out, const Lines& oldLines, const Lines& newLines,
                     const std::vector<Change>& changes, size_t first, size_t last, size_t context)
    {
        const auto& head = changes[first];
        const auto& tail = changes[last];
        const auto before = std::min (context, head.oldStart);
        const auto after = std::min (context, oldLines.size() - tail.oldEnd);
        const auto oldStart = head.oldStart - before, newStart = head.newStart - before;
        const auto oldEnd = tail.oldEnd + after, newEnd = tail.newEnd + after;

        out += "@@ -" + hunkRange (oldStart, oldEnd - oldStart) + " +" + hunkRange (newStart, newEnd - newStart) + " @@\n";

        size_t oldAt = oldStart;
        for (size_t i = first; i <= last; ++i)
        {
            for (; oldAt < changes[i].oldStart; ++oldAt)
                appendLine (out, ' ', oldLines[oldAt]);
            for (auto j = changes[i].oldStart; j < changes[i].oldEnd; ++j)
                appendLine (out, '-', oldLines[j]);
            for (auto j = changes[i].newStart; j < changes[i].newEnd; ++j)
                appendLine (out, '+', newLines[j]);
            oldAt = changes[i].oldEnd;
        }
        for (; oldAt < oldEnd; ++oldAt)
            appendLine (out, ' ', oldLines[oldAt]);
    }
}

std::string UnifiedDiff::write (std::string_view oldText, std::string_view newText,
                                const std::string& oldName, const std::string& newName, int contextLines)
{
    const auto oldLines = splitLines (oldText);
    const auto newLines = splitLines (newText);
    const auto changes = LineMatcher (oldLines, newLines).changes();
    if (changes.empty())
        return {};

    const auto context = (size_t) std::max (0, contextLines);
    std::string out = "--- " + oldName + "\n+++ " + newName + "\n";

    // A hunk takes in the next change while their contexts would touch or overlap.
    for (size_t first = 0; first < changes.size();)
    {
        auto last = first;
        while (last + 1 < changes.size() && changes[last + 1].oldStart - changes[last].oldEnd <= 2 * context)
            ++last;
        appendHunk (out, oldLines, newLines, changes, first, last, context);
        first = last + 1;
    }
    return out;
}

std::vector<UnifiedDiff::ChangedLine> UnifiedDiff::changedLines (std::string_view oldText, std::string_view newText)
{
    const auto oldLines = splitLines (oldText);
    const auto newLines = splitLines (newText);
    std::vector<ChangedLine> result;

    for (const auto& change : LineMatcher (oldLines, newLines).changes())
    {
        const auto oldCount = change.oldEnd - change.oldStart;
        const auto newCount = change.newEnd - change.newStart;
        for (size_t i = 0; i < std::max (oldCount, newCount); ++i)
        {
            ChangedLine line;
            if (i < oldCount)
            {
                line.oldLine = (int) (change.oldStart + i + 1);
                line.before = withoutLineEnd (oldLines[change.oldStart + i]);
            }
            if (i < newCount)
            {
                line.newLine = (int) (change.newStart + i + 1);
                line.after = withoutLineEnd (newLines[change.newStart + i]);
            }
            result.push_back (std::move (line));
        }
    }
    return result;
}

std::string UnifiedDiff::headerName (const std::string& name)
{
    const auto needsQuotes = std::any_of (name.begin(), name.end(), [] (char c) {
        const auto byte = (unsigned char) c;
        return byte <= ' ' || byte == 0x7f || c == '"' || c == '\\';
    });
    if (! needsQuotes)
        return name;

    std::string quoted = "\"";
    for (const char c : name)
    {
        const auto byte = (unsigned char) c;
        if (c == '"' || c == '\\')
            quoted += std::string ("\\") + c;
        else if (c == '\t')
            quoted += "\\t";
        else if (c == '\n')
            quoted += "\\n";
        else if (byte < ' ' || byte == 0x7f)
        {
            char octal[8];
            std::snprintf (octal, sizeof (octal), "\\%03o", byte);
            quoted += octal;
        }
        else
            quoted += c;
    }
    return quoted + "\"";
}
