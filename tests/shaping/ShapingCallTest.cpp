// How the shaping functions are registered and called: names, argument
// limits, and the order in which each evaluates its arguments.
#include "FormulaEngine.h"

#include "shaping/ShapingFunctions.h"

#include <expr/Exception.h>
#include <expr/FunctionList.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
    const std::vector<std::string> shapingNamesInOrder = {
        "cheby", "gauss", "quant", "quantToBits", "pow", "powBipolar", "saw", "sign", "softClip", "step"
    };

    std::vector<std::string> namesFrom (const Expr::FunctionList& list, int first)
    {
        std::vector<std::string> names;
        for (int i = first; i < list.Count(); ++i)
            names.push_back (list.FactoryAt (i).FunctionName());
        return names;
    }

    TEST (ShapingRegistration, AddsTheTenFunctionsInTheirOrder)
    {
        Expr::FunctionList list;
        Shaping::AddShapingFunctions (list);
        EXPECT_EQ (namesFrom (list, 0), shapingNamesInOrder);
    }

    TEST (ShapingRegistration, ComeAfterTheBuiltInsWithoutClashingWithThem)
    {
        Expr::FunctionList builtIns;
        builtIns.AddBuiltInFunctions();

        FormulaEngine engine;
        const Expr::FunctionList& list = engine.getFunctions();
        ASSERT_EQ (list.Count(), builtIns.Count() + 10);
        EXPECT_EQ (namesFrom (list, builtIns.Count()), shapingNamesInOrder);
    }

    TEST (ShapingRegistration, RegisteringTwiceIsRefused)
    {
        Expr::FunctionList list;
        Shaping::AddShapingFunctions (list);
        try
        {
            Shaping::AddShapingFunctions (list);
            FAIL() << "no AlreadyExistsException";
        }
        catch (const Expr::AlreadyExistsException& error)
        {
            EXPECT_EQ (error.Text(), "cheby");
        }
    }

    struct ArgumentLimits
    {
        const char* name;
        int minValues;
        int maxValues;
    };

    void PrintTo (const ArgumentLimits& c, std::ostream* out)
    {
        *out << c.name;
    }

    std::string callWithArguments (const std::string& name, int count)
    {
        std::string call = name + "(";
        for (int i = 0; i < count; ++i)
            call += (i == 0 ? "" : ", ") + std::to_string (i + 1);
        return call + ")";
    }

    class ShapingArgumentLimits : public testing::TestWithParam<ArgumentLimits>
    {
    };

    TEST_P (ShapingArgumentLimits, AcceptTheirRangeOfValueArguments)
    {
        const ArgumentLimits& c = GetParam();
        FormulaEngine engine;
        for (int count = c.minValues; count <= c.maxValues; ++count)
            EXPECT_TRUE (engine.setFormula (callWithArguments (c.name, count))) << callWithArguments (c.name, count);
    }

    TEST_P (ShapingArgumentLimits, RejectCountsOutsideItWithTheFunctionsName)
    {
        const ArgumentLimits& c = GetParam();
        for (const int count : { c.minValues - 1, c.maxValues + 1 })
        {
            FormulaEngine engine;
            const std::string call = callWithArguments (c.name, count);
            EXPECT_FALSE (engine.setFormula (call)) << call;
            ASSERT_NE (engine.lastError(), nullptr) << call;
            EXPECT_EQ (engine.lastError()->Code(), Expr::InvalidArgumentCountException ("").Code()) << call;
            EXPECT_EQ (engine.lastError()->Text(), c.name) << call;
        }
    }

    TEST_P (ShapingArgumentLimits, TakeNoReferenceArguments)
    {
        const ArgumentLimits& c = GetParam();
        FormulaEngine engine;
        std::string call = callWithArguments (c.name, c.minValues);
        call.insert (call.size() - 1, ", &v");
        EXPECT_FALSE (engine.setFormula (call)) << call;
        ASSERT_NE (engine.lastError(), nullptr);
        EXPECT_EQ (engine.lastError()->Code(), Expr::InvalidArgumentCountException ("").Code()) << call;
    }

    INSTANTIATE_TEST_SUITE_P (Shaping, ShapingArgumentLimits, testing::Values (ArgumentLimits { "gauss", 1, 3 }, ArgumentLimits { "cheby", 2, 2 }, ArgumentLimits { "pow", 2, 2 }, ArgumentLimits { "powBipolar", 2, 2 }, ArgumentLimits { "quant", 2, 2 }, ArgumentLimits { "quantToBits", 2, 2 }, ArgumentLimits { "saw", 1, 1 }, ArgumentLimits { "sign", 1, 1 }, ArgumentLimits { "softClip", 1, 5 }, ArgumentLimits { "step", 1, 1 }));

    // Each argument appends its position to the digits of s when it is
    // evaluated, so the final s spells out which arguments ran, in what order and
    // how often.
    struct EvaluationOrder
    {
        const char* name;
        int argumentCount;
        double expectedTrace;
    };

    void PrintTo (const EvaluationOrder& c, std::ostream* out)
    {
        *out << c.name << "/" << c.argumentCount;
    }

    std::string tracingCall (const std::string& name, int count)
    {
        std::string call = name + "(";
        for (int i = 0; i < count; ++i)
            call += (i == 0 ? "" : ", ") + std::string ("(s = s * 10 + ") + std::to_string (i + 1) + ")";
        return call + ")";
    }

    class ShapingEvaluationOrder : public testing::TestWithParam<EvaluationOrder>
    {
    };

    TEST_P (ShapingEvaluationOrder, EvaluatesEveryArgumentOnceInItsOrder)
    {
        const EvaluationOrder& c = GetParam();
        FormulaEngine engine;
        const std::string formula = "s = 0; " + tracingCall (c.name, c.argumentCount) + "; s";
        ASSERT_TRUE (engine.setFormula (formula)) << formula;
        EXPECT_EQ (engine.compute(), c.expectedTrace) << formula;
    }

    INSTANTIATE_TEST_SUITE_P (Shaping, ShapingEvaluationOrder, testing::Values (EvaluationOrder { "cheby", 2, 21 }, EvaluationOrder { "powBipolar", 2, 21 }, EvaluationOrder { "quant", 2, 21 }, EvaluationOrder { "quantToBits", 2, 21 }, EvaluationOrder { "pow", 2, 12 }, EvaluationOrder { "gauss", 1, 1 }, EvaluationOrder { "gauss", 2, 12 }, EvaluationOrder { "gauss", 3, 123 }, EvaluationOrder { "softClip", 1, 1 }, EvaluationOrder { "softClip", 2, 12 }, EvaluationOrder { "softClip", 3, 123 }, EvaluationOrder { "softClip", 4, 1234 }, EvaluationOrder { "softClip", 5, 12345 }, EvaluationOrder { "saw", 1, 1 }, EvaluationOrder { "sign", 1, 1 }, EvaluationOrder { "step", 1, 1 }));

    // An error raised inside an argument is not caught by the shaping function.
    TEST (ShapingArgumentErrors, PassThroughUnchanged)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("softClip(1 / 0)"));
        EXPECT_THROW (engine.compute(), Expr::DivideByZeroException);
        ASSERT_TRUE (engine.setFormula ("cheby(0.5, (-1) ^ 0.5)"));
        EXPECT_THROW (engine.compute(), Expr::MathException);
    }

    // Only the upper-case constants are protected; the lower-case twins that
    // come with the engine are ordinary variables.
    TEST (ShapingRegistration, LowerCasePiMayBeAssignedUpperCasePiMayNot)
    {
        FormulaEngine engine;
        EXPECT_TRUE (engine.setFormula ("pi = 3; pi"));
        EXPECT_EQ (engine.compute(), 3.0);
        EXPECT_FALSE (engine.setFormula ("PI = 3;"));
        ASSERT_NE (engine.lastError(), nullptr);
        EXPECT_EQ (engine.lastError()->Code(), Expr::ConstantAssignException ("").Code());
        EXPECT_EQ (engine.lastError()->Text(), "PI");
    }
}
