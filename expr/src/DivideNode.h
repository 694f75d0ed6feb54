#pragma once

#include "BinaryNode.h"

#include <expr/Exception.h>

namespace Expr {

/** left / right. The divisor is evaluated first, and a zero divisor (of
    either sign) throws before the dividend is evaluated at all. */
class DivideNode final : public BinaryNode
{
public:
    using BinaryNode::BinaryNode;

protected:
    double Calculate() override
    {
        const double r = right->Compute();
        if (r == 0.0)
            throw DivideByZeroException();
        const double l = left->Compute();
        return l / r;
    }
};

} // namespace Expr
