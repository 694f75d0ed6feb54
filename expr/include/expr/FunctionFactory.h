#pragma once

#include <memory>
#include <string>

namespace Expr
{

    class Expression;
    class FunctionNode;

    /** Makes the nodes of one function: a fresh node for every call site of the
    function in a formula. A factory holds nothing but its identity. */
    class FunctionFactory
    {
    public:
        /** Destroys the factory; the list that owns it does so. */
        virtual ~FunctionFactory();

        /** The function's name; the same string on every call. */
        virtual std::string FunctionName() = 0;

        /** A new node of the function for the given expression, with its argument
        limits set (FunctionNode::SetArgLimits). */
        virtual std::unique_ptr<FunctionNode> CreateNode (Expression* expression) = 0;
    };

} // namespace Expr
