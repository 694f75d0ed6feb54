#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "gauss". The normal probability density: gauss(x), gauss(x, mean), gauss(x, mean, sigma). */
class FunctionFactoryGauss : public Expr::FunctionFactory
{
public:
    /** "gauss". */
    std::string FunctionName() override;
    /** A new node of gauss for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
