#pragma once

#include <expr/Node.h>

#include <memory>

namespace Expr
{

    /** A leading "-": the negation of the whole rest of the range. */
    class NegateNode final : public Node
    {
    public:
        using Node::Node;
        void Build (Parser& parser, int first, int last, int pivot) override;
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override { return PlaceWithChildren (order, { child.get() }); }

    protected:
        double Calculate() override { return -child->Compute(); }

    private:
        friend class Parser;

        std::unique_ptr<Node> child;
    };

} // namespace Expr
