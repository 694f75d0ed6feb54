#pragma once

#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/FunctionList.h>
#include <expr/ValueList.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// Holds the formula machinery of "convert value": one value list, one
// function list (the built-ins and the shaping functions) and one expression
// parsed against them. The value list is never cleared, so variables that a
// formula creates or assigns keep their values from one attribute, file and
// run to the next for as long as the engine lives.
class FormulaEngine
{
public:
    FormulaEngine();
    FormulaEngine (const FormulaEngine&) = delete;
    FormulaEngine& operator= (const FormulaEngine&) = delete;

    // Parses the formula; false when it does not parse, with the reason kept
    // for lastError(). The previous formula is gone either way.
    bool setFormula (const std::string& text);

    // The error of the last setFormula that failed; null after one that parsed.
    const Expr::Exception* lastError() const;

    // The formula text last handed to setFormula.
    const std::string& getFormulaText() const { return formulaText; }

    // Stores the value into the variable "x", creating it when missing.
    void setX (double value);

    // The value of the formula's last statement. Evaluation errors of the
    // Expr family pass through to the caller.
    double compute();

    // The values of the variables at one moment, for putting them back after
    // a preview, so that its formulas leave no trace on the next run.
    struct Variables
    {
        std::vector<double> values; // of the value list's first entries, in its order
    };

    Variables saveVariables() const;

    // Puts the saved values back. The list never loses an entry, so a variable
    // created since the save is set to 0, the value it would be created with:
    // formulas read it as if it had never been there.
    void restoreVariables (const Variables& saved);

    Expr::ValueList& getValues() { return values; }
    Expr::FunctionList& getFunctions() { return functions; }

    // While the flag is set, an evaluation in progress stops with the
    // engine's abort error at its next check. Null: never.
    void setAbortFlag (const std::atomic<bool>* flag) { expression.abortFlag = flag; }

private:
    // The expression with its abort hook wired to a flag another thread may set.
    struct AbortableExpression : Expr::Expression
    {
        const std::atomic<bool>* abortFlag = nullptr;
        bool CheckAbort() override { return abortFlag != nullptr && abortFlag->load(); }
    };

    // Declared before the expression, so that they outlive the tree that
    // points into them.
    Expr::ValueList values;
    Expr::FunctionList functions;
    AbortableExpression expression;
    std::string formulaText;
    std::optional<Expr::Exception> parseError;
};
