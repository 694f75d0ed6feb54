#include "Calculator.h"

#include "CalculatorSetup.h"
#include "ErrorReport.h"

#include <expr/Exception.h>

#include <cstdio>

Calculator::Calculator()
{
    SetUpCalculatorLists(values, functions);
    expression.SetValueList(&values);
    expression.SetFunctionList(&functions);
}

bool Calculator::SetVariable(const std::string& name, double value)
{
    if (values.IsConstant(name))
        return false;
    double* cell = values.AddressOf(name);
    if (cell == nullptr)
    {
        values.Add(name, value, false);
        cell = values.AddressOf(name);
    }
    *cell = value;
    return true;
}

bool Calculator::Run(const std::string& formula, std::ostream& out, std::ostream& errors)
{
    try
    {
        expression.Parse(formula);
        const double value = expression.Compute();
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        out << text << "\n";
        return true;
    }
    catch (const Expr::Exception& error)
    {
        errors << FormatErrorReport(formula, error);
        return false;
    }
}
