#include "MultiNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr {

void MultiNode::Build(Parser& parser, int first, int last, int /*pivot*/)
{
    if (first >= last)
        throw SyntaxException();

    int depth = 0;
    int statementStart = first;
    for (int i = first; i <= last; ++i)
    {
        const TokenKind kind = parser.TokenAt(i).kind;
        if (kind == TokenKind::OpenParen)
        {
            ++depth;
        }
        else if (kind == TokenKind::CloseParen)
        {
            if (--depth < 0)
                parser.ThrowOver(UnmatchedParenthesisException(), i, i);
        }
        else if (kind == TokenKind::Semicolon && depth == 0)
        {
            if (i == statementStart)
                parser.ThrowOver(SyntaxException(), statementStart, i);
            statements.push_back(parser.BuildRange(statementStart, i - 1));
            statementStart = i + 1;
        }
    }
    if (depth != 0)
        parser.ThrowOver(UnmatchedParenthesisException(), last, last);
    // A ";" at the very end closes the last statement and adds nothing.
    if (statementStart <= last)
        statements.push_back(parser.BuildRange(statementStart, last));
}

} // namespace Expr
