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
        if (HeadsLongChain())
            return CalculateChain();
        BeforeLeft();
        return AfterLeft(left->Compute());
    }

    void BeforeLeft() override { errno = 0; }

    double AfterLeft(double leftValue) override
    {
        const double r = right->Compute();
        const double p = std::pow(leftValue, r);
        if (errno != 0)
        {
            NoteEvaluatedThrough(*this);
            throw MathException("^");
        }
        return p;
    }
};

} // namespace Expr
