// The shaping functions as formulas call them, through the application's
// formula engine, against their reference figures.
#include "FormulaEngine.h"

#include <expr/Exception.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace
{
    double evaluate (FormulaEngine& engine, const std::string& formula)
    {
        if (! engine.setFormula (formula))
            ADD_FAILURE() << "formula does not parse: " << formula;
        return engine.compute();
    }

    double evaluate (const std::string& formula)
    {
        FormulaEngine engine;
        return evaluate (engine, formula);
    }

    enum class Match
    {
        exact,         // the figure is the exact double
        printedDigits, // equal to every printed digit of the figure
        rounding,      // the figure up to floating-point rounding
        notANumber
    };

    struct FigureCase
    {
        const char* formula;
        const char* figure;
        Match match;
    };

    void PrintTo (const FigureCase& c, std::ostream* out)
    {
        *out << c.formula;
    }

    // Half a unit of the figure's last printed digit, plus a few units in the last
    // place of the double for differences between mathematics libraries.
    double printedDigitsTolerance (const char* figure, double expected)
    {
        const char* point = std::strchr (figure, '.');
        const int decimals = point == nullptr ? 0 : static_cast<int> (std::strlen (point + 1));
        const double unitInLastPlace = std::nextafter (std::fabs (expected), INFINITY) - std::fabs (expected);
        return 0.5 * std::pow (10.0, -decimals) + 4.0 * unitInLastPlace;
    }

    class ShapingFigures : public testing::TestWithParam<FigureCase>
    {
    };

    TEST_P (ShapingFigures, MatchTheReferenceFigure)
    {
        const FigureCase& c = GetParam();
        const double actual = evaluate (c.formula);
        const double expected = std::strtod (c.figure, nullptr);
        switch (c.match)
        {
            case Match::exact:
                EXPECT_EQ (actual, expected);
                break;
            case Match::printedDigits:
                EXPECT_NEAR (actual, expected, printedDigitsTolerance (c.figure, expected));
                break;
            case Match::rounding:
                EXPECT_NEAR (actual, expected, 1e-14 * std::fmax (1.0, std::fabs (expected)));
                break;
            case Match::notANumber:
                EXPECT_TRUE (std::isnan (actual)) << "got " << actual;
                break;
        }
    }

    INSTANTIATE_TEST_SUITE_P (Gauss, ShapingFigures, testing::Values (FigureCase { "gauss(0)", "0.3989422804014327", Match::printedDigits }, FigureCase { "gauss(1)", "0.24197072451914337", Match::printedDigits }, FigureCase { "gauss(1, 0, 2)", "0.17603266338214976", Match::printedDigits }, FigureCase { "gauss(1, 0, -2)", "-0.17603266338214976", Match::printedDigits }, FigureCase { "gauss(4, 1)", "0.0044318484119380075", Match::printedDigits }));

    INSTANTIATE_TEST_SUITE_P (Cheby, ShapingFigures, testing::Values (FigureCase { "cheby(0.5, 2)", "-0.5", Match::rounding }, FigureCase { "cheby(2, 2)", "7", Match::rounding }, FigureCase { "cheby(-2, 3)", "-26", Match::rounding }, FigureCase { "cheby(-2, 2)", "7", Match::rounding }, FigureCase { "cheby(0.5, 3)", "-1", Match::rounding }, FigureCase { "cheby(-3, 4)", "577", Match::rounding }, // 8x^4 - 8x^2 + 1
                                                                      FigureCase { "cheby(pow(-8, 0.5), 3)", "-1", Match::exact },                                                                                                                                                                                                                                                                           // NaN x: the sign factor alone
                                                                      FigureCase { "cheby(pow(-8, 0.5), 2)", "1", Match::exact }, FigureCase { "cheby(0.5, pow(-8, 0.5))", "nan", Match::notANumber }, FigureCase { "cheby(3, pow(-8, 0.5))", "nan", Match::notANumber }, FigureCase { "cheby(-3, pow(-8, 0.5))", "nan", Match::notANumber }));

    INSTANTIATE_TEST_SUITE_P (Pow, ShapingFigures, testing::Values (FigureCase { "pow(2, 10)", "1024", Match::exact }, FigureCase { "pow(-8, 1/3)", "nan", Match::notANumber }, FigureCase { "powBipolar(-2, 2)", "-4", Match::exact }, FigureCase { "powBipolar(2, 2)", "4", Match::exact }, FigureCase { "powBipolar(0, -1)", "0", Match::exact }, FigureCase { "powBipolar(-0, -1)", "0", Match::exact }, FigureCase { "powBipolar(pow(-8, 0.5), 2)", "0", Match::exact }));

    INSTANTIATE_TEST_SUITE_P (Quant, ShapingFigures, testing::Values (FigureCase { "quant(2.5, 1)", "3", Match::exact }, FigureCase { "quant(-2.5, 1)", "-2", Match::exact }, FigureCase { "quant(2.4, 1)", "2", Match::exact }, FigureCase { "quant(-2.6, 1)", "-3", Match::exact }, FigureCase { "quant(3.3, 0.25)", "3.25", Match::exact }, FigureCase { "quant(7, 0)", "7", Match::exact }, FigureCase { "quant(7, -1)", "7", Match::exact }, FigureCase { "quantToBits(0.3, 2)", "0.5", Match::exact }, FigureCase { "quantToBits(0.3, 8)", "0.296875", Match::exact }, FigureCase { "quantToBits(0.3, 1)", "0", Match::exact }, FigureCase { "quantToBits(0.3, 2000)", "0.3", Match::exact }, FigureCase { "quantToBits(0.3, 1023)", "0.3", Match::exact }));

    INSTANTIATE_TEST_SUITE_P (Saw, ShapingFigures, testing::Values (FigureCase { "saw(0)", "0", Match::exact }, FigureCase { "saw(1)", "0.3183", Match::printedDigits }, FigureCase { "saw(pi)", "-1", Match::exact }, FigureCase { "saw(4)", "-0.7268", Match::printedDigits }, FigureCase { "saw(-1)", "-0.3183", Match::printedDigits }, FigureCase { "saw(-4)", "-1.2732", Match::printedDigits }, FigureCase { "saw(pow(-8, 0.5))", "nan", Match::notANumber }));

    INSTANTIATE_TEST_SUITE_P (SignAndStep, ShapingFigures, testing::Values (FigureCase { "sign(-3)", "-1", Match::exact }, FigureCase { "sign(0)", "0", Match::exact }, FigureCase { "sign(-0)", "0", Match::exact }, FigureCase { "sign(2)", "1", Match::exact }, FigureCase { "sign(pow(-8, 0.5))", "0", Match::exact }, FigureCase { "step(0)", "1", Match::exact }, FigureCase { "step(-0)", "1", Match::exact }, FigureCase { "step(-10^-300)", "0", Match::exact }, FigureCase { "step(pow(-8, 0.5))", "0", Match::exact }));

    INSTANTIATE_TEST_SUITE_P (SoftClip, ShapingFigures, testing::Values (FigureCase { "softClip(0.5)", "0.5", Match::exact }, FigureCase { "softClip(0.9)", "0.9", Match::exact }, FigureCase { "softClip(0.95)", "0.9462117157260009", Match::printedDigits }, FigureCase { "softClip(-0.95)", "-0.9462117157260009", Match::printedDigits }, FigureCase { "softClip(2)", "0.9999999999442106", Match::printedDigits }, FigureCase { "softClip(0.97, 0)", "0.9689974481127612", Match::printedDigits }, FigureCase { "softClip(0.2, 0)", "0.2", Match::exact }, FigureCase { "softClip(-1, 0)", "0", Match::rounding }, FigureCase { "softClip(9.9, 0, 10)", "9.832018385133924", Match::printedDigits }, FigureCase { "softClip(12, 0, 10, 0.5, 0.5)", "9.86701503211567", Match::printedDigits }, FigureCase { "softClip(12, 0, 10, 0, 0)", "10", Match::exact }, FigureCase { "softClip(-3, 0, 10, 0.5, 0.5)", "0.06064217492137125", Match::printedDigits },
                                                                         // Range -2 to 6 around the centre 2: half of the lower half is curved
                                                                         // (knee at 0, width 2), a quarter of the upper half (knee at 5, width 1).
                                                                         FigureCase { "softClip(-1.5, -2, 6, 0.5, 0.25)", "-1.2702979047745746", Match::printedDigits }, // 2 - (2 tanh(0.75) + 2)
                                                                         FigureCase { "softClip(5.5, -2, 6, 0.5, 0.25)", "5.46211715726001", Match::printedDigits },     // tanh(0.5) + 5
                                                                         FigureCase { "softClip(4.9, -2, 6, 0.5, 0.25)", "4.9", Match::exact }, FigureCase { "softClip(0.1, -2, 6, 0.5, 0.25)", "0.1", Match::rounding }, FigureCase { "softClip(pow(-8, 0.5))", "nan", Match::notANumber }, FigureCase { "softClip(pow(-8, 0.5), 0, 10)", "nan", Match::notANumber }));

    TEST (ShapingRelations, GaussShiftsWithTheMeanAndFlipsWithTheSigma)
    {
        EXPECT_EQ (evaluate ("gauss(3, 3)"), evaluate ("gauss(0)"));
        EXPECT_EQ (evaluate ("gauss(1, 0, -2)"), -evaluate ("gauss(1, 0, 2)"));
        EXPECT_EQ (evaluate ("gauss(1, 0, 1)"), evaluate ("gauss(1)"));
    }

    TEST (ShapingRelations, GaussWithZeroSigmaDividesByZeroWithoutAnError)
    {
        EXPECT_TRUE (std::isnan (evaluate ("gauss(0, 0, 0)"))); // exp(-(0 / 0)) * (1 / 0)
        EXPECT_TRUE (std::isnan (evaluate ("gauss(1, 0, 0)"))); // exp(-inf) * inf
    }

    TEST (ShapingRelations, SoftClipIsSymmetricAndStaysBelowItsLimit)
    {
        EXPECT_EQ (evaluate ("softClip(-0.95)"), -evaluate ("softClip(0.95)"));
        EXPECT_LT (evaluate ("softClip(2)"), 1.0);
    }

    // Below -1 the sign comes from the order rounded to a whole number, ties to
    // even: 2.5 counts as 2 and 3.5 as 4.
    TEST (ShapingRelations, ChebyBelowMinusOneTakesItsSignFromTheEvenRoundedOrder)
    {
        struct Case
        {
            const char* formula;
            double order;
            double sign;
        };
        for (const Case& c : { Case { "cheby(-2, 2.5)", 2.5, 1.0 }, Case { "cheby(-2, 3.5)", 3.5, 1.0 },
                               Case { "cheby(-2, 2.6)", 2.6, -1.0 }, Case { "cheby(-2, -1.5)", -1.5, 1.0 },
                               Case { "cheby(-2, 0.4)", 0.4, 1.0 } })
        {
            const double magnitude = std::cosh (c.order * std::acosh (2.0));
            EXPECT_NEAR (evaluate (c.formula), c.sign * magnitude, 1e-14 * magnitude) << c.formula;
        }
    }

    // Orders beyond the 32-bit range still give the sign of their parity.
    TEST (ShapingRelations, ChebyKeepsTheSignOfOrdersBeyond32Bits)
    {
        EXPECT_LT (evaluate ("cheby(-1.0000000000000002, 2147483647)"), 0.0);
        EXPECT_LT (evaluate ("cheby(-1.0000000000000002, 2147483649)"), 0.0);
        EXPECT_GT (evaluate ("cheby(-1.0000000000000002, 2147483650)"), 0.0);
        EXPECT_GT (evaluate ("cheby(-1.0000000000000002, -4294967296)"), 0.0);
        EXPECT_LT (evaluate ("cheby(-1.0000000000000002, -4294967297)"), 0.0);
        EXPECT_NO_THROW (evaluate ("cheby(-2, 10^300 * 10^300)"));
    }

    // A step equal to the smallest normal double is too small to quantise with:
    // a subnormal x, which is no multiple of it, must come back unchanged.
    TEST (ShapingRelations, QuantToBitsStopsQuantisingFrom1023Bits)
    {
        const double subnormal = 3.0 * std::numeric_limits<double>::denorm_min();
        FormulaEngine engine;
        engine.setX (subnormal);
        EXPECT_EQ (evaluate (engine, "quantToBits(x, 1023)"), subnormal);
        EXPECT_EQ (evaluate (engine, "quant(x, 2 / 2^1023)"), subnormal);
        EXPECT_EQ (evaluate (engine, "quantToBits(x, 1022)"), 0.0);
    }

    TEST (ShapingRelations, SignOfZeroIsPositiveZero)
    {
        EXPECT_FALSE (std::signbit (evaluate ("sign(-0)")));
    }

    // Over a sweep of inputs, a soft clipper never leaves its range and never
    // falls as its input rises.
    TEST (ShapingRelations, SoftClipStaysInRangeAndRisesMonotonically)
    {
        struct Shape
        {
            const char* arguments;
            double low;
            double high;
        };
        for (const Shape& shape : { Shape { "", -1.0, 1.0 }, Shape { ", 0", 0.0, 1.0 }, Shape { ", 0, 10", 0.0, 10.0 },
                                    Shape { ", -2, 6, 0.5, 0.25", -2.0, 6.0 }, Shape { ", 0, 10, 0, 0", 0.0, 10.0 },
                                    Shape { ", 0, 10, 1, 1", 0.0, 10.0 } })
        {
            FormulaEngine engine;
            ASSERT_TRUE (engine.setFormula (std::string ("softClip(x") + shape.arguments + ")"));
            double previous = -std::numeric_limits<double>::infinity();
            for (int i = -3000; i <= 3000; ++i)
            {
                const double x = i * 0.01;
                engine.setX (x);
                const double y = engine.compute();
                ASSERT_GE (y, shape.low - 1e-12) << "softClip(" << x << shape.arguments << ")";
                ASSERT_LE (y, shape.high + 1e-12) << "softClip(" << x << shape.arguments << ")";
                ASSERT_GE (y, previous - 1e-12) << "softClip(" << x << shape.arguments << ")";
                previous = y;
            }
        }
    }

    // pow computes without an error check of its own but leaves the library's
    // error indicator set, so an enclosing checked operation (here the power
    // operator) reports it; the functions around it must neither clear it nor
    // throw themselves.
    TEST (ShapingErrorIndicator, PowDomainErrorIsReportedByAnEnclosingCheck)
    {
        for (const char* formula : { "pow(-8, 0.5) ^ 1", "sign(pow(-8, 0.5)) ^ 1", "2 ^ step(pow(-8, 0.5))",
                                     "softClip(quant(pow(-8, 0.5), 1)) ^ 1" })
        {
            FormulaEngine engine;
            ASSERT_TRUE (engine.setFormula (formula)) << formula;
            try
            {
                engine.compute();
                ADD_FAILURE() << "no MathException from " << formula;
            }
            catch (const Expr::MathException& error)
            {
                EXPECT_EQ (error.Text(), "^") << formula;
            }
        }
    }

    TEST (ShapingErrorIndicator, ABuiltInThatChecksTheIndicatorReportsItUnderItsOwnName)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("sqrt(pow(-8, 0.5))"));
        try
        {
            engine.compute();
            FAIL() << "no MathException";
        }
        catch (const Expr::MathException& error)
        {
            EXPECT_EQ (error.Text(), "sqrt");
        }
        ASSERT_TRUE (engine.setFormula ("abs(pow(-8, 0.5))")); // abs does not check
        EXPECT_NO_THROW (engine.compute());
    }

    TEST (ShapingErrorIndicator, NoShapingFunctionThrowsOnOutOfDomainInput)
    {
        for (const char* formula : { "pow(-8, 0.5)", "pow(0, -1)", "quantToBits(0.3, 5000)", "cheby(-2, 10^9)",
                                     "saw(10^300 * 10^300)", "quant(10^300 * 10^300, 1)", "gauss(1, 0, 0)", "softClip(1, 0, 0, 0, 0)" })
        {
            FormulaEngine engine;
            ASSERT_TRUE (engine.setFormula (formula)) << formula;
            EXPECT_NO_THROW (engine.compute()) << formula;
        }
    }
}
