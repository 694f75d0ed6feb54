#include "shaping/ShapingFunctions.h"

#include "ShapingBodies.h"

#include <expr/FunctionCall.h>
#include <expr/FunctionList.h>

namespace Shaping
{
    // Each function in one registration: name, argument counts, order in which
    // its body evaluates the arguments, and body.
    void AddShapingFunctions (Expr::FunctionList& functions)
    {
        using Order = Expr::FunctionNode::ArgumentOrder;
        const auto add = [&functions] (const char* name, int minValues, int maxValues, Order order, auto body) {
            Expr::AddFunction (functions, name, { minValues, maxValues, 0, 0, order }, body);
        };
        add ("cheby", 2, 2, Order::SecondThenFirst, [] (const Expr::FunctionCall& c) { return ShapingCheby (c); });
        add ("gauss", 1, 3, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingGauss (c); });
        add ("quant", 2, 2, Order::SecondThenFirst, [] (const Expr::FunctionCall& c) { return ShapingQuant (c); });
        add ("quantToBits", 2, 2, Order::SecondThenFirst, [] (const Expr::FunctionCall& c) { return ShapingQuantToBits (c); });
        add ("pow", 2, 2, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingPow (c); });
        add ("powBipolar", 2, 2, Order::SecondThenFirst, [] (const Expr::FunctionCall& c) { return ShapingPowBipolar (c); });
        add ("saw", 1, 1, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingSaw (c); });
        add ("sign", 1, 1, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingSign (c); });
        add ("softClip", 1, 5, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingSoftClip (c); });
        add ("step", 1, 1, Order::AsWritten, [] (const Expr::FunctionCall& c) { return ShapingStep (c); });
    }
}
