#pragma once

#include <string>
#include <string_view>
#include <vector>

/**
    A unified diff of two texts, line by line, as "diff -u" writes it: hunks
    with a number of context lines, merged when their context would overlap.
    Lines keep their own ends (a CR LF stays CR LF), and a last line without
    one is followed by "\ No newline at end of file", so that patch rebuilds
    the new bytes exactly.

    The lines are matched by Myers' algorithm, which costs time in proportion
    to the lines times the changed lines. Past a budget (large files with
    many changes), the lines are paired by position instead: the diff stays
    exact, it is only no longer the shortest.
*/
class UnifiedDiff
{
public:
    /** One changed line and the line that takes its place. */
    struct ChangedLine
    {
        int oldLine = 0;           // 1-based; 0 for a line only the new text has
        int newLine = 0;           // 1-based; 0 for a line only the old text has
        std::string before, after; // without their line ends
    };

    /** The diff, headed by "--- oldName" and "+++ newName" as given; empty
        when the texts are equal. */
    static std::string write (std::string_view oldText, std::string_view newText,
                              const std::string& oldName, const std::string& newName, int contextLines = 3);

    /** The changed lines in order: within each change, the old lines are
        paired with the new ones in turn, and what is left over stands alone. */
    static std::vector<ChangedLine> changedLines (std::string_view oldText, std::string_view newText);

    /** A file name for a header line: as it is, or quoted C-style (as patch
        reads it) when it holds blanks, quotes, backslashes or control characters. */
    static std::string headerName (const std::string& name);
};
