#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "quant". quant(x, step): x rounded to the nearest multiple of step. */
class FunctionFactoryQuant : public Expr::FunctionFactory
{
public:
    /** "quant". */
    std::string FunctionName() override;
    /** A new node of quant for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
