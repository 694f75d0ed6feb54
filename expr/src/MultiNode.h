#pragma once

#include <expr/Node.h>

#include <memory>
#include <vector>

namespace Expr
{

    /** A sequence of statements separated by ";"; its value is the last one's. */
    class MultiNode final : public Node
    {
    public:
        using Node::Node;
        void Build (Parser& parser, int first, int last, int pivot) override;
        bool PlaceInEvaluationOrder (EvaluationOrder& order) override;
        int StatementCount() const { return static_cast<int> (statements.size()); }
        const Node& StatementAt (int index) const { return *statements[static_cast<size_t> (index)]; }
        Node& OnlyStatement() const { return *statements.front(); }

    protected:
        double Calculate() override
        {
            double result = 0.0;
            for (auto& statement : statements)
                result = statement->Compute();
            return result;
        }

    private:
        std::vector<std::unique_ptr<Node>> statements;
    };

} // namespace Expr
