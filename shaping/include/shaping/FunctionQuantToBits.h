#pragma once

#include <expr/FunctionFactory.h>

#include <memory>
#include <string>

/** Makes the nodes of "quantToBits". quantToBits(x, bits): x of the range [-1, 1] quantised to a bit depth. */
class FunctionFactoryQuantToBits : public Expr::FunctionFactory
{
public:
    /** "quantToBits". */
    std::string FunctionName() override;
    /** A new node of quantToBits for the expression, its argument limits set. */
    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override;
};
