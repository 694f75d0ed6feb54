#include "BinaryNode.h"

#include "Parser.h"

#include <expr/Exception.h>

namespace Expr {

void BinaryNode::Build(Parser& parser, int first, int last, int pivot)
{
    if (!(first < pivot && pivot < last))
        parser.ThrowOver(SyntaxException(), first, last);
    left = parser.BuildRange(first, pivot - 1);
    right = parser.BuildRange(pivot + 1, last);
}

} // namespace Expr
