#pragma once

#include "BinaryNode.h"
#include "ErrorIndicator.h"

#include <expr/Exception.h>
#include <expr/LibraryMath.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace Expr
{

    /** x ^ 2 without the library call where that cannot change the result:
    pow is within 0.54 ULP of the exact square, so when the product's own
    rounding error (taken exactly with fma) leaves the exact square less than
    0.45 ULP from the product (its neighbours are then more than 0.55 ULP
    away), pow gives the product too, and sets no error
    for a normal, finite result. False for everything else (a zero, tiny,
    huge or non-finite square, a power of two, a near tie), which pow then
    computes, error indicator and all. Inline, with no library call: it runs
    for every x ^ 2 evaluated. */
    inline bool SquareAsPowGivesIt (double x, double& square)
    {
        const double product = x * x;
        std::uint64_t bits = 0;
        std::memcpy (&bits, &product, sizeof bits);
        const std::uint64_t exponentBits = bits & 0x7FF0000000000000u;
        const bool usable = exponentBits > (std::uint64_t { 100 } << 52) // far from underflow
                         && exponentBits != 0x7FF0000000000000u          // finite
                         && (bits & 0x000FFFFFFFFFFFFFu) != 0;           // no binade edge
        if (! usable)
            return false;
        double binade = 0.0; // the power of two at or below the product
        std::memcpy (&binade, &exponentBits, sizeof binade);
#if defined(__FP_FAST_FMA)
        const double roundingError = std::fma (x, x, -product);
#else
        // The same error without an fma instruction (Dekker): x is split into
        // two halves of at most 26 significant bits, whose products are exact,
        // and the sums below are exact too for a finite product this far from
        // underflow. There is no fma here for the compiler to contract into.
        const double scaled = 134217729.0 * x; // 2^27 + 1
        const double high = scaled - (scaled - x);
        const double low = x - high;
        const double roundingError = ((high * high - product) + 2.0 * high * low) + low * low;
#endif
        if (! (std::fabs (roundingError) < binade * (0.45 * 0x1p-52)))
            return false;
        square = product;
        return true;
    }

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
                ErrorIndicator() = 0;
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

        void BeforeLeft() override { ErrorIndicator() = 0; }

        double AfterLeft (double leftValue) override { return Power (leftValue, right->Compute()); }

    private:
        double Power (double leftValue, double r)
        {
            double square = 0.0;
            if (r == 2.0 && SquareAsPowGivesIt (leftValue, square))
                return ThrowIfErrorIndicated (square);
            return LibraryPower (leftValue, r);
        }

        // Out of line with the throw below: most squares never get here.
        [[gnu::noinline]] double LibraryPower (double leftValue, double r) { return ThrowIfErrorIndicated (LibraryMath::Pow (leftValue, r)); }

        double ThrowIfErrorIndicated (double p)
        {
            if (ErrorIndicator() != 0)
                ThrowPowerError();
            return p;
        }

        [[noreturn, gnu::noinline, gnu::cold]] void ThrowPowerError()
        {
            NoteEvaluatedThrough (*this);
            throw MathException ("^");
        }
    };

} // namespace Expr
