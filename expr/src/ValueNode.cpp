#include "ValueNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr
{

    void ValueNode::Build (Parser& parser, int first, int last, int /*pivot*/)
    {
        if (first != last)
            parser.ThrowOver (SyntaxException(), first, last);
        value = parser.NumberAt (first);
        leafValue = &value;
    }

} // namespace Expr
