#include "ShapingBodies.h"

#include "ShapingConstants.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    namespace
    {
        double standardDensity (double d)
        {
            return Expr::LibraryMath::Exp (-0.5 * d * d) * (1.0 / Expr::LibraryMath::Sqrt (ShapingConstants::twoPi));
        }
    }

    double ShapingGauss (const Expr::FunctionCall& call)
    {
        const double x = call.Value (0);
        if (call.ValueCount() == 1)
            return standardDensity (x);

        const double mean = call.Value (1);
        if (call.ValueCount() == 2)
            return standardDensity (x - mean);

        // Sigma is taken as given: a negative one negates the density and zero
        // gives the floating-point results of dividing by it.
        const double sigma = call.Value (2);
        const double d = x - mean;
        return Expr::LibraryMath::Exp (-(d * d / (2.0 * sigma * sigma)))
             * (1.0 / (sigma * Expr::LibraryMath::Sqrt (ShapingConstants::twoPi)));
    }
}
