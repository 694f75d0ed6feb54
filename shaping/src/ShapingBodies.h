#pragma once

#include <expr/FunctionCall.h>

namespace Shaping
{
    // The bodies of the signal-shaping functions, registered with their names
    // and argument counts in ShapingFunctions.cpp. Each evaluates every argument
    // exactly once, in the order its registration declares.
    double ShapingCheby (const Expr::FunctionCall& call);
    double ShapingGauss (const Expr::FunctionCall& call);
    double ShapingPow (const Expr::FunctionCall& call);
    double ShapingPowBipolar (const Expr::FunctionCall& call);
    double ShapingQuant (const Expr::FunctionCall& call);
    double ShapingQuantToBits (const Expr::FunctionCall& call);
    double ShapingSaw (const Expr::FunctionCall& call);
    double ShapingSign (const Expr::FunctionCall& call);
    double ShapingSoftClip (const Expr::FunctionCall& call);
    double ShapingStep (const Expr::FunctionCall& call);
}
