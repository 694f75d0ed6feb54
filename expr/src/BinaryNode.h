#pragma once

#include <expr/Node.h>

#include <memory>
#include <vector>

namespace Expr
{

    /** The shared shape of the binary operators: a left and a right operand on
    either side of the operator token.

    Each operator is split into the work it does before its left operand is
    evaluated and the work after, given the left value; Calculate() is the
    two in a row. A long chain of one level's operators (a + b - c ...) hangs
    down the left side of its top node, which evaluates the whole chain in a
    loop, so that neither evaluating nor destroying it recurses per link. */
    class BinaryNode : public Node
    {
    public:
        using Node::Node;
        ~BinaryNode() override;
        BinaryNode (const BinaryNode&) = delete;
        BinaryNode& operator= (const BinaryNode&) = delete;

        void Build (Parser& parser, int first, int last, int pivot) final;

        /** Left, then right; a long chain keeps its tree on the per-node
        countdown, which its loop runs. */
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override
        {
            return ! HeadsLongChain() && PlaceWithChildren (order, { left.get(), right.get() });
        }

    protected:
        virtual void BeforeLeft() {}
        virtual double AfterLeft (double leftValue) = 0;

        bool HeadsLongChain() const { return headsLongChain; }

        /** The value of the chain this node heads, evaluated in the same order
        as the nested calls would: every link's work before its left operand
        from the top down, the innermost left operand, then every link's work
        after it from the bottom up. */
        double CalculateChain();

        /** Both operands are numbers or variables, and the countdown is settled
        for the whole tree: the operator may read the two values directly. */
        bool ReadsLeavesDirectly() const { return leftLeaf != nullptr && rightLeaf != nullptr && ! CountsEachEvaluation(); }

        std::unique_ptr<Node> left;
        std::unique_ptr<Node> right;
        const double* leftLeaf = nullptr;  // left's value when it is a leaf
        const double* rightLeaf = nullptr; // right's value when it is a leaf

    private:
        friend class Parser;

        /** Given the links of the chain this node heads, innermost first and this
        node last; kept only when the chain is long enough to matter. */
        void SetChainLinks (std::vector<BinaryNode*> links);

        /** Notes which operands are leaves, once both are built. */
        void NoteLeafOperands()
        {
            leftLeaf = LeafValueOf (*left);
            rightLeaf = LeafValueOf (*right);
        }

        // The links (not owned: they hang from left) of a long chain only: one
        // pointer in every other binary node, of which a formula may have millions.
        std::unique_ptr<std::vector<BinaryNode*>> chainLinks;
        bool headsLongChain = false; // chainLinks is set
    };

} // namespace Expr
