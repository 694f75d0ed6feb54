#include "AssignNode.h"

#include "Parser.h"

#include <expr/Exception.h>
#include <expr/ValueList.h>

namespace Expr
{

    void AssignNode::Build (Parser& parser, int first, int last, int pivot)
    {
        if (pivot != first + 1 || pivot >= last)
            parser.ThrowOver (SyntaxException(), first, last);
        // Only a name can be assigned to: 3 = 4 is a syntax error rather than an
        // assignment to the variable with the empty name.
        if (parser.TokenAt (first).kind != TokenKind::Identifier)
            parser.ThrowOver (SyntaxException(), first, first);
        parser.RequireValueList (first);

        const std::string name (parser.NameAt (first));
        if (expression->GetValueList()->IsConstant (name))
            parser.ThrowOver (ConstantAssignException (name), first, pivot);
        double* cell = parser.FindOrCreateVariable (first);
        value = parser.BuildNestedRange (pivot + 1, last);
        valueLeaf = LeafValueOf (*value);
        target = cell;
    }

} // namespace Expr
