#include "shaping/ShapingFunctions.h"

#include "ShapingConstants.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    double IntegerPower (double base, std::int32_t n)
    {
        // The magnitude is taken in unsigned arithmetic so that the most negative
        // exponent does not overflow.
        std::uint32_t remaining = n < 0 ? 0u - static_cast<std::uint32_t> (n)
                                        : static_cast<std::uint32_t> (n);
        double result = 1.0;
        double factor = base;
        while (true)
        {
            if ((remaining & 1u) != 0u)
                result *= factor;
            if (remaining < 2u)
                break;
            remaining >>= 1;
            factor *= factor;
        }
        return n < 0 ? 1.0 / result : result;
    }

    double InverseCosh (double v)
    {
        if (v >= 1.0)
            return Expr::LibraryMath::Log (v + Expr::LibraryMath::Sqrt (v * v - 1.0));
        return 0.0;
    }

    double QuantizeToStep (double x, double step)
    {
        // Written as "<=" on purpose: a NaN step must fall through and give NaN.
        if (step <= ShapingConstants::smallestNormal)
            return x;

        const double remainder = Expr::LibraryMath::Fmod (x, step); // carries the sign of x
        if (x >= 0.0)
            return remainder < step * 0.5 ? x - remainder : (x - remainder) + step;
        return remainder < step * -0.5 ? (x - remainder) - step : x - remainder;
    }
}
