#include "MultiNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr
{

    void MultiNode::Build (Parser& parser, int first, int last, int /*pivot*/)
    {
        if (first >= last)
            throw SyntaxException();

        int statementStart = first;
        parser.WalkLevel (first, last, last, [&] (int i) {
            if (parser.TokenAt (i).kind != TokenKind::Semicolon)
                return;
            if (i == statementStart)
                parser.ThrowOver (SyntaxException(), statementStart, i);
            statements.push_back (parser.BuildRange (statementStart, i - 1));
            statementStart = i + 1;
        });
        // A ";" at the very end closes the last statement and adds nothing.
        if (statementStart <= last)
            statements.push_back (parser.BuildRange (statementStart, last));
    }

    bool MultiNode::PlaceInEvaluationOrder (EvaluationOrder& order)
    {
        TakePlace (order);
        for (auto& statement : statements)
            if (! statement->PlaceInEvaluationOrder (order))
                return false;
        CountPlacesBelow (order);
        return true;
    }

} // namespace Expr
