#pragma once

#include <expr/Node.h>

namespace Expr
{

    /** A number written in the formula. */
    class ValueNode final : public Node
    {
    public:
        using Node::Node;
        void Build (Parser& parser, int first, int last, int pivot) override;
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override { return PlaceWithChildren (order, {}); }

    protected:
        double Calculate() override { return value; }

    private:
        friend class Parser;

        /** Makes this number stand for a constant sub-tree of that many nodes,
        folded when the formula was built. */
        void StandFor (double constantValue, int nodes)
        {
            value = constantValue;
            leafValue = &value;
            evaluationWeight = nodes;
        }

        int Weight() const { return evaluationWeight; }

        double value = 0.0;
    };

} // namespace Expr
