#include "ShapingBodies.h"

#include "shaping/ShapingFunctions.h"

#include <cmath>

namespace Shaping
{
    double ShapingQuant (const Expr::FunctionCall& call)
    {
        const double step = call.Value (1);
        const double x = call.Value (0);
        return QuantizeToStep (x, step);
    }
}
