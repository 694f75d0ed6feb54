#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "softClip". softClip(x, low, high, softLow, softHigh): limiting with hyperbolic-tangent knees. */
class FunctionFactorySoftClip : public Expr::FunctionFactory
{
public:
    /** "softClip". */
    std::string FunctionName() override;
    /** A new node of softClip for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
