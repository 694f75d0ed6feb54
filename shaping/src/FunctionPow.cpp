#include "shaping/FunctionPow.h"

#include <expr/FunctionNode.h>

#include <cmath>

// Leaves errno as pow sets it: an enclosing function that checks errno reports
// a domain error of this power, while pow itself never throws.
class FunctionNodePow : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double base = valueArgs[0]->Compute();
        const double exponent = valueArgs[1]->Compute();
        return std::pow(base, exponent);
    }
};

std::string FunctionFactoryPow::FunctionName()
{
    return "pow";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryPow::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodePow>(expression);
    node->SetArgLimits(2, 2, 0, 0, 0, 0);
    return node;
}
