#pragma once

#include <expr/Exception.h>

#include <string>

namespace Expr
{

    /** Names an error in words, with its text where it has one, for messages to
    users: "syntax error", "division by zero", "math error in \"sqrt\"",
    "unknown function \"foo\"", "wrong number of arguments for \"min\"".
    Positions are not included; callers show them in their own way. */
    std::string Describe (const Exception& error);

} // namespace Expr
