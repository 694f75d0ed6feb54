#include "TestEngine.h"

// White-box checks of the tokenizer and the tree shape.
#include "AssignNode.h"
#include "MultiNode.h"
#include "Parser.h"

#include <functional>
#include <set>
#include <stdexcept>

namespace ExprTest
{
    namespace
    {

        template<class E>
        E CaughtFrom (const std::function<void()>& action)
        {
            try
            {
                action();
            }
            catch (const E& error)
            {
                return error;
            }
            catch (const Expr::Exception& other)
            {
                ADD_FAILURE() << "other error: " << Expr::Describe (other);
                throw;
            }
            ADD_FAILURE() << "no exception";
            throw std::runtime_error ("no exception");
        }

        // --- the expression object ---------------------------------------------------

        TEST (Expression, ComputeWithoutATreeFails)
        {
            Expr::Expression expression;
            EXPECT_FALSE (expression.HasTree());
            EXPECT_THROW (expression.Compute(), Expr::EmptyExpressionException);
        }

        TEST (Expression, ReadsAndWritesVariablesThroughTheirCells)
        {
            TestEngine engine;
            engine.expression.Parse ("y = x;");
            engine.Variable ("x") = 2.0;
            EXPECT_EQ (engine.expression.Compute(), 2.0);
            EXPECT_EQ (engine.Variable ("y"), 2.0);
            engine.Variable ("x") = -7.5;
            EXPECT_EQ (engine.expression.Compute(), -7.5);
            EXPECT_EQ (engine.Variable ("y"), -7.5);
        }

        TEST (Expression, AFailedParseLeavesItEmpty)
        {
            TestEngine engine;
            engine.expression.Parse ("1 + 1");
            EXPECT_EQ (engine.expression.Compute(), 2.0);
            EXPECT_THROW (engine.expression.Parse ("1 +"), Expr::SyntaxException);
            EXPECT_FALSE (engine.expression.HasTree());
            EXPECT_THROW (engine.expression.Compute(), Expr::EmptyExpressionException);
        }

        TEST (Expression, VariablesCreatedByAFailedParseStay)
        {
            TestEngine engine;
            const int before = engine.values.Count();
            EXPECT_THROW (engine.expression.Parse ("a = b + c; d = foo(e)"), Expr::NotFoundException);
            EXPECT_EQ (engine.values.Count(), before + 4); // a, b, c, d; e is never reached
            EXPECT_NE (engine.values.AddressOf ("d"), nullptr);
            EXPECT_EQ (engine.values.AddressOf ("e"), nullptr);
        }

        TEST (Expression, VariablesKeepTheirValuesAcrossParses)
        {
            TestEngine engine;
            EXPECT_EQ (engine.Evaluate ("n = n + 1"), 1.0);
            EXPECT_EQ (engine.Evaluate ("n = n + 1"), 2.0);
            engine.expression.Parse ("n = n * 10");
            EXPECT_EQ (engine.expression.Compute(), 20.0);
            EXPECT_EQ (engine.expression.Compute(), 200.0);
        }

        TEST (Expression, NeedsItsListsOnlyWhenTheFormulaUsesThem)
        {
            Expr::Expression bare;
            bare.Parse ("2 * (3 + 4)");
            EXPECT_EQ (bare.Compute(), 14.0);

            const auto noValues = CaughtFrom<Expr::NoValueListException> ([&] { bare.Parse ("x + 1"); });
            EXPECT_EQ (noValues.Start(), 0);
            EXPECT_EQ (noValues.End(), 0);
            const auto noTarget = CaughtFrom<Expr::NoValueListException> ([&] { bare.Parse ("abc = 1"); });
            EXPECT_EQ (noTarget.Start(), 0);
            EXPECT_EQ (noTarget.End(), 2);
            const auto noFunctions = CaughtFrom<Expr::NoFunctionListException> ([&] { bare.Parse ("2 * sin(1)"); });
            EXPECT_EQ (noFunctions.Start(), 4);
            EXPECT_EQ (noFunctions.End(), 6);

            Expr::FunctionList functions;
            functions.AddBuiltInFunctions();
            bare.SetFunctionList (&functions);
            const auto noReference = CaughtFrom<Expr::NoValueListException> ([&] { bare.Parse ("rand(&seed)"); });
            EXPECT_EQ (noReference.Start(), 6);
            EXPECT_EQ (noReference.End(), 9);
        }

        TEST (Expression, AFailedComputeKeepsTheTreeAndEarlierAssignments)
        {
            TestEngine engine;
            engine.expression.Parse ("a = x + 1; b = 1 / x; c = 3");
            engine.Variable ("x") = 0.0;
            EXPECT_THROW (engine.expression.Compute(), Expr::DivideByZeroException);
            EXPECT_EQ (engine.Variable ("a"), 1.0);
            EXPECT_EQ (engine.Variable ("c"), 0.0);
            engine.Variable ("x") = 2.0;
            EXPECT_EQ (engine.expression.Compute(), 3.0);
            EXPECT_EQ (engine.Variable ("b"), 0.5);
        }

        TEST (Expression, ADivisionByZeroNeverEvaluatesTheDividend)
        {
            TestEngine engine;
            engine.Variable ("y") = 7.0;
            EXPECT_THROW (engine.Evaluate ("(y = 5) / 0"), Expr::DivideByZeroException);
            EXPECT_EQ (engine.Variable ("y"), 7.0);
            EXPECT_EQ (engine.Evaluate ("(y = 5) / 2"), 2.5);
            EXPECT_EQ (engine.Variable ("y"), 5.0);
        }

        TEST (Expression, LognWithBaseOneNeverEvaluatesTheNumber)
        {
            TestEngine engine;
            engine.Variable ("y") = 7.0;
            EXPECT_THROW (engine.Evaluate ("logn(y = 5, 1)"), Expr::MathException);
            EXPECT_EQ (engine.Variable ("y"), 7.0);
        }

        TEST (Expression, ShortCircuitFunctionsSkipTheOtherBranch)
        {
            TestEngine engine;
            engine.Evaluate ("a = 0; b = 0; c = 0; if(1, a = 1, b = 1); and(0, c = 1); or(1, c = 2)");
            EXPECT_EQ (engine.Variable ("a"), 1.0);
            EXPECT_EQ (engine.Variable ("b"), 0.0);
            EXPECT_EQ (engine.Variable ("c"), 0.0);
        }

        TEST (Expression, FailingFunctionsLeaveTheirReferencesAlone)
        {
            TestEngine engine;
            engine.Variable ("x") = 5.0;
            engine.Variable ("y") = 6.0;
            EXPECT_THROW (engine.Evaluate ("pol2rect(1, inf, &x, &y)"), Expr::MathException);
            EXPECT_EQ (engine.Variable ("x"), 5.0);
            EXPECT_EQ (engine.Variable ("y"), 6.0);
            engine.Variable ("s") = 5.0;
            EXPECT_THROW (engine.Evaluate ("random(1, 1/0, &s)"), Expr::DivideByZeroException);
            EXPECT_EQ (engine.Variable ("s"), 5.0);
        }

        TEST (Expression, ReferenceArgumentsCreateVariablesAtZero)
        {
            TestEngine engine;
            engine.expression.Parse ("rect2pol(3, 4, &len, &angle)");
            ASSERT_NE (engine.values.AddressOf ("len"), nullptr);
            EXPECT_EQ (engine.Variable ("len"), 0.0);
            EXPECT_EQ (engine.expression.Compute(), 5.0);
            EXPECT_EQ (engine.Variable ("len"), 5.0);
        }

        TEST (Expression, RandomizeStoresAWholeNumberInRangeAndDiffersBetweenCalls)
        {
            TestEngine engine;
            std::set<double> seeds;
            for (int i = 0; i < 5; ++i)
            {
                EXPECT_EQ (engine.Evaluate ("randomize(&s)"), 0.0);
                const double seed = engine.Variable ("s");
                EXPECT_EQ (seed, std::floor (seed));
                EXPECT_GE (seed, -2176971486.0);
                EXPECT_LE (seed, 2176971486.0);
                seeds.insert (seed);
            }
            EXPECT_EQ (seeds.size(), 5u);
            // The generator goes on from any seed randomize gives.
            const double draw = engine.Evaluate ("rand(&s)");
            EXPECT_GE (draw, 0.0);
            EXPECT_LE (draw, 1.0);
        }

        // --- the abort countdown -----------------------------------------------------

        class CountingExpression : public Expr::Expression
        {
        public:
            bool CheckAbort() override
            {
                ++polls;
                return abortOnPoll;
            }
            int polls = 0;
            bool abortOnPoll = false;
        };

        struct CountingEngine
        {
            CountingEngine()
            {
                values.AddBuiltInConstants();
                functions.AddBuiltInFunctions();
                expression.SetValueList (&values);
                expression.SetFunctionList (&functions);
            }
            Expr::ValueList values;
            Expr::FunctionList functions;
            CountingExpression expression;
        };

        TEST (AbortCountdown, FirstPollsOnThe200001stEvaluationThenEvery200001)
        {
            CountingEngine engine;
            engine.expression.Parse ("x"); // one node evaluation per Compute
            for (int i = 0; i < 200000; ++i)
                engine.expression.Compute();
            EXPECT_EQ (engine.expression.polls, 0);
            engine.expression.Compute();
            EXPECT_EQ (engine.expression.polls, 1);
            for (int i = 0; i < 200000; ++i)
                engine.expression.Compute();
            EXPECT_EQ (engine.expression.polls, 1);
            engine.expression.Compute();
            EXPECT_EQ (engine.expression.polls, 2);
        }

        TEST (AbortCountdown, CountsEveryNodeAndCarriesOverBetweenParses)
        {
            CountingEngine engine;
            engine.expression.Parse ("sqrt(x) + 2 * x"); // 6 nodes
            for (int i = 0; i < 33333; ++i)              // 199998 evaluations
                engine.expression.Compute();
            engine.expression.Parse ("x; x"); // 3 nodes: the 199999th to 200001st
            engine.expression.Compute();
            EXPECT_EQ (engine.expression.polls, 1);
        }

        TEST (AbortCountdown, AnAbortingHookStopsThe200001stEvaluation)
        {
            CountingEngine engine;
            engine.expression.abortOnPoll = true;
            engine.expression.Parse ("x");
            for (int i = 0; i < 6; ++i)
                engine.expression.Compute();
            // 9 nodes per Compute, evaluated as: sequence, n =, +, n, 1, m =, +, m, 1.
            // 6 + 22221 * 9 = 199995 evaluations; the 200001st is the "m =" of the
            // next computation, after n was stored but before m is.
            engine.expression.Parse ("n = n + 1; m = m + 1");
            for (int i = 0; i < 22221; ++i)
                engine.expression.Compute();
            EXPECT_THROW (engine.expression.Compute(), Expr::AbortException);
            EXPECT_EQ (engine.expression.polls, 1);
            EXPECT_EQ (*engine.values.AddressOf ("n"), 22222.0);
            EXPECT_EQ (*engine.values.AddressOf ("m"), 22221.0);
            // The tree stays usable, and the next poll is 200001 evaluations away.
            engine.expression.abortOnPoll = false;
            EXPECT_EQ (engine.expression.Compute(), 22222.0);
            EXPECT_EQ (engine.expression.polls, 1);
        }

        TEST (AbortCountdown, TheDefaultHookNeverAborts)
        {
            TestEngine engine;
            engine.expression.Parse ("x + 1");
            for (int i = 0; i < 500000; ++i)
                engine.expression.Compute();
            SUCCEED();
        }

        // --- tokenizer and tree shape ------------------------------------------------

        TEST (Tokenizer, CutsTextIntoTokensWithPositions)
        {
            Expr::Expression expression;
            Expr::Parser parser (&expression);
            parser.Tokenize ("y1 = .5*a.b_c\t# tail\n(&@,;)^-/+");
            const Expr::TokenKind expected[] = {
                Expr::TokenKind::Identifier, Expr::TokenKind::Assign, Expr::TokenKind::Number,
                Expr::TokenKind::Multiply, Expr::TokenKind::Identifier, Expr::TokenKind::OpenParen,
                Expr::TokenKind::Reference, Expr::TokenKind::DataRef, Expr::TokenKind::Comma,
                Expr::TokenKind::Semicolon, Expr::TokenKind::CloseParen, Expr::TokenKind::Power,
                Expr::TokenKind::Minus, Expr::TokenKind::Divide, Expr::TokenKind::Plus
            };
            ASSERT_EQ (parser.TokenCount(), 15);
            for (int i = 0; i < 15; ++i)
                EXPECT_EQ (parser.TokenAt (i).kind, expected[i]) << "token " << i;
            EXPECT_EQ (parser.NameAt (0), "y1");
            EXPECT_EQ (parser.NumberAt (2), 0.5);
            EXPECT_EQ (parser.TokenAt (2).start, 5);
            EXPECT_EQ (parser.TokenAt (2).end, 6);
            EXPECT_EQ (parser.NameAt (4), "a.b_c");
            EXPECT_EQ (parser.TokenAt (4).start, 8);
            EXPECT_EQ (parser.TokenAt (4).end, 12);
            EXPECT_EQ (parser.TokenAt (5).start, 21);
            EXPECT_TRUE (parser.NameAt (5).empty());
        }

        TEST (Tokenizer, YEqualsXIsFourTokensAndOneAssignmentInASequence)
        {
            Expr::ValueList values;
            Expr::Expression expression;
            expression.SetValueList (&values);
            Expr::Parser parser (&expression);
            parser.Tokenize ("y = x;");
            EXPECT_EQ (parser.TokenCount(), 4);
            std::unique_ptr<Expr::Node> root = parser.BuildRange (0, 3);
            const auto* sequence = dynamic_cast<const Expr::MultiNode*> (root.get());
            ASSERT_NE (sequence, nullptr);
            EXPECT_EQ (sequence->StatementCount(), 1);
            EXPECT_NE (dynamic_cast<const Expr::AssignNode*> (&sequence->StatementAt (0)), nullptr);
        }

        TEST (Tokenizer, RefusesANullExpression)
        {
            const auto error = CaughtFrom<Expr::NullPointerException> ([] { Expr::Parser parser (nullptr); });
            EXPECT_EQ (error.Text(), "Parser::Parser");
        }

        std::string Repeated (const std::string& text, int count)
        {
            std::string result;
            for (int i = 0; i < count; ++i)
                result += text;
            return result;
        }

        TEST (Parser, BuildsAndComputesDeeplyNestedFormulas)
        {
            TestEngine engine;
            EXPECT_EQ (engine.Evaluate ("0" + Repeated ("+1", 999)), 999.0);
            EXPECT_EQ (engine.Evaluate (Repeated ("(", 999) + "7" + Repeated (")", 999)), 7.0);
            EXPECT_EQ (engine.Evaluate (Repeated ("abs(", 499) + "-2" + Repeated (")", 499)), 2.0);
        }

        TEST (Parser, RefusesFormulasNestedTooDeeplyForTheStack)
        {
            TestEngine engine;
            // A flat sum is not nesting: the chain tests compute 100000 terms.
            const std::string nested = Repeated ("(", 100000) + "1" + Repeated (")", 100000);
            EXPECT_THROW (engine.Evaluate (nested), Expr::SyntaxException);
            EXPECT_THROW (engine.Evaluate (Repeated ("-", 100000) + "1"), Expr::SyntaxException);
            EXPECT_FALSE (engine.expression.HasTree());
        }

        // Each parse carves its tree from a fresh arena and frees the last one:
        // reusing one expression through successes and failures must give what a
        // fresh expression gives, and a node made outside any parse (from the
        // heap) must outlive the trees parsed meanwhile.
        TEST (Parser, ReparsingOneExpressionGivesWhatAFreshOneGives)
        {
            TestEngine reused;
            reused.Variable ("x") = 3.0;
            std::unique_ptr<Expr::FunctionNode> madeOutside = reused.functions.Create ("sin", &reused.expression);
            const std::string big = "0" + Repeated ("+if(below(x,2),1.5,leak(x))", 20000);
            const std::string formulas[] = { "y = x;", big, big + "+", "sin(x) * 2 + x^2 - 3", "(x", big, "leak(x) * 2", "1 / 0" };
            for (const std::string& formula : formulas)
            {
                TestEngine fresh;
                fresh.Variable ("x") = 3.0;
                double expected = 0.0;
                const bool fails = [&] {
                    try
                    {
                        expected = fresh.Evaluate (formula);
                        return false;
                    }
                    catch (const Expr::Exception&)
                    {
                        return true;
                    }
                }();
                if (fails)
                    EXPECT_THROW (reused.Evaluate (formula), Expr::Exception) << formula.substr (0, 40);
                else
                    EXPECT_EQ (reused.Evaluate (formula), expected) << formula.substr (0, 40);
            }
            EXPECT_EQ (madeOutside->Name(), "sin");
            madeOutside.reset();
            EXPECT_EQ (reused.Evaluate ("x"), 3.0);
        }

        TEST (Tokenizer, ReadsLongLiteralsLikeTheCLibrary)
        {
            TestEngine engine;
            EXPECT_EQ (engine.Evaluate (std::string (400, '9')), std::numeric_limits<double>::infinity());
            EXPECT_EQ (engine.Evaluate ("." + std::string (400, '0') + "1"), 0.0);
            EXPECT_EQ (engine.Evaluate ("123456789012345678901234567890"), 123456789012345678901234567890.0);
        }

    } // namespace
} // namespace ExprTest
