#include "ShapingBodies.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    // Leaves errno as pow sets it: an enclosing function that checks errno reports
    // a domain error of this power, while pow itself never throws.
    double ShapingPow (const Expr::FunctionCall& call)
    {
        const double base = call.Value (0);
        const double exponent = call.Value (1);
        return Expr::LibraryMath::Pow (base, exponent);
    }
}
