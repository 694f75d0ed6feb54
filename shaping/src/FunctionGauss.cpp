#include "shaping/FunctionGauss.h"

#include "ShapingConstants.h"

#include <expr/FunctionNode.h>

#include <cmath>

class FunctionNodeGauss : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override
    {
        const double x = valueArgs[0]->Compute();
        if (valueArgs.size() == 1)
            return standardDensity(x);

        const double mean = valueArgs[1]->Compute();
        if (valueArgs.size() == 2)
            return standardDensity(x - mean);

        // Sigma is taken as given: a negative one negates the density and zero
        // gives the floating-point results of dividing by it.
        const double sigma = valueArgs[2]->Compute();
        const double d = x - mean;
        return std::exp(-(d * d / (2.0 * sigma * sigma)))
             * (1.0 / (sigma * std::sqrt(ShapingConstants::twoPi)));
    }

private:
    static double standardDensity(double d)
    {
        return std::exp(-0.5 * d * d) * (1.0 / std::sqrt(ShapingConstants::twoPi));
    }
};

std::string FunctionFactoryGauss::FunctionName()
{
    return "gauss";
}

std::unique_ptr<Expr::FunctionNode> FunctionFactoryGauss::CreateNode(Expr::Expression* expression)
{
    auto node = std::make_unique<FunctionNodeGauss>(expression);
    node->SetArgLimits(1, 3, 0, 0, 0, 0);
    return node;
}
