#pragma once

#include "BinaryNode.h"

namespace Expr {

/** left - right, left evaluated first. */
class SubtractNode final : public BinaryNode
{
public:
    using BinaryNode::BinaryNode;

protected:
    double Calculate() override
    {
        const double l = left->Compute();
        const double r = right->Compute();
        return l - r;
    }
};

} // namespace Expr
