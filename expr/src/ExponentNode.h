#pragma once

#include "BinaryNode.h"

#include <expr/Exception.h>

#include <cerrno>
#include <cmath>

namespace Expr {

/** left ^ right through the library's pow. errno is cleared before the
    operands are evaluated and tested after pow, so an error indicator left
    set inside either operand also makes the power fail. */
class ExponentNode final : public BinaryNode
{
public:
    using BinaryNode::BinaryNode;

protected:
    double Calculate() override
    {
        errno = 0;
        const double l = left->Compute();
        const double r = right->Compute();
        const double p = std::pow(l, r);
        if (errno != 0)
            throw MathException("^");
        return p;
    }
};

} // namespace Expr
