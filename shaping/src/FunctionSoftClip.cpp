#include "ShapingBodies.h"

#include "ShapingConstants.h"

#include <expr/LibraryMath.h>

#include <cmath>

namespace Shaping
{
    namespace
    {
        // The one-argument form: the range [-1, 1] with both knees at 0.9, written
        // with the constants that the general rule yields for it.
        double softClipUnitRange (double x)
        {
            constexpr double knee = 0.9;
            constexpr double width = 0.09999999999999998;       // 1 - 0.9 in double precision
            constexpr double inverseWidth = 10.000000000000002; // its reciprocal
            if (x >= 0.0)
            {
                if (x <= knee)
                    return x;
                return Expr::LibraryMath::Tanh ((x - knee) * inverseWidth) * width + knee;
            }
            if (-x <= knee)
                return x;
            return -(Expr::LibraryMath::Tanh ((-x - knee) * inverseWidth) * width + knee); // also reached by NaN
        }

        // A knee width of zero (a hard limit) would divide by zero; the smallest
        // normal double keeps the tanh argument finite and the limit exact.
        double usableWidth (double width)
        {
            return width == 0.0 ? ShapingConstants::smallestNormal : width;
        }

        struct SoftClipShape
        {
            double low = -1.0;
            double high = 1.0;
            double softLow = 0.1;  // fraction of the lower half, from the centre outward, that is curved
            double softHigh = 0.1; // the same for the upper half
        };

        double softClip (double x, const SoftClipShape& shape)
        {
            const double centre = (shape.low + shape.high) * 0.5;

            const double kneeHigh = (shape.high - centre) * (1.0 - shape.softHigh) + centre;
            const double widthHigh = usableWidth (shape.high - kneeHigh);

            const double distLow = centre - ((shape.low - centre) * (1.0 - shape.softLow) + centre);
            const double widthLow = usableWidth ((centre - shape.low) - distLow);

            if (x < centre || std::isnan (x))
            {
                const double d = centre - x;
                if (d > distLow || std::isnan (d))
                    return centre - (Expr::LibraryMath::Tanh ((d - distLow) * (1.0 / widthLow)) * widthLow + distLow);
                return centre - d;
            }
            if (x <= kneeHigh)
                return x;
            return Expr::LibraryMath::Tanh ((x - kneeHigh) * (1.0 / widthHigh)) * widthHigh + kneeHigh;
        }
    }

    double ShapingSoftClip (const Expr::FunctionCall& call)
    {
        if (call.ValueCount() == 1)
            return softClipUnitRange (call.Value (0));

        // Every argument is evaluated, left to right, before the shape is used.
        const double x = call.Value (0);
        SoftClipShape shape;
        double* const optionalFields[] = { &shape.low, &shape.high, &shape.softLow, &shape.softHigh };
        for (std::size_t i = 1; i < call.ValueCount(); ++i)
            *optionalFields[i - 1] = call.Value (i);
        return softClip (x, shape);
    }
}
