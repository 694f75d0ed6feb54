#pragma once

#include "BinaryNode.h"

#include <expr/Exception.h>

namespace Expr
{

    /** left / right. The divisor is evaluated first, and a zero divisor (of
    either sign) throws before the dividend is evaluated at all. */
    class DivideNode final : public BinaryNode
    {
    public:
        using BinaryNode::BinaryNode;

        bool PlaceInEvaluationOrder (EvaluationOrder& order) override
        {
            return ! HeadsLongChain() && PlaceWithChildren (order, { right.get(), left.get() });
        }

    protected:
        double Calculate() override
        {
            if (ReadsLeavesDirectly() && *rightLeaf != 0.0) // a zero divisor takes the reporting path
                return *leftLeaf / *rightLeaf;
            if (HeadsLongChain())
                return CalculateChain();
            BeforeLeft();
            return AfterLeft (left->Compute());
        }

        void BeforeLeft() override
        {
            divisor = right->Compute();
            if (divisor == 0.0)
            {
                NoteEvaluatedThrough (*right);
                throw DivideByZeroException();
            }
        }

        double AfterLeft (double leftValue) override { return leftValue / divisor; }

    private:
        double divisor = 0.0; // from BeforeLeft() to AfterLeft() of one evaluation
    };

} // namespace Expr
