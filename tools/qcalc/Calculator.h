#pragma once

#include "FormulaEngine.h"

#include <ostream>
#include <string>

/** The calculator on the tool's own formula engine, so formulas mean here what
    they mean in a conversion: the constants "E" and "PI", the variables "pi"
    and "e", the 42 built-ins and the ten shaping functions. Variables persist
    from one formula to the next. */
class Calculator
{
public:
    Calculator();

    /** Sets a variable, creating it when missing; false for a constant. */
    bool SetVariable (const std::string& name, double value);

    /** Parses and computes one formula; writes the value as "%.17g" to out
        (a NaN as "nan" whatever its sign, as the tool writes it), or the
        error report to errors. True when the formula computed. */
    bool Run (const std::string& formula, std::ostream& out, std::ostream& errors);

private:
    FormulaEngine engine;
};
