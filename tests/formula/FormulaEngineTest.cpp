#include "FormulaEngine.h"

#include <expr/Exception.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
    TEST (FormulaEngine, ComputesTheLastStatementWithTheGivenX)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("y = x * 2;"));
        engine.setX (0.25);
        EXPECT_EQ (engine.compute(), 0.5);
        engine.setX (3.0);
        EXPECT_EQ (engine.compute(), 6.0);

        // The value of the last statement counts, not the variable y.
        ASSERT_TRUE (engine.setFormula ("y = 1; x * 2"));
        EXPECT_EQ (engine.compute(), 6.0);
    }

    TEST (FormulaEngine, SetXCreatesAnOrdinaryVariableWhenMissing)
    {
        FormulaEngine engine;
        ASSERT_EQ (engine.getValues().AddressOf ("x"), nullptr);
        engine.setX (1.5);
        const double* cell = engine.getValues().AddressOf ("x");
        ASSERT_NE (cell, nullptr);
        EXPECT_EQ (*cell, 1.5);
        EXPECT_FALSE (engine.getValues().IsConstant ("x"));

        engine.setX (-2.0);
        EXPECT_EQ (engine.getValues().AddressOf ("x"), cell); // the same cell, rewritten
        EXPECT_EQ (*cell, -2.0);
    }

    TEST (FormulaEngine, SetXReachesAFormulaThatCreatedX)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("x + 1"));
        engine.setX (41.0);
        EXPECT_EQ (engine.compute(), 42.0);
    }

    TEST (FormulaEngine, StartsWithConstantsAndTheirAssignableLowerCaseTwins)
    {
        FormulaEngine engine;
        Expr::ValueList& values = engine.getValues();
        EXPECT_TRUE (values.IsConstant ("PI"));
        EXPECT_TRUE (values.IsConstant ("E"));
        EXPECT_FALSE (values.IsConstant ("pi"));
        EXPECT_FALSE (values.IsConstant ("e"));
        ASSERT_NE (values.AddressOf ("pi"), nullptr);
        ASSERT_NE (values.AddressOf ("e"), nullptr);
        EXPECT_EQ (*values.AddressOf ("pi"), 3.141592653589793);
        EXPECT_EQ (*values.AddressOf ("e"), 2.718281828459045);
        ASSERT_EQ (values.Count(), 4);
        EXPECT_EQ (values.EntryAt (0).name, "E");
        EXPECT_EQ (values.EntryAt (1).name, "PI");
        EXPECT_EQ (values.EntryAt (2).name, "pi");
        EXPECT_EQ (values.EntryAt (3).name, "e");
    }

    // A counter formula numbers the attributes across all files of a run and
    // goes on counting in the next run, which parses the formula again.
    TEST (FormulaEngine, VariablesPersistAcrossComputationsAndParses)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("n = n + 1; y = n;"));
        EXPECT_EQ (engine.compute(), 1.0);
        EXPECT_EQ (engine.compute(), 2.0);
        EXPECT_EQ (engine.compute(), 3.0);

        ASSERT_TRUE (engine.setFormula ("n = n + 1; y = n;"));
        EXPECT_EQ (engine.compute(), 4.0);

        ASSERT_FALSE (engine.setFormula ("n = n +"));
        ASSERT_TRUE (engine.setFormula ("n"));
        EXPECT_EQ (engine.compute(), 4.0);
    }

    TEST (FormulaEngine, RejectedFormulaKeepsItsErrorAndLeavesNothingToCompute)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("y = x;"));
        EXPECT_EQ (engine.lastError(), nullptr);

        EXPECT_FALSE (engine.setFormula ("y = (x + 1"));
        ASSERT_NE (engine.lastError(), nullptr);
        EXPECT_EQ (engine.lastError()->Code(), Expr::UnmatchedParenthesisException().Code());
        EXPECT_EQ (engine.getFormulaText(), "y = (x + 1");
        // The old formula must not be computed in place of the rejected one.
        EXPECT_THROW (engine.compute(), Expr::EmptyExpressionException);

        EXPECT_TRUE (engine.setFormula ("y = x;"));
        EXPECT_EQ (engine.lastError(), nullptr);
    }

    TEST (FormulaEngine, EveryKindOfParseErrorIsCaught)
    {
        for (const char* formula : { "", "   # only a comment", "y = 2 $ 3", "y = foo(1)", "E = 1", "sign(1, 2)",
                                     "x = 1;; y = 2", "(1 + 2", "1 + 2)", "softClip(&PI)" })
        {
            FormulaEngine engine;
            EXPECT_FALSE (engine.setFormula (formula)) << formula;
            EXPECT_NE (engine.lastError(), nullptr) << formula;
        }
    }

    TEST (FormulaEngine, EvaluationErrorsPassThroughCompute)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("y = 1 / x"));
        engine.setX (0.0);
        EXPECT_THROW (engine.compute(), Expr::DivideByZeroException);
        engine.setX (4.0);
        EXPECT_EQ (engine.compute(), 0.25); // the tree survives the error

        ASSERT_TRUE (engine.setFormula ("x ^ 0.5"));
        engine.setX (-1.0);
        EXPECT_THROW (engine.compute(), Expr::MathException);
    }

    TEST (FormulaEngine, ComputeBeforeAnyFormulaIsAnError)
    {
        FormulaEngine engine;
        EXPECT_THROW (engine.compute(), Expr::EmptyExpressionException);
    }

    TEST (FormulaEngine, BuiltInAndShapingFunctionsAreBothAvailable)
    {
        FormulaEngine engine;
        ASSERT_TRUE (engine.setFormula ("y = max(sqrt(x), sign(x));"));
        engine.setX (16.0);
        EXPECT_EQ (engine.compute(), 4.0);
    }
}

TEST (FormulaEngine, RestoredVariablesReadAsTheyWereSaved)
{
    FormulaEngine engine;
    ASSERT_TRUE (engine.setFormula ("n = n + 1; pi = 3; y = n;"));
    engine.setX (7);
    EXPECT_EQ (engine.compute(), 1);
    const auto saved = engine.saveVariables();

    // Changes n and x, and creates a variable the saved state did not have.
    ASSERT_TRUE (engine.setFormula ("n = n + 10; fresh = fresh + 5; x = 99; y = n + fresh;"));
    EXPECT_EQ (engine.compute(), 16);
    engine.restoreVariables (saved);

    EXPECT_EQ (*engine.getValues().AddressOf ("n"), 1);
    EXPECT_EQ (*engine.getValues().AddressOf ("x"), 7);
    EXPECT_EQ (*engine.getValues().AddressOf ("pi"), 3);
    EXPECT_EQ (*engine.getValues().AddressOf ("fresh"), 0) << "a variable created after the save reads as new";
    EXPECT_EQ (engine.compute(), 16) << "the same formula gives the same value again";
    EXPECT_DOUBLE_EQ (*engine.getValues().AddressOf ("PI"), 3.141592653589793);
}
