#include <expr/Exception.h>
#include <expr/Node.h>

namespace Expr {

namespace {
Expression* RequireExpression(Expression* owner)
{
    if (owner == nullptr)
        throw NullPointerException("Node::Node");
    return owner;
}
} // namespace

Node::Node(Expression* owner) : expression(RequireExpression(owner)) {}

Node::~Node() = default;

void Node::PollAbort()
{
    expression->abortCountdown = expression->abortReload;
    if (expression->CheckAbort())
        throw AbortException();
}

} // namespace Expr
