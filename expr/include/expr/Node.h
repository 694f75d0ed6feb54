#pragma once

#include <expr/Expression.h>

#include <cstddef>
#include <initializer_list>
#include <new>
#include <vector>

namespace Expr
{

    class Node;
    class Parser;

    /** The order of evaluation given to a tree: its nodes in the order their
    evaluations start when every branch is taken. */
    class EvaluationOrder
    {
    public:
        int Count() const { return places; }

    private:
        friend class Expression;
        friend class Node;

        std::vector<Node*> nodes;
        int places = 0; // a node folded from a constant sub-tree takes one per node it replaced
    };

    /** A node of a parsed formula tree.

    Build takes the node's content from a stretch of the parser's tokens;
    Calculate computes its value. Every evaluation of a node, the root's
    included, goes through Compute(), which runs the expression's abort
    countdown before calling Calculate().

    When every node of a tree knows in advance in which order it evaluates
    its children, the tree is given that order once after parsing, and a
    computation that cannot reach the next poll settles the countdown for
    the whole tree at once instead of node by node (see Expression::Compute);
    the countdown comes out the same either way. A node of such a tree that
    throws of its own says first how far evaluation got
    (NoteEvaluatedThrough). */
    class Node
    {
    public:
        /** Throws NullPointerException ("Node::Node") for a null expression. */
        explicit Node (Expression* owner);
        /** Destroys the node and the nodes below it. */
        virtual ~Node();
        Node (const Node&) = delete;
        Node& operator= (const Node&) = delete;

        /** Nodes made while an expression parses (by the parser or by a
        function factory) are carved from the expression's arena and freed
        with its tree; nodes made at any other time come from the heap. Either
        kind is deleted the usual way, through its owning pointer. */
        static void* operator new (std::size_t size);
        static void operator delete (void* pointer) noexcept;
        /** Over-aligned node classes bypass the arena. */
        static void* operator new (std::size_t size, std::align_val_t alignment) { return ::operator new (size, alignment); }
        static void operator delete (void* pointer, std::align_val_t alignment) noexcept { ::operator delete (pointer, alignment); }

        /** The checked evaluation: counts one evaluation towards the abort poll
        (which may throw AbortException), then calculates. Inline and free of
        allocation and look-ups: evaluation is a walk over resolved addresses. */
        double Compute()
        {
            if (countsEachEvaluation)
                CountEvaluations (evaluationWeight);
            if (leafValue != nullptr)
                return *leafValue;
            return Calculate();
        }

        /** Takes the node's content from tokens first..last (inclusive) of the
        parser; pivot is the operator token that selected this node class, 0
        where none applies. Throws on the first structural fault. */
        virtual void Build (Parser& parser, int first, int last, int pivot) = 0;

        /** Gives this node, then the nodes below it in the order Calculate()
        evaluates them, the next places of the order of evaluation, counting
        every node once even where a branch may be skipped. Returns false when
        that order is not known in advance: the default, for node classes that
        do not override it, which keeps their tree on the per-node countdown. */
        virtual bool PlaceInEvaluationOrder (EvaluationOrder& order);

    protected:
        /** The node's own computation; reached only through Compute(). */
        virtual double Calculate() = 0;

        /** False while the expression settles the countdown for the whole tree
        at once, when no node below this one counts its own evaluation either. */
        bool CountsEachEvaluation() const { return countsEachEvaluation; }

        /** The value a number or variable node reads, null for other nodes. */
        static const double* LeafValueOf (const Node& node) { return node.leafValue; }

        /** One evaluation towards the abort poll: what Compute() does before it
        calculates, for nodes that evaluate a part of themselves in place. */
        void CountEvaluation() { CountEvaluations (1); }

        /** As many evaluations in a row, polling wherever one of them would. */
        void CountEvaluations (int count)
        {
            int& countdown = expression->abortCountdown;
            if (countdown >= count)
                countdown -= count;
            else
                PollAbortWithin (count);
        }

        /** For PlaceInEvaluationOrder(): this node, then the children in the
        order given. */
        bool PlaceWithChildren (EvaluationOrder& order, std::initializer_list<Node*> children);

        /** The same in two steps, for a list of children: the node's own place
        first, then after the children have taken theirs, the node's count. */
        void TakePlace (EvaluationOrder& order)
        {
            evaluationIndex = order.places;
            order.places += evaluationWeight;
            order.nodes.push_back (this);
        }
        void CountPlacesBelow (const EvaluationOrder& order) { evaluationCount = order.Count() - evaluationIndex; }

        /** Tells the countdown that a child will not be evaluated this time, as
        a condition that takes one branch does: called when the child's turn
        in the order of evaluation has come, so for a branch skipped before
        another one is evaluated, before that one, and for a branch skipped
        after, once that one is done. */
        void SkipEvaluationOf (const Node& child)
        {
            if (! countsEachEvaluation)
                expression->abortCountdown += child.evaluationCount;
        }

        /** Before a node throws of its own during evaluation: the nodes up to
        the last place of the given one (this node or a child), in the order
        of evaluation, are the ones evaluated, so that a countdown settled in
        advance can give back the places of the rest. */
        void NoteEvaluatedThrough (const Node& node)
        {
            if (! countsEachEvaluation)
                expression->lastEvaluatedPlace = node.evaluationIndex + node.evaluationCount - 1;
        }

        /** The expression the node belongs to. */
        Expression* const expression;

    private:
        friend class Expression;
        friend class ValueNode;
        friend class VariableNode;

        /** The rare branch of Compute(): reload the countdown and ask the hook,
        at each of count evaluations where counting one by one would. */
        void PollAbortWithin (int count);

        // Numbers and variables point this at their value, so that evaluating
        // them costs a load instead of a virtual call; null for every other node.
        const double* leafValue = nullptr;
        int evaluationIndex = 0;  // the node's place in the order of evaluation
        int evaluationCount = 1;  // places taken by the node and the nodes below it
        int evaluationWeight = 1; // evaluations the node stands for: more once folded
        // False while the expression settles the countdown for the whole tree.
        bool countsEachEvaluation = true;
    };

} // namespace Expr
