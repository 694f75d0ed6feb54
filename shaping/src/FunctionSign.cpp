#include "ShapingBodies.h"

namespace Shaping
{
    double ShapingSign (const Expr::FunctionCall& call)
    {
        const double x = call.Value (0);
        if (x < 0.0)
            return -1.0;
        return x > 0.0 ? 1.0 : 0.0; // either zero, and NaN, give 0
    }
}
