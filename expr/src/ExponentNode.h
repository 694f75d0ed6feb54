#pragma once

#include "BinaryNode.h"

#include <expr/Exception.h>

#include <cerrno>
#include <cmath>

namespace Expr
{

    /** x ^ 2 without the library call where that cannot change the result:
    pow is within 0.54 ULP of the exact square, so when the product's own
    rounding error (taken exactly with fma) leaves the exact square less than
    0.45 ULP from the product (its neighbours are then more than 0.55 ULP
    away), pow gives the product too, and sets no error
    for a normal, finite result. False for everything else (a zero, tiny,
    huge or non-finite square, a power of two, a near tie), which pow then
    computes, error indicator and all. */
    bool SquareAsPowGivesIt (double x, double& square);

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
            if (ReadsLeavesDirectly())
            {
                BeforeLeft();
                // Nothing runs between clearing errno and a square taken as the
                // product, so there is no error indicator to test.
                double square = 0.0;
                if (*rightLeaf == 2.0 && SquareAsPowGivesIt (*leftLeaf, square))
                    return square;
                return LibraryPower (*leftLeaf, *rightLeaf);
            }
            if (HeadsLongChain())
                return CalculateChain();
            BeforeLeft();
            return AfterLeft (left->Compute());
        }

        void BeforeLeft() override { errno = 0; }

        double AfterLeft (double leftValue) override { return Power (leftValue, right->Compute()); }

    private:
        double Power (double leftValue, double r)
        {
            double square = 0.0;
            if (r == 2.0 && SquareAsPowGivesIt (leftValue, square))
                return ThrowIfErrorIndicated (square);
            return LibraryPower (leftValue, r);
        }

        double LibraryPower (double leftValue, double r) { return ThrowIfErrorIndicated (std::pow (leftValue, r)); }

        double ThrowIfErrorIndicated (double p)
        {
            if (errno != 0)
            {
                NoteEvaluatedThrough (*this);
                throw MathException ("^");
            }
            return p;
        }
    };

} // namespace Expr
