#include "shaping/FunctionStep.h"

#include <expr/FunctionNode.h>

class FunctionNodeStep : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double x = valueArgs[0]->Compute();
        return x >= 0.0 ? 1.0 : 0.0;   // -0 counts as zero; NaN gives 0
    }
};

std::string FunctionFactoryStep::FunctionName()
{
    return "step";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryStep::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeStep>(expression);
    node->SetArgLimits(1, 1, 0, 0, 0, 0);
    return node;
}
