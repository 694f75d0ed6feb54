#include "ErrorReport.h"

#include <expr/Describe.h>

#include <algorithm>

std::string CaretLine (const std::string& line, int first, int last)
{
    std::string carets;
    for (int i = 0; i <= last && i < static_cast<int> (line.size()); ++i)
    {
        if (i >= first)
            carets += '^';
        else
            carets += line[static_cast<size_t> (i)] == '\t' ? '\t' : ' ';
    }
    return carets;
}

std::string FormatErrorReport (const std::string& formula, const Expr::Exception& error)
{
    const bool positioned = error.Start() >= 0 && error.End() >= error.Start();
    std::string report;
    size_t lineStart = 0;
    while (lineStart <= formula.size())
    {
        size_t lineEnd = formula.find_first_of ("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = formula.size();
        const std::string line = formula.substr (lineStart, lineEnd - lineStart);
        report += line + "\n";

        const int first = error.Start() - static_cast<int> (lineStart);
        const int last = error.End() - static_cast<int> (lineStart);
        if (positioned && last >= 0 && first < static_cast<int> (line.size()))
            report += CaretLine (line, std::max (first, 0), last) + "\n";

        // CR LF is one line break; a break at the very end starts no line.
        size_t breakLength = 1;
        if (lineEnd + 1 < formula.size() && formula[lineEnd] == '\r' && formula[lineEnd + 1] == '\n')
            breakLength = 2;
        if (lineEnd + breakLength >= formula.size())
            break;
        lineStart = lineEnd + breakLength;
    }
    return report + Expr::Describe (error) + "\n";
}
