#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

// Makes the nodes of "step". step(x): the unit step, 1 from zero upward.
class FunctionFactoryStep : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override;
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
