#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "saw". saw(x): a sawtooth of period 2*pi. */
class FunctionFactorySaw : public Expr::FunctionFactory
{
public:
    /** "saw". */
    std::string FunctionName() override;
    /** A new node of saw for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
