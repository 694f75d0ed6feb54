#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/Node.h>

#include "MultiNode.h"
#include "NodeArena.h"
#include "Parser.h"

namespace Expr
{

    Expression::Expression() = default;

    Expression::~Expression() = default;

    void Expression::Parse (const std::string& text)
    {
        SettleAfterError();
        root.reset();
        orderedNodes.clear();
        settledEntry = nullptr;
        evaluationPlaces = 0;
        BuildTree (text);
        EvaluationOrder order;
        if (root->PlaceInEvaluationOrder (order))
            SettleCountdown (std::move (order));
    }

    // Every node of the new tree is carved from a fresh arena; the old tree
    // is gone before its arena is.
    void Expression::BuildTree (const std::string& text)
    {
        arena = std::make_unique<NodeArena>();
        try
        {
            NodeArena::Scope scope (*arena);
            Parser parser (this);
            root = parser.Parse (text);
        }
        catch (...)
        {
            arena.reset(); // the nodes built before the error are destroyed already
            throw;
        }
    }

    void Expression::SettleCountdown (EvaluationOrder&& order)
    {
        evaluationPlaces = order.Count();
        orderedNodes = std::move (order.nodes);
        settledEntry = root.get();
        const auto* sequence = dynamic_cast<const MultiNode*> (root.get());
        if (sequence != nullptr && sequence->StatementCount() == 1)
            settledEntry = &sequence->OnlyStatement();
        CountEachEvaluation (false);
    }

    // When no poll can fall within this computation, every place of the tree is
    // taken from the countdown before it starts; a branch that is skipped gives
    // its places back when its turn comes, and an error, which its thrower notes,
    // gives back the places after the last one evaluated before the next
    // computation or parse. The countdown then stands where counting node by
    // node would have left it.
    double Expression::Compute()
    {
        // The usual case first, kept short: a settled tree, no error to settle
        // and no poll due. Every node of a settled tree, its entry included,
        // leaves the counting to this function.
        if (lastEvaluatedPlace == noPlaceNoted && evaluationPlaces != 0 && abortCountdown >= evaluationPlaces)
        {
            abortCountdown -= evaluationPlaces;
            Node& entry = *settledEntry;
            if (entry.leafValue != nullptr)
                return *entry.leafValue;
            return entry.Calculate();
        }
        return ComputeOtherwise();
    }

    double Expression::ComputeOtherwise()
    {
        if (lastEvaluatedPlace != noPlaceNoted)
            SettleAfterError();
        if (root == nullptr)
            throw EmptyExpressionException();
        if (evaluationPlaces == 0)
            return root->Compute();
        if (abortCountdown < evaluationPlaces)
            return ComputeCountingEachNode();
        abortCountdown -= evaluationPlaces;
        return settledEntry->Compute();
    }

    void Expression::SettleAfterError()
    {
        if (lastEvaluatedPlace == noPlaceNoted)
            return;
        abortCountdown += evaluationPlaces - (lastEvaluatedPlace + 1);
        lastEvaluatedPlace = noPlaceNoted;
    }

    double Expression::ComputeCountingEachNode()
    {
        CountEachEvaluation (true);
        struct Resettle
        {
            Expression& expression;
            ~Resettle() { expression.CountEachEvaluation (false); }
        } resettle { *this };
        return root->Compute();
    }

    void Expression::CountEachEvaluation (bool counts)
    {
        for (Node* node : orderedNodes)
            node->countsEachEvaluation = counts;
    }

    bool Expression::CheckAbort()
    {
        return false;
    }

} // namespace Expr
