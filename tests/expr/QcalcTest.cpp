// The calculator's engine wrapper and its error report.

#include "Calculator.h"
#include "ErrorReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace
{

    struct RunResult
    {
        bool ok;
        std::string out;
        std::string errors;
    };

    RunResult RunFormula (Calculator& calculator, const std::string& formula)
    {
        std::ostringstream out;
        std::ostringstream errors;
        const bool ok = calculator.Run (formula, out, errors);
        return { ok, out.str(), errors.str() };
    }

    TEST (Qcalc, PrintsTheValueWithSeventeenDigits)
    {
        Calculator calculator;
        ASSERT_TRUE (calculator.SetVariable ("x", 2.0));
        const RunResult result = RunFormula (calculator, "y = x^2 + sin(PI/2);");
        EXPECT_TRUE (result.ok);
        EXPECT_EQ (result.out, "5\n");
        EXPECT_EQ (RunFormula (calculator, "0.1").out, "0.10000000000000001\n");
        EXPECT_EQ (RunFormula (calculator, "-1/3").out, "-0.33333333333333331\n");
    }

    TEST (Qcalc, PrintsNanWithoutItsSign)
    {
        Calculator calculator;
        ASSERT_TRUE (calculator.SetVariable ("n", std::nan ("")));
        ASSERT_TRUE (calculator.SetVariable ("m", -std::nan ("")));
        EXPECT_EQ (RunFormula (calculator, "n").out, "nan\n");
        EXPECT_EQ (RunFormula (calculator, "m").out, "nan\n");
    }

    TEST (Qcalc, VariablesPersistFromFormulaToFormula)
    {
        Calculator calculator;
        RunFormula (calculator, "s = 0");
        EXPECT_EQ (RunFormula (calculator, "rand(&s)").out, "0.0011597033600878933\n");
        EXPECT_EQ (RunFormula (calculator, "rand(&s)").out, "0.23557237464522232\n");
        EXPECT_EQ (RunFormula (calculator, "s").out, "505908858\n");
    }

    TEST (Qcalc, RefusesToSetAConstant)
    {
        Calculator calculator;
        EXPECT_FALSE (calculator.SetVariable ("PI", 3.0));
        EXPECT_EQ (RunFormula (calculator, "PI").out, "3.1415926535897931\n");
    }

    TEST (Qcalc, ReportsAnErrorWithCaretsUnderItsCharacters)
    {
        Calculator calculator;
        const RunResult result = RunFormula (calculator, "sqrt(1, 2)");
        EXPECT_FALSE (result.ok);
        EXPECT_EQ (result.out, "");
        EXPECT_EQ (result.errors, "sqrt(1, 2)\n"
                                  "    ^^^^^^\n"
                                  "wrong number of arguments for \"sqrt\"\n");
    }

    TEST (Qcalc, ReportsAnErrorWithoutPositionWithoutCarets)
    {
        Calculator calculator;
        EXPECT_EQ (RunFormula (calculator, "sqrt(-1)").errors, "sqrt(-1)\nmath error in \"sqrt\"\n");
    }

    TEST (ErrorReport, PutsCaretsUnderEachLineThatTheErrorSpans)
    {
        Expr::SyntaxException error;
        error.SetRange (4, 18);
        EXPECT_EQ (FormatErrorReport ("x = 1 # set x\ny = x;", error),
                   "x = 1 # set x\n"
                   "    ^^^^^^^^^\n"
                   "y = x;\n"
                   "^^^^^\n"
                   "syntax error\n");
    }

    TEST (ErrorReport, KeepsTabsSoThatCaretsLineUp)
    {
        Expr::UnknownTokenException error;
        error.SetRange (6, 6);
        EXPECT_EQ (FormatErrorReport ("a\t+\t1 $", error), "a\t+\t1 $\n \t \t  ^\nunknown character\n");
    }

    TEST (ErrorReport, MarksOnlyTheLineThatHoldsTheError)
    {
        Expr::NotFoundException error ("foo");
        error.SetRange (7, 9);
        EXPECT_EQ (FormatErrorReport ("x = 1;\nfoo(2)\n", error),
                   "x = 1;\nfoo(2)\n^^^\nunknown function \"foo\"\n");
    }

    TEST (ErrorReport, TakesCarriageReturnAndLineFeedAsOneLineBreak)
    {
        Expr::NotFoundException error ("foo");
        error.SetRange (8, 10);
        EXPECT_EQ (FormatErrorReport ("x = 1;\r\nfoo(2)", error), "x = 1;\nfoo(2)\n^^^\nunknown function \"foo\"\n");
    }

    TEST (ErrorReport, CaretLineCoversFirstToLastInclusive)
    {
        EXPECT_EQ (CaretLine ("abcdef", 2, 3), "  ^^");
        EXPECT_EQ (CaretLine ("abc", 0, 10), "^^^");
    }

} // namespace

TEST (Qcalc, OffersWhatTheToolsFormulaEngineOffers)
{
    Calculator calculator;
    EXPECT_EQ (RunFormula (calculator, "pi = 3; pi * 2").out, "6\n");
    EXPECT_EQ (RunFormula (calculator, "e").out, "2.7182818284590451\n");
    EXPECT_EQ (RunFormula (calculator, "quant(2.5, 1) + sign(-3)").out, "2\n");
    EXPECT_EQ (RunFormula (calculator, "softClip(0.5)").out, "0.5\n");
    const RunResult constant = RunFormula (calculator, "PI = 3");
    EXPECT_FALSE (constant.ok);
    EXPECT_NE (constant.errors.find ("PI"), std::string::npos);
}
