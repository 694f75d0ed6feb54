#pragma once

#include <string>

namespace Expr
{
    class Exception;
}

// The second line of the "Invalid Formula" alert: what is wrong with the
// formula and where, such as "Syntax error at characters 5 to 7". Positions
// are counted from 1 for the reader; errors without a position name none.
std::string describeFormulaError (const Expr::Exception& error);
