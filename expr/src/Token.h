#pragma once

#include <cstdint>
#include <string_view>

namespace Expr {

enum class TokenKind : std::int32_t
{
    OpenParen = 1,
    CloseParen = 2,
    Assign = 3,
    Plus = 4,
    Minus = 5,
    Multiply = 6,
    Divide = 7,
    Power = 8,
    Reference = 9,
    DataRef = 10,
    Comma = 11,
    Semicolon = 12,
    Identifier = 13,
    Number = 14
};

/** One lexical token; start and end are inclusive byte indexes into the
    formula text. The text of a name is a view into the parser's copy of the
    formula, valid as long as the parser. */
struct Token
{
    TokenKind kind = TokenKind::Number;
    std::string_view text; // only for identifiers
    double number = 0.0; // only for numbers
    int start = 0;
    int end = 0;

    /** "=" "+" "-" "*" "/" "^": after one of these a "+" or "-" is a sign. */
    bool IsOperator() const
    {
        return kind >= TokenKind::Assign && kind <= TokenKind::Power;
    }
};

} // namespace Expr
