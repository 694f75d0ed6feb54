#pragma once

#include "BinaryNode.h"

namespace Expr
{

    /** left * right, left evaluated first. */
    class MultiplyNode final : public BinaryNode
    {
    public:
        using BinaryNode::BinaryNode;

    protected:
        double Calculate() override
        {
            if (ReadsLeavesDirectly())
                return *leftLeaf * *rightLeaf;
            if (HeadsLongChain())
                return CalculateChain();
            return AfterLeft (left->Compute());
        }

        double AfterLeft (double leftValue) override
        {
            const double r = right->Compute();
            return leftValue * r;
        }
    };

} // namespace Expr
