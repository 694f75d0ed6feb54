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
            return CalculateNested();
        }

        double AfterLeft (double leftValue) override
        {
            const double r = right->Compute();
            return leftValue * r;
        }

    private:
        // Out of line, so that the leaves' path above needs no stack frame.
        [[gnu::noinline]] double CalculateNested()
        {
            if (HeadsLongChain())
                return CalculateChain();
            return AfterLeft (left->Compute());
        }
    };

} // namespace Expr
