#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

// Makes the nodes of "quant". quant(x, step): x rounded to the nearest multiple of step.
class FunctionFactoryQuant : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override;
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
