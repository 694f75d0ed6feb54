#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "pow". pow(base, exponent), the standard library's power without an error check. */
class FunctionFactoryPow : public Expr::FunctionFactory
{
public:
    /** "pow". */
    std::string FunctionName() override;
    /** A new node of pow for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
