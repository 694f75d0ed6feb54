#pragma once

#include <expr/Expression.h>
#include <expr/FunctionList.h>
#include <expr/ValueList.h>

#include <ostream>
#include <string>

/** The calculator's formula engine: one value list, one function list and
    one expression, set up by SetUpCalculatorLists. Variables persist from one
    formula to the next. */
class Calculator
{
public:
    Calculator();

    /** Sets a variable, creating it when missing; false for a constant. */
    bool SetVariable(const std::string& name, double value);

    /** Parses and computes one formula; writes the value as "%.17g" to out,
        or the error report to errors. True when the formula computed. */
    bool Run(const std::string& formula, std::ostream& out, std::ostream& errors);

private:
    Expr::ValueList values;
    Expr::FunctionList functions;
    Expr::Expression expression;
};
