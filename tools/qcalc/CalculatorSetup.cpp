#include "CalculatorSetup.h"

void SetUpCalculatorLists(Expr::ValueList& values, Expr::FunctionList& functions)
{
    values.AddBuiltInConstants();
    functions.AddBuiltInFunctions();
}
