#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "cheby". The Chebyshev polynomial of the first kind, cheby(x, order), for any real order. */
class FunctionFactoryCheby : public Expr::FunctionFactory
{
public:
    /** "cheby". */
    std::string FunctionName() override;
    /** A new node of cheby for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
