#pragma once

#include <cstdint>

namespace Expr
{
    class FunctionList;
}

namespace Shaping
{
    /** Registers one factory of each signal-shaping function on the list, in the
    order cheby, gauss, quant, quantToBits, pow, powBipolar, saw, sign,
    softClip, step. The list takes ownership of the factories. Throws
    Expr::AlreadyExistsException if one of the names is registered already. */
    void AddShapingFunctions (Expr::FunctionList& functions);

    /** base raised to the whole power n by repeated squaring; a negative n gives
    the reciprocal of the positive power. */
    double IntegerPower (double base, std::int32_t n);

    /** The non-negative inverse hyperbolic cosine for v >= 1; 0 for any other v,
    NaN included. */
    double InverseCosh (double v);

    /** x rounded to the nearest multiple of step, a remainder of exactly half a
    step rounding toward positive infinity. A step that is not above the
    smallest normal double (zero and negative steps included) leaves x as it
    is; a NaN step gives NaN. */
    double QuantizeToStep (double x, double step);
}
