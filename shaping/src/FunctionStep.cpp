#include "ShapingBodies.h"

namespace Shaping
{
    double ShapingStep (const Expr::FunctionCall& call)
    {
        const double x = call.Value (0);
        return x >= 0.0 ? 1.0 : 0.0; // -0 counts as zero; NaN gives 0
    }
}
