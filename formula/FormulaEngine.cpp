#include "FormulaEngine.h"

#include "shaping/ShapingFunctions.h"

#include <new>

FormulaEngine::FormulaEngine()
{
    values.AddBuiltInConstants();
    // Lower-case twins of the constants, which formulas may reassign.
    values.Add ("pi", 3.141592653589793, false);
    values.Add ("e", 2.718281828459045, false);
    functions.AddBuiltInFunctions();
    Shaping::AddShapingFunctions (functions);
    expression.SetValueList (&values);
    expression.SetFunctionList (&functions);
}

bool FormulaEngine::setFormula (const std::string& text)
{
    parseError.reset();
    try
    {
        formulaText = text;
        expression.Parse (formulaText);
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

void FormulaEngine::setX (double value)
{
    double* cell = values.AddressOf ("x");
    if (cell == nullptr)
    {
        values.Add ("x", value, false);
        cell = values.AddressOf ("x");
    }
    *cell = value;
}

double FormulaEngine::compute()
{
    return expression.Compute();
}

FormulaEngine::Variables FormulaEngine::saveVariables() const
{
    Variables saved;
    saved.values.reserve (static_cast<size_t> (values.Count()));
    for (int i = 0; i < values.Count(); ++i)
        saved.values.push_back (values.EntryAt (i).value);
    return saved;
}

void FormulaEngine::restoreVariables (const Variables& saved)
{
    for (int i = 0; i < values.Count(); ++i)
    {
        const auto& entry = values.EntryAt (i);
        if (entry.constant)
            continue;
        const auto index = static_cast<size_t> (i);
        *values.AddressOf (entry.name) = index < saved.values.size() ? saved.values[index] : 0.0;
    }
}
