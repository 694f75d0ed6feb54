#pragma once

#include <cstddef>
#include <cstdint>

namespace Expr
{

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
    formula text. Kept to the three fields every token needs, since a large
    formula has millions of them: the parser reads a name's text or a
    number's value from the formula when a node asks for it. */
    struct Token
    {
        TokenKind kind = TokenKind::Number;
        int start = 0;
        int end = 0;

        /** "=" "+" "-" "*" "/" "^": after one of these a "+" or "-" is a sign. */
        bool IsOperator() const
        {
            return kind >= TokenKind::Assign && kind <= TokenKind::Power;
        }
    };

} // namespace Expr
