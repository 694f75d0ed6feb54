#pragma once

#include <expr/FunctionList.h>
#include <expr/ValueList.h>

/** Fills the calculator's lists the way the tool fills its own: the
    constants "E" and "PI" and the 42 built-in functions. The one place to
    change when the calculator should offer what the tool's formula engine
    offers. */
void SetUpCalculatorLists(Expr::ValueList& values, Expr::FunctionList& functions);
