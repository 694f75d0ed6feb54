#include "VariableNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr
{

    void VariableNode::Build (Parser& parser, int first, int last, int /*pivot*/)
    {
        if (first != last)
            parser.ThrowOver (SyntaxException(), first, last);
        leafValue = parser.FindOrCreateVariable (first);
    }

} // namespace Expr
