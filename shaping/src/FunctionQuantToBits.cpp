#include "shaping/FunctionQuantToBits.h"

#include "shaping/ShapingFunctions.h"

#include <expr/FunctionNode.h>

#include <cmath>

// The range [-1, 1] is split into 2^bits steps; bits need not be whole. From
// 1023 bits on the step is too small to quantise and x comes back unchanged.
class FunctionNodeQuantToBits : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double bits = valueArgs[1]->Compute();
        const double x = valueArgs[0]->Compute();
        const double step = 2.0 / std::pow(2.0, bits);
        return QuantizeToStep(x, step);
    }
};

std::string FunctionFactoryQuantToBits::FunctionName()
{
    return "quantToBits";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryQuantToBits::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeQuantToBits>(expression);
    node->SetArgLimits(2, 2, 0, 0, 0, 0);
    return node;
}
