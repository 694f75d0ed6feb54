#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "powBipolar". powBipolar(x, exponent): the power of the magnitude, with the sign of x kept. */
class FunctionFactoryPowBipolar : public Expr::FunctionFactory
{
public:
    /** "powBipolar". */
    std::string FunctionName() override;
    /** A new node of powBipolar for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
