#include "shaping/FunctionPowBipolar.h"

#include <expr/FunctionNode.h>

#include <cmath>

class FunctionNodePowBipolar : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double exponent = valueArgs[1]->Compute();
        const double x = valueArgs[0]->Compute();
        if (x > 0.0)
            return std::pow(x, exponent);
        if (x < 0.0)
            return -std::pow(-x, exponent);
        return 0.0;   // either zero, and NaN
    }
};

std::string FunctionFactoryPowBipolar::FunctionName()
{
    return "powBipolar";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryPowBipolar::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodePowBipolar>(expression);
    node->SetArgLimits(2, 2, 0, 0, 0, 0);
    return node;
}
