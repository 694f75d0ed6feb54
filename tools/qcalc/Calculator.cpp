#include "Calculator.h"

#include "ErrorReport.h"

#include <expr/Exception.h>

#include <cmath>
#include <cstdio>

Calculator::Calculator() = default;

bool Calculator::SetVariable (const std::string& name, double value)
{
    auto& values = engine.getValues();
    if (values.IsConstant (name))
        return false;
    double* cell = values.AddressOf (name);
    if (cell == nullptr)
    {
        values.Add (name, value, false);
        cell = values.AddressOf (name);
    }
    *cell = value;
    return true;
}

bool Calculator::Run (const std::string& formula, std::ostream& out, std::ostream& errors)
{
    if (! engine.setFormula (formula))
    {
        if (const auto* error = engine.lastError())
            errors << FormatErrorReport (formula, *error);
        else
            errors << "qcalc: out of memory\n";
        return false;
    }

    try
    {
        const double value = engine.compute();
        char text[32];
        if (std::isnan (value))
            // A NaN's sign bit depends on which operand the processor passed
            // on, so on the compiler's order; printf shows it in glibc only.
            std::snprintf (text, sizeof text, "nan");
        else
            std::snprintf (text, sizeof text, "%.17g", value);
        out << text << "\n";
        return true;
    }
    catch (const Expr::Exception& error)
    {
        errors << FormatErrorReport (formula, error);
        return false;
    }
}
