#include "shaping/FunctionSign.h"

#include <expr/FunctionNode.h>

class FunctionNodeSign : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double x = valueArgs[0]->Compute();
        if (x < 0.0)
            return -1.0;
        return x > 0.0 ? 1.0 : 0.0;   // either zero, and NaN, give 0
    }
};

std::string FunctionFactorySign::FunctionName()
{
    return "sign";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactorySign::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeSign>(expression);
    node->SetArgLimits(1, 1, 0, 0, 0, 0);
    return node;
}
