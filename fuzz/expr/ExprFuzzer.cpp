// libFuzzer entry for the formula engine: every input is parsed as a formula
// and, when it parses, computed for a few values of x. Errors of the engine's
// own family are the expected way to refuse; anything else (a crash, a leak,
// undefined behaviour, an exception from outside the family) is a finding.

#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/FunctionList.h>
#include <expr/ValueList.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{

    struct Engine
    {
        Engine()
        {
            values.AddBuiltInConstants();
            values.Add ("pi", 3.141592653589793, false);
            values.Add ("e", 2.718281828459045, false);
            values.Add ("x", 0.0, false);
            functions.AddBuiltInFunctions();
            expression.SetValueList (&values);
            expression.SetFunctionList (&functions);
            x = values.AddressOf ("x");
        }

        Expr::ValueList values;
        Expr::FunctionList functions;
        Expr::Expression expression;
        double* x = nullptr;
    };

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // A fresh engine per input: variables created by earlier inputs would
    // otherwise pile up and slow every look-up down.
    Engine engine;
    const std::string formula (reinterpret_cast<const char*> (data), size);
    try
    {
        engine.expression.Parse (formula);
    }
    catch (const Expr::Exception&)
    {
        return 0;
    }
    for (const double input : { 0.0, -1.5, 1e300 })
    {
        *engine.x = input;
        try
        {
            engine.expression.Compute();
        }
        catch (const Expr::Exception&)
        {
        }
    }
    return 0;
}
