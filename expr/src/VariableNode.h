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
        double Calculate() override { return *cell; }

    private:
        const double* cell = nullptr; // a value-list cell, not owned
    };

} // namespace Expr
