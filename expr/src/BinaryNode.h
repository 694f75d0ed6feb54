#pragma once

#include <expr/Node.h>

#include <memory>

namespace Expr {

/** The shared shape of the binary operators: a left and a right operand on
    either side of the operator token. */
class BinaryNode : public Node
{
public:
    using Node::Node;
    void Build(Parser& parser, int first, int last, int pivot) final;

protected:
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
};

} // namespace Expr
