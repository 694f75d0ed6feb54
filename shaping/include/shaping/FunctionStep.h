#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "step". step(x): the unit step, 1 from zero upward. */
class FunctionFactoryStep : public Expr::FunctionFactory
{
public:
    /** "step". */
    std::string FunctionName() override;
    /** A new node of step for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
