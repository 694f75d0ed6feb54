#include "ShapingBodies.h"

#include "shaping/ShapingFunctions.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    // The range [-1, 1] is split into 2^bits steps; bits need not be whole. From
    // 1023 bits on the step is too small to quantise and x comes back unchanged.
    double ShapingQuantToBits (const Expr::FunctionCall& call)
    {
        const double bits = call.Value (1);
        const double x = call.Value (0);
        const double step = 2.0 / Expr::LibraryMath::Pow (2.0, bits);
        return QuantizeToStep (x, step);
    }
}
