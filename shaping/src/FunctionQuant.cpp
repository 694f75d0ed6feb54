#include "shaping/FunctionQuant.h"

#include "shaping/ShapingFunctions.h"

#include <expr/FunctionNode.h>

#include <cmath>

class FunctionNodeQuant : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double step = valueArgs[1]->Compute();
        const double x = valueArgs[0]->Compute();
        return QuantizeToStep(x, step);
    }
};

std::string FunctionFactoryQuant::FunctionName()
{
    return "quant";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryQuant::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeQuant>(expression);
    node->SetArgLimits(2, 2, 0, 0, 0, 0);
    return node;
}
