#pragma once

#include <expr/Node.h>

#include <memory>

namespace Expr
{

    /** name = value: stores the value in the variable's cell and yields it. */
    class AssignNode final : public Node
    {
    public:
        using Node::Node;
        void Build (Parser& parser, int first, int last, int pivot) override;
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override { return PlaceWithChildren (order, { value.get() }); }

    protected:
        double Calculate() override
        {
            // A settled tree's leaf counts nothing itself: read it in place.
            if (valueLeaf != nullptr && ! CountsEachEvaluation())
                return *target = *valueLeaf;
            const double v = value->Compute();
            *target = v;
            return v;
        }

    private:
        double* target = nullptr; // a value-list cell, not owned
        std::unique_ptr<Node> value;
        const double* valueLeaf = nullptr; // value's own value when it is a leaf
    };

} // namespace Expr
