// A tree whose order of evaluation is known takes its count from the abort
// countdown once per computation; skipped branches and errors must leave the
// countdown exactly where counting node by node would.
#include "TestEngine.h"

namespace ExprTest
{
    namespace
    {

        class PollCountingExpression : public Expr::Expression
        {
        public:
            bool CheckAbort() override
            {
                ++polls;
                return false;
            }
            int polls = 0;
        };

        struct CountdownRow
        {
            std::string formula;
            int evaluationsPerComputation; // node evaluations, counted one by one
        };

        void PrintTo (const CountdownRow& row, std::ostream* out)
        {
            *out << "\"" << row.formula << "\"";
        }

        // Computes the formula a number of times, then finds where the countdown
        // stands by computing "x" (one evaluation each) until the next poll.
        int EvaluationsCountedFor (const std::string& formula, int computations)
        {
            Expr::ValueList values;
            values.AddBuiltInConstants();
            Expr::FunctionList functions;
            functions.AddBuiltInFunctions();
            functions.Add (std::make_unique<LeakFactory>());
            PollCountingExpression expression;
            expression.SetValueList (&values);
            expression.SetFunctionList (&functions);
            expression.Parse (formula);
            for (int i = 0; i < computations; ++i)
            {
                try
                {
                    expression.Compute();
                }
                catch (const Expr::Exception&)
                {
                }
            }
            const int pollsBefore = expression.polls;
            expression.Parse ("x");
            int untilPoll = 0;
            while (expression.polls == pollsBefore)
            {
                expression.Compute();
                ++untilPoll;
            }
            // Polls come with every 200001st evaluation after construction.
            return (pollsBefore + 1) * 200001 - untilPoll;
        }

        class SettledCountdown : public ::testing::TestWithParam<CountdownRow>
        {
        };

        TEST_P (SettledCountdown, EndsWhereCountingEachNodeWould)
        {
            const CountdownRow& row = GetParam();
            // 1000 computations stay clear of the poll; 30000 of the larger ones
            // cross it, so that one of them is counted node by node.
            for (int computations : { 1, 1000, 30000 })
                EXPECT_EQ (EvaluationsCountedFor (row.formula, computations), computations * row.evaluationsPerComputation)
                    << computations << " computations";
        }

        INSTANTIATE_TEST_SUITE_P (Table, SettledCountdown, ::testing::Values (CountdownRow { "x * 2", 3 }, CountdownRow { "y = x; y + 1", 6 }, CountdownRow { "-(x ^ 2)", 4 }, CountdownRow { "if(1, 2, 3 + 4)", 3 }, CountdownRow { "if(0, 3 + 4, 2)", 3 }, CountdownRow { "if(if(0, 1, 0), 3 + 4, if(1, 5, 6 * 7))", 7 }, CountdownRow { "select(-1, 1, 2 + 2, 3)", 4 }, CountdownRow { "select(0, 1 + 1, 2, 3)", 3 }, CountdownRow { "select(5, 1, 2 * 2, 3)", 3 }, CountdownRow { "select(5, 1, 2 * 2)", 5 }, CountdownRow { "and(0, 1 + 2)", 2 }, CountdownRow { "and(1, 1 + 2)", 5 }, CountdownRow { "or(1, 1 + 2)", 2 }, CountdownRow { "or(0, 1 + 2)", 5 },
                                                                              // Numbers folded at parse time count as the nodes they replaced.
                                                                              CountdownRow { "2 * 3 + 4 * 5", 7 }, CountdownRow { "x + 2 * 3", 5 }, CountdownRow { "-(-(2))", 3 }, CountdownRow { "if(x, 1 - 2 * 3, -4 / 2)", 6 }, CountdownRow { "1 / (2 - 2) + 1", 5 },
                                                                              // Errors: the evaluations before the throw count, the rest do not.
                                                                              CountdownRow { "1 / 0", 2 }, CountdownRow { "(2 + 3) / (1 - 1) + 7", 5 }, CountdownRow { "if(1, 2 / 0, 5) + 1", 5 }, CountdownRow { "if(0, 5, 2 / 0) + 1", 5 }, CountdownRow { "2 ^ (1 / 0) * 3", 5 }, CountdownRow { "(-8) ^ (1 / 3) + 1", 7 }, CountdownRow { "sqrt(-1) + 2", 4 }, CountdownRow { "logn(5, 1) + 2", 3 }, CountdownRow { "logn(1 + 1, 1 * 1) + 2", 5 }, CountdownRow { "poly(1000, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, "
                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, "
                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, "
                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, "
                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108) - 1",
                                                                                                                                                                                                                                                                                                                                                                                                                                                                      111 },
                                                                              // A one-statement sequence is computed from its statement, but counts as before.
                                                                              CountdownRow { "y = x;", 3 }, CountdownRow { "y = 1 / 0;", 4 }, CountdownRow { "sin(x);", 3 },
                                                                              // A function of unknown order keeps its tree counting node by node.
                                                                              CountdownRow { "leak(2 / 0)", 3 }, CountdownRow { "leak(x) + 1", 4 }));

    } // namespace
} // namespace ExprTest
