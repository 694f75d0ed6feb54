#pragma once

#include <memory>
#include <string>

namespace Expr {

class DataList;
class FunctionList;
class Node;
class ValueList;

/** A formula: parsed once from its text into a tree it owns, computed as
    often as asked.

    The lists are attached by plain pointer before Parse and must outlive the
    tree, which keeps addresses of value cells, data slots and factories.
    Every node evaluation counts down the abort countdown; when it reaches 0
    the countdown is reloaded and CheckAbort() is asked whether to stop. The
    countdown belongs to the expression and carries over between computations.
    Derive and override CheckAbort() to stop long evaluations. */
class Expression
{
public:
    /** An expression with no lists and no tree. */
    Expression();
    /** Destroys the tree; the lists are left alone. */
    virtual ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    /** The variables and constants formulas read and write (not owned). */
    void SetValueList(ValueList* list) { valueList = list; }
    /** The functions formulas may call (not owned). */
    void SetFunctionList(FunctionList* list) { functionList = list; }
    /** The objects that arguments written as an at sign and a name refer to (not owned). */
    void SetDataList(DataList* list) { dataList = list; }

    /** The attached value list, or null. */
    ValueList* GetValueList() const { return valueList; }
    /** The attached function list, or null. */
    FunctionList* GetFunctionList() const { return functionList; }
    /** The attached data list, or null. */
    DataList* GetDataList() const { return dataList; }

    /** Discards the current tree and parses the text into a new one. If
        parsing throws, the expression stays empty; variables the parse had
        already created stay in the value list. */
    void Parse(const std::string& text);

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

    ValueList* valueList = nullptr;
    FunctionList* functionList = nullptr;
    DataList* dataList = nullptr;
    std::unique_ptr<Node> root;
    int abortCountdown = defaultAbortReload;
    int abortReload = defaultAbortReload;
};

} // namespace Expr
