#include "NegateNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr
{

    void NegateNode::Build (Parser& parser, int first, int last, int pivot)
    {
        if (! (pivot == first && pivot < last))
            parser.ThrowOver (SyntaxException(), first, last);
        child = parser.BuildNestedRange (pivot + 1, last);
    }

} // namespace Expr
