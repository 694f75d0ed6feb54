#include "FormulaEngine.h"

#include "shaping/ShapingFunctions.h"

#include <new>

FormulaEngine::FormulaEngine()
{
    values.AddBuiltInConstants();
    // Lower-case twins of the constants, which formulas may reassign.
    values.Add("pi", 3.141592653589793, false);
    values.Add("e", 2.718281828459045, false);
    functions.AddBuiltInFunctions();
    AddShapingFunctions(functions);
    expression.SetValueList(&values);
    expression.SetFunctionList(&functions);
}

bool FormulaEngine::setFormula(const std::string& text)
{
    parseError.reset();
    try
    {
        formulaText = text;
        expression.Parse(formulaText);
        return true;
    }
    catch (const Expr::Exception& error)
    {
        parseError = error;
    }
    catch (const std::bad_alloc&)
    {
        // Not even the text could be kept: the formula counts as not accepted.
    }
    return false;
}

const Expr::Exception* FormulaEngine::lastError() const
{
    return parseError ? &*parseError : nullptr;
}

void FormulaEngine::setX(double value)
{
    double* cell = values.AddressOf("x");
    if (cell == nullptr)
    {
        values.Add("x", value, false);
        cell = values.AddressOf("x");
    }
    *cell = value;
}

double FormulaEngine::compute()
{
    return expression.Compute();
}
