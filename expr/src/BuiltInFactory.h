#pragma once

#include <expr/FunctionFactory.h>
#include <expr/FunctionNode.h>

#include <memory>

namespace Expr {

/** The common part of the built-in factories: a new node of the function's
    class with its argument limits (built-ins take no data arguments). Each
    built-in factory derives from this and adds only its FunctionName(). */
template <class NodeType, int minValueArgs, int maxValueArgs, int minRefArgs = 0, int maxRefArgs = 0,
          FunctionNode::ArgumentOrder order = FunctionNode::ArgumentOrder::AsWritten>
class BuiltInFactory : public FunctionFactory
{
public:
    std::unique_ptr<FunctionNode> CreateNode(Expression* expression) override
    {
        auto node = std::make_unique<NodeType>(expression);
        node->SetArgLimits(minValueArgs, maxValueArgs, minRefArgs, maxRefArgs, 0, 0);
        node->SetArgumentOrder(order);
        return node;
    }
};

/** No upper limit on the count of value arguments. */
constexpr int unlimited = -1;

} // namespace Expr
