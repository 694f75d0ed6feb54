#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

// Makes the nodes of "saw". saw(x): a sawtooth of period 2*pi.
class FunctionFactorySaw : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override;
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
