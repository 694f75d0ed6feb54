#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

// Makes the nodes of "softClip". softClip(x, low, high, softLow, softHigh): limiting with hyperbolic-tangent knees.
class FunctionFactorySoftClip : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override;
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
