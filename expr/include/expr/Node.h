#pragma once

#include <expr/Expression.h>

namespace Expr {

class Parser;

/** A node of a parsed formula tree.

    Build takes the node's content from a stretch of the parser's tokens;
    Calculate computes its value. Every evaluation of a node, the root's
    included, goes through Compute(), which runs the expression's abort
    countdown before calling Calculate(). */
class Node
{
public:
    /** Throws NullPointerException ("Node::Node") for a null expression. */
    explicit Node(Expression* owner);
    virtual ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    /** The checked evaluation: counts one evaluation towards the abort poll
        (which may throw AbortException), then calculates. Inline and free of
        allocation and look-ups: evaluation is a walk over resolved addresses. */
    double Compute()
    {
        CountEvaluation();
        if (leafValue != nullptr)
            return *leafValue;
        return Calculate();
    }

    /** Takes the node's content from tokens first..last (inclusive) of the
        parser; pivot is the operator token that selected this node class, 0
        where none applies. Throws on the first structural fault. */
    virtual void Build(Parser& parser, int first, int last, int pivot) = 0;

protected:
    virtual double Calculate() = 0;

    /** One evaluation towards the abort poll: what Compute() does before it
        calculates, for nodes that evaluate a part of themselves in place. */
    void CountEvaluation()
    {
        int& countdown = expression->abortCountdown;
        if (countdown != 0)
            --countdown;
        else
            PollAbort();
    }

    Expression* const expression;

private:
    friend class ValueNode;
    friend class VariableNode;

    /** The rare branch of Compute(): reload the countdown and ask the hook. */
    void PollAbort();

    // Numbers and variables point this at their value, so that evaluating
    // them costs a load instead of a virtual call; null for every other node.
    const double* leafValue = nullptr;
};

} // namespace Expr
