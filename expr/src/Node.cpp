#include <expr/Exception.h>
#include <expr/Node.h>

#include "ErrorIndicator.h"
#include "NodeArena.h"

namespace Expr
{

    thread_local int* Detail::errorIndicatorCell = nullptr;

    namespace
    {
        Expression* RequireExpression (Expression* owner)
        {
            if (owner == nullptr)
                throw NullPointerException ("Node::Node");
            return owner;
        }
    } // namespace

    Node::Node (Expression* owner)
        : expression (RequireExpression (owner)) {}

    Node::~Node() = default;

    void* Node::operator new (std::size_t size)
    {
        return NodeArena::AllocateNode (size);
    }

    void Node::operator delete (void* pointer) noexcept
    {
        NodeArena::ReleaseNode (pointer);
    }

    bool Node::PlaceInEvaluationOrder (EvaluationOrder& /*order*/)
    {
        return false;
    }

    bool Node::PlaceWithChildren (EvaluationOrder& order, std::initializer_list<Node*> children)
    {
        TakePlace (order);
        for (Node* child : children)
            if (! child->PlaceInEvaluationOrder (order))
                return false;
        CountPlacesBelow (order);
        return true;
    }

    void Node::PollAbortWithin (int count)
    {
        int& countdown = expression->abortCountdown;
        while (count > countdown)
        {
            count -= countdown + 1;
            countdown = expression->abortReload;
            if (expression->CheckAbort())
                throw AbortException();
        }
        countdown -= count;
    }

} // namespace Expr
