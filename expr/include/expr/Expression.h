#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Expr
{

    class DataList;
    class EvaluationOrder;
    class FunctionList;
    class Node;
    class NodeArena;
    class ValueList;

    /** A formula: parsed once from its text into a tree it owns, computed as
    often as asked.

    The lists are attached by plain pointer before Parse and must outlive the
    tree, which keeps addresses of value cells, data slots and factories.
    Every node evaluation counts down the abort countdown; when it reaches 0
    the countdown is reloaded and CheckAbort() is asked whether to stop. The
    countdown belongs to the expression and carries over between computations.
    A computation that cannot reach 0 takes its count from the countdown at
    once and gives back what skipped branches and errors left unevaluated.
    Derive and override CheckAbort() to stop long evaluations. */
    class Expression
    {
    public:
        /** An expression with no lists and no tree. */
        Expression();
        /** Destroys the tree; the lists are left alone. */
        virtual ~Expression();
        Expression (const Expression&) = delete;
        Expression& operator= (const Expression&) = delete;

        /** The variables and constants formulas read and write (not owned). */
        void SetValueList (ValueList* list) { valueList = list; }
        /** The functions formulas may call (not owned). */
        void SetFunctionList (FunctionList* list) { functionList = list; }
        /** The objects that arguments written as an at sign and a name refer to (not owned). */
        void SetDataList (DataList* list) { dataList = list; }

        /** The attached value list, or null. */
        ValueList* GetValueList() const { return valueList; }
        /** The attached function list, or null. */
        FunctionList* GetFunctionList() const { return functionList; }
        /** The attached data list, or null. */
        DataList* GetDataList() const { return dataList; }

        /** Discards the current tree and parses the text into a new one. If
        parsing throws, the expression stays empty; variables the parse had
        already created stay in the value list. */
        void Parse (const std::string& text);

        /** The value of the formula's last statement. Throws
        EmptyExpressionException when there is no tree; any evaluation error
        passes through and leaves the tree intact. */
        double Compute();

        /** True while a parsed tree is held. */
        bool HasTree() const { return root != nullptr; }

        /** Asked once every (reload + 1) node evaluations; true stops the
        evaluation with AbortException. The default never stops. */
        virtual bool CheckAbort();

    private:
        friend class Node;

        static constexpr int defaultAbortReload = 200000;

        /** Compute() for every case but the usual one it handles itself. */
        double ComputeOtherwise();

        /** Compute() for a tree whose countdown is settled in advance, this
        once counted node by node because the next poll falls within it. */
        double ComputeCountingEachNode();

        /** Parses the text into a new tree in a new arena; throws as Parse does. */
        void BuildTree (const std::string& text);
        /** Hands the countdown of every computation to the expression (see Compute). */
        void SettleCountdown (EvaluationOrder&& order);

        /** Gives back the places a computation that threw did not reach. */
        void SettleAfterError();
        void CountEachEvaluation (bool counts);

        ValueList* valueList = nullptr;
        FunctionList* functionList = nullptr;
        DataList* dataList = nullptr;
        // The memory of the tree's nodes; declared before the tree so that the
        // tree is destroyed first.
        std::unique_ptr<NodeArena> arena;
        std::unique_ptr<Node> root;
        int abortCountdown = defaultAbortReload;
        int abortReload = defaultAbortReload;

        // The places in the order of evaluation that the tree takes when every
        // branch is evaluated; 0 when its order is not known in advance.
        int evaluationPlaces = 0;
        // The tree's nodes in their order of evaluation when that order is known
        // in advance, empty otherwise: computations then take their count from
        // the countdown at once (the nodes do not count themselves).
        std::vector<Node*> orderedNodes;
        // Where a settled computation starts: the root, or the only statement of
        // a one-statement sequence (y = x;), whose sequence node adds nothing
        // once the countdown is settled.
        Node* settledEntry = nullptr;
        // Noted by a node that throws while the countdown is settled: the last
        // place in the order of evaluation that was reached, until settled.
        static constexpr int noPlaceNoted = -1;
        int lastEvaluatedPlace = noPlaceNoted;
    };

} // namespace Expr
