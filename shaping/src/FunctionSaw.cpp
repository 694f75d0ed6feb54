#include "shaping/FunctionSaw.h"

#include "ShapingConstants.h"

#include <expr/FunctionNode.h>

#include <cmath>

// Rises from 0 to just below 1 over [0, pi), jumps to -1 at pi and rises to
// just below 0 before 2*pi. The remainder keeps the sign of x and is not
// shifted, so negative x gives x / pi down to -pi and -2 to -1 below that.
class FunctionNodeSaw : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double x = valueArgs[0]->Compute();
        const double remainder = std::fmod(x, ShapingConstants::twoPi);
        if (remainder < ShapingConstants::pi)
            return remainder * ShapingConstants::inversePi;
        return remainder * ShapingConstants::inversePi - 2.0;   // from pi on, and NaN
    }
};

std::string FunctionFactorySaw::FunctionName()
{
    return "saw";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactorySaw::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeSaw>(expression);
    node->SetArgLimits(1, 1, 0, 0, 0, 0);
    return node;
}
