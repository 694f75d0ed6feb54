#pragma once

#include <expr/Node.h>

namespace Expr
{

    /** Reads a variable or constant through the cell address resolved when the
    formula was built. */
    class VariableNode final : public Node
    {
    public:
        using Node::Node;
        void Build (Parser& parser, int first, int last, int pivot) override;
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override { return PlaceWithChildren (order, {}); }

    protected:
        // The value-list cell (not owned) is the leaf value Compute() reads.
        double Calculate() override { return *LeafValueOf (*this); }
    };

} // namespace Expr
