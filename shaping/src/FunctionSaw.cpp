#include "ShapingBodies.h"

#include "ShapingConstants.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    // Rises from 0 to just below 1 over [0, pi), jumps to -1 at pi and rises to
    // just below 0 before 2*pi. The remainder keeps the sign of x and is not
    // shifted, so negative x gives x / pi down to -pi and -2 to -1 below that.
    double ShapingSaw (const Expr::FunctionCall& call)
    {
        const double x = call.Value (0);
        const double remainder = Expr::LibraryMath::Fmod (x, ShapingConstants::twoPi);
        if (remainder < ShapingConstants::pi)
            return remainder * ShapingConstants::inversePi;
        return remainder * ShapingConstants::inversePi - 2.0; // from pi on, and NaN
    }
}
