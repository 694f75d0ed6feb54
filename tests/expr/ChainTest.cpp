// Long chains of one operator level are built and evaluated in a loop; they
// must give the values, errors and evaluation order of the nested splits.
#include "TestEngine.h"

#include <expr/LibraryMath.h>

#include "Parser.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace ExprTest
{
    namespace
    {

        std::string Joined (const std::string& head, const std::string& link, int count)
        {
            std::string text = head;
            for (int i = 0; i < count; ++i)
                text += link;
            return text;
        }

        struct ChainRow
        {
            std::string label;
            std::string formula;
            Outcome expected;
        };

        void PrintTo (const ChainRow& row, std::ostream* out)
        {
            *out << row.label;
        }

        // The expected values are computed in the same left-to-right order.
        double SumOfTenths (int count)
        {
            double sum = 0.0;
            for (int i = 0; i < count; ++i)
                sum += 0.1;
            return sum;
        }

        std::vector<ChainRow> ChainRows()
        {
            std::vector<ChainRow> rows;
            for (int length : { 3, 16, 17, 1000, 100000 })
            {
                const std::string n = std::to_string (length);
                rows.push_back ({ "sum of " + n, Joined ("0", "+1", length), Is (length) });
                rows.push_back ({ "tenths " + n, Joined ("0", "+0.1", length), Is (SumOfTenths (length)) });
                rows.push_back ({ "difference " + n, Joined (n, "-1", length), Is (0) });
                rows.push_back ({ "mixed signs " + n, Joined ("1", "-1+1", length), Is (1) });
                rows.push_back ({ "product " + n, Joined ("1", "*2*0.5", length), Is (1) });
                rows.push_back ({ "quotient " + n, Joined ("3", "/1", length), Is (3) });
                rows.push_back ({ "power " + n, Joined ("1", "^2", length), Is (1) });
                rows.push_back ({ "signed operands " + n, Joined ("-1", "+-1", length), Is (-1.0 - length) });
                // With a variable at the start nothing folds into one number.
                rows.push_back ({ "variable sum " + n, Joined ("x", "+1", length), Is (length) });
                rows.push_back ({ "variable difference " + n, Joined ("x", "-1", length), Is (-length) });
                rows.push_back ({ "variable product " + n, Joined ("(x+1)", "*2*0.5", length), Is (1) });
                rows.push_back ({ "variable quotient " + n, Joined ("(x+3)", "/1", length), Is (3) });
                rows.push_back ({ "zero divisor first " + n, Joined ("1/0", "/1", length), Fails (DivideByZero) });
                rows.push_back ({ "zero divisor last " + n, Joined ("1", "/1", length) + "/0", Fails (DivideByZero) });
                rows.push_back ({ "power error " + n, Joined ("(-8)^(1/3)", "^1", length), Fails (Math, "^") });
                rows.push_back ({ "dangling operator " + n, Joined ("1", "+1", length) + "+",
                                  Fails (Syntax, 0, 2 * length + 1) });
                rows.push_back ({ "doubled operator " + n, Joined ("1", "*1", length) + "**1",
                                  Fails (Syntax, 0, 2 * length + 1) });
            }
            return rows;
        }

        class Chains : public ::testing::TestWithParam<ChainRow>
        {
        };

        TEST_P (Chains, ComputeAsNestedSplitsWould)
        {
            ExpectRow ({ GetParam().formula, GetParam().expected });
        }

        INSTANTIATE_TEST_SUITE_P (Table, Chains, ::testing::ValuesIn (ChainRows()));

        // (c = c + 1) in every divisor counts the divisors evaluated: a divisor is
        // evaluated before its dividend, so the chain runs from the right and stops
        // at the zero divisor.
        TEST (Chains, EvaluateDivisorsFromTheRightAndStopAtZero)
        {
            for (int length : { 10, 40, 1000 })
            {
                TestEngine engine;
                const int zeroAt = length / 4; // counted from the left, 1-based
                std::string formula = "1";
                for (int i = 1; i <= length; ++i)
                    formula += i == zeroAt ? "/((c = c + 1) * 0)" : "/(c = c + 1)";
                engine.Variable ("c") = 0;
                EXPECT_THROW (engine.Evaluate (formula), Expr::DivideByZeroException) << length;
                EXPECT_EQ (engine.Variable ("c"), length - zeroAt + 1) << length;
            }
        }

        TEST (Chains, EvaluateOperandsLeftToRight)
        {
            for (int length : { 5, 40, 1000 })
            {
                TestEngine engine;
                // Each term doubles t and adds the term's number, so the result
                // records the order in which the terms ran.
                std::string formula = "0";
                for (int i = 1; i <= length; ++i)
                    formula += " + (t = t * 2 + " + std::to_string (i % 2) + ") * 0";
                engine.Variable ("t") = 0;
                engine.Evaluate (formula);
                double expected = 0;
                for (int i = 1; i <= length; ++i)
                    expected = expected * 2 + i % 2;
                EXPECT_EQ (engine.Variable ("t"), expected) << length;
            }
        }

        class PollingExpression : public Expr::Expression
        {
        public:
            bool CheckAbort() override { return true; }
        };

        // With r evaluations left before the poll, a chain of terms (a_j = 1) is
        // stopped inside term j + 1 when r = links + 2j: the links are evaluated
        // first, then every term's assignment and its number.
        TEST (Chains, CountEveryLinkAsOneEvaluationInTheNestedOrder)
        {
            for (int terms : { 10, 40, 300 })
            {
                for (int stored : { 0, 3, 9 })
                {
                    Expr::ValueList values;
                    Expr::FunctionList functions;
                    PollingExpression expression;
                    expression.SetValueList (&values);
                    expression.SetFunctionList (&functions);
                    expression.Parse ("x");
                    const int links = terms - 1;
                    const int left = links + 2 * stored + 1; // lands on the next term's number
                    for (int i = 0; i < 200000 - left; ++i)
                        expression.Compute();

                    std::string formula = "(a0 = 1)";
                    for (int j = 1; j < terms; ++j)
                        formula += " + (a" + std::to_string (j) + " = 1)";
                    expression.Parse (formula);
                    EXPECT_THROW (expression.Compute(), Expr::AbortException);
                    for (int j = 0; j < terms; ++j)
                        EXPECT_EQ (*values.AddressOf ("a" + std::to_string (j)), j < stored ? 1.0 : 0.0)
                            << terms << " terms, " << stored << " stored, term " << j;
                }
            }
        }

        // Ranges that cut a parenthesised group in two are walked token by token and
        // report the parenthesis, as they always did.
        TEST (Levels, ARangeCuttingAGroupReportsItsUnmatchedParenthesis)
        {
            TestEngine engine;
            Expr::Parser parser (&engine.expression);
            parser.Tokenize ("(1+2)*(3)"); // tokens 0..8
            struct Cut
            {
                int first;
                int last;
                int errorToken;
            };
            for (const Cut& cut : { Cut { 1, 4, 4 }, Cut { 0, 2, 2 }, Cut { 4, 8, 4 }, Cut { 2, 6, 4 }, Cut { 5, 7, 7 } })
            {
                try
                {
                    parser.BuildRange (cut.first, cut.last);
                    ADD_FAILURE() << cut.first << ".." << cut.last << " built";
                }
                catch (const Expr::UnmatchedParenthesisException& error)
                {
                    EXPECT_EQ (error.Start(), parser.TokenAt (cut.errorToken).start) << cut.first << ".." << cut.last;
                }
            }
            EXPECT_NE (parser.BuildRange (0, 4), nullptr); // (1+2)
            EXPECT_NE (parser.BuildRange (6, 8), nullptr); // (3)
        }

        TEST (Nesting, RefusesTheThousandthLevelOfParenthesesSignsAndCalls)
        {
            TestEngine engine;
            const auto nestedIn = [] (const std::string& open, const std::string& core, const std::string& close, int count) {
                std::string text;
                for (int i = 0; i < count; ++i)
                    text += open;
                text += core;
                for (int i = 0; i < count; ++i)
                    text += close;
                return text;
            };
            EXPECT_EQ (engine.Evaluate (nestedIn ("(", "1", ")", 999)), 1.0);
            EXPECT_THROW (engine.Evaluate (nestedIn ("(", "1", ")", 1000)), Expr::SyntaxException);
            EXPECT_THROW (engine.Evaluate (nestedIn ("(", "1", ")", 1001)), Expr::SyntaxException);
            EXPECT_EQ (engine.Evaluate (nestedIn ("-", "1", "", 998)), 1.0);
            EXPECT_THROW (engine.Evaluate (nestedIn ("-", "1", "", 1000)), Expr::SyntaxException);
            EXPECT_THROW (engine.Evaluate (nestedIn ("abs(", "1", ")", 1000)), Expr::SyntaxException);
            // Chains inside every level do not add to the count.
            double expected = 1.0;
            for (int i = 0; i < 999; ++i)
                expected = 1.0 + 2.0 * expected;
            EXPECT_EQ (engine.Evaluate (nestedIn ("(1+2*", "1", ")", 999)), expected);
        }

        // x ^ 2 takes a short way for most x; it must give pow's bits and error
        // indicator for every x, near ties (where pow and x * x differ) included.
        TEST (Power, SquaresAsTheLibraryPowDoes)
        {
            volatile double two = 2.0; // keeps the compiler from turning pow(x, 2) into x * x
            std::vector<double> inputs = { -0x1.d3c117b02c8bbp+100, -0x1.721d37911fbe4p-492, -0x1.a3ea8abcd2549p-5,
                                           0x1.4d7312c42bec8p-141, 0x1.819c4525ae897p+454, 94906267.0, 3.0, 0.0, -0.0,
                                           1e-200, 1e-160, 1e154, 1.5e154, 1.0, 0.5, 3762.3682180706942 };
            std::uint64_t state = 88172645463325252u;
            for (int i = 0; i < 20000; ++i)
            {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                const std::uint64_t exponent = 1023 - 600 + state % 1200;
                const std::uint64_t bits = (state & 0x800FFFFFFFFFFFFFu) | (exponent << 52);
                double x = 0.0;
                std::memcpy (&x, &bits, sizeof x);
                inputs.push_back (x);
            }
            TestEngine engine;
            engine.expression.Parse ("x ^ 2");
            for (const double x : inputs)
            {
                engine.Variable ("x") = x;
                errno = 0;
                const double expected = Expr::LibraryMath::Pow (x, two);
                const bool fails = errno != 0;
                try
                {
                    const double value = engine.expression.Compute();
                    EXPECT_FALSE (fails) << x;
                    EXPECT_EQ (BitsOf (value), BitsOf (expected)) << std::hexfloat << x;
                }
                catch (const Expr::MathException&)
                {
                    EXPECT_TRUE (fails) << x;
                }
            }
        }

    } // namespace
} // namespace ExprTest
