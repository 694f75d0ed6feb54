#include "ShapingBodies.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    double ShapingPowBipolar (const Expr::FunctionCall& call)
    {
        const double exponent = call.Value (1);
        const double x = call.Value (0);
        if (x > 0.0)
            return Expr::LibraryMath::Pow (x, exponent);
        if (x < 0.0)
            return -Expr::LibraryMath::Pow (-x, exponent);
        return 0.0; // either zero, and NaN
    }
}
