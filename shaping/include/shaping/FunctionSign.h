#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

// Makes the nodes of "sign". sign(x): -1, 0 or 1.
class FunctionFactorySign : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override;
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
