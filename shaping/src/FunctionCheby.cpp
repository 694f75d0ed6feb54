#include "ShapingBodies.h"

#include "shaping/ShapingFunctions.h"

#include <expr/LibraryMath.h>

#include <cmath>
#include <cstdint>

namespace Shaping
{
    namespace
    {
        // The whole order whose parity gives the sign factor for x below -1.
        // IntegerPower takes a 32-bit exponent, and converting a double outside that
        // range (or NaN) to an integer is undefined, so such orders are reduced to a
        // value of the same parity; every double beyond 2^53 is even.
        std::int32_t wholeOrderForSign (double order)
        {
            const double whole = std::nearbyint (order); // ties to even in the default rounding mode
            if (std::fabs (whole) <= 2147483647.0)
                return static_cast<std::int32_t> (whole);
            if (! std::isfinite (whole))
                return 0; // the cosh factor is NaN or infinite then; the sign is arbitrary
            return std::fmod (whole, 2.0) == 0.0 ? 0 : 1;
        }
    }

    double ShapingCheby (const Expr::FunctionCall& call)
    {
        const double order = call.Value (1);
        const double x = call.Value (0);
        if (std::fabs (x) <= 1.0)
            return Expr::LibraryMath::Cos (order * Expr::LibraryMath::Acos (x));
        if (x > 1.0)
            return Expr::LibraryMath::Cosh (order * InverseCosh (x));
        // x below -1, or NaN (for which InverseCosh yields 0).
        return IntegerPower (-1.0, wholeOrderForSign (order)) * Expr::LibraryMath::Cosh (order * InverseCosh (-x));
    }
}
