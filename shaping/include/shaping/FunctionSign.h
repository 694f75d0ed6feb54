#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "sign". sign(x): -1, 0 or 1. */
class FunctionFactorySign : public Expr::FunctionFactory
{
public:
    /** "sign". */
    std::string FunctionName() override;
    /** A new node of sign for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
