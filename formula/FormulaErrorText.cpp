#include "FormulaErrorText.h"

#include <expr/Describe.h>
#include <expr/Exception.h>

#include <cctype>

namespace
{
    std::string withCapitalInitial (std::string text)
    {
        if (! text.empty())
            text[0] = static_cast<char> (std::toupper (static_cast<unsigned char> (text[0])));
        return text;
    }

    // The engine counts characters from 0; the alert counts them from 1.
    std::string positionPhrase (int start, int end)
    {
        if (start < 0)
            return {};
        if (end <= start)
            return " at character " + std::to_string (start + 1);
        return " at characters " + std::to_string (start + 1) + " to " + std::to_string (end + 1);
    }
}

std::string describeFormulaError (const Expr::Exception& error)
{
    return withCapitalInitial (Expr::Describe (error)) + positionPhrase (error.Start(), error.End());
}
