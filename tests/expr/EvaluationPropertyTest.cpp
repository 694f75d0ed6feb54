// Random formulas against a plain recursive evaluation of the same tree, and
// the memory the parser and the trees are built in.
#include "TestEngine.h"

#include <expr/ArgumentList.h>
#include <expr/LibraryMath.h>

#include "HugePages.h"
#include "NodeArena.h"
#include "Parser.h"
#include "TokenLevels.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace ExprTest
{
    namespace
    {

        /** The value of a formula, or that it fails: any operation evaluated
        that reports an error (a zero divisor, pow or sin setting errno) makes
        the whole formula fail, as it throws at once in the engine. */
        struct Reference
        {
            double value = 0.0;
            bool fails = false;
        };

        /** A random formula as text, with its value computed the plain way, step
        by step, for given x and y. */
        struct Formula
        {
            std::string text;
            std::function<Reference (double, double)> evaluate;
        };

        class FormulaMaker
        {
        public:
            explicit FormulaMaker (std::uint32_t seed)
                : random (seed) {}

            Formula Make (int depth)
            {
                const int choice = Pick (depth <= 0 ? 3 : 11);
                switch (choice)
                {
                    case 0: return Number();
                    case 1: return Variable ("x", true);
                    case 2: return Variable ("y", false);
                    case 3: return Chain (depth);
                    case 4: return Square (depth);
                    case 5: return Call ("sin", depth, [] (double v) { return Expr::LibraryMath::Sin (v); });
                    case 6: return SquareRootOfAbs (depth);
                    case 7: return Condition (depth);
                    case 8: return Negation (depth);
                    case 9: return Chain (depth);
                    default: return Square (depth);
                }
            }

        private:
            int Pick (int count) { return std::uniform_int_distribution<int> (0, count - 1) (random); }

            Formula Number()
            {
                static const char* const literals[] = { "0", "1", "2", "3", "0.5", "2.5", "0.1", "10", "1000", "7.25" };
                const std::string text = literals[Pick (10)];
                const double value = std::strtod (text.c_str(), nullptr);
                return { text, [value] (double, double) { return Reference { value, false }; } };
            }

            static Formula Variable (const std::string& name, bool isX)
            {
                return { name, [isX] (double x, double y) { return Reference { isX ? x : y, false }; } };
            }

            // a op b op c ... of one level, left to right, each operand in
            // parentheses; long enough at times to be evaluated as a chain.
            Formula Chain (int depth)
            {
                const bool additive = Pick (2) == 0;
                const int length = depth <= 2 && Pick (5) == 0 ? 17 + Pick (4) : 1 + Pick (3);
                std::vector<Formula> operands;
                std::vector<char> operators;
                std::string text = "(" + (operands.emplace_back (Make (depth - 1))).text + ")";
                for (int i = 0; i < length; ++i)
                {
                    const char op = additive ? "+-"[Pick (2)] : "*/"[Pick (2)];
                    operators.push_back (op);
                    operands.push_back (Make (depth - 1));
                    text += std::string (1, op) + "(" + operands.back().text + ")";
                }
                return { text, [operands, operators] (double x, double y) {
                            Reference left = operands[0].evaluate (x, y);
                            for (size_t i = 0; i < operators.size(); ++i)
                            {
                                const Reference right = operands[i + 1].evaluate (x, y);
                                if (left.fails || right.fails)
                                    return Reference { 0.0, true };
                                switch (operators[i])
                                {
                                    case '+': left.value = left.value + right.value; break;
                                    case '-': left.value = left.value - right.value; break;
                                    case '*': left.value = left.value * right.value; break;
                                    default:
                                        if (right.value == 0.0)
                                            return Reference { 0.0, true };
                                        left.value = left.value / right.value;
                                }
                            }
                            return left;
                        } };
            }

            Formula Square (int depth)
            {
                const Formula base = Pick (2) == 0 ? Variable ("x", true) : Make (depth - 1);
                const bool grouped = base.text != "x";
                volatile double two = 2.0; // pow itself, not a square the compiler makes
                const double exponent = two;
                return { (grouped ? "(" + base.text + ")" : base.text) + "^2", [base, exponent] (double x, double y) {
                            const Reference b = base.evaluate (x, y);
                            if (b.fails)
                                return b;
                            errno = 0;
                            const double value = Expr::LibraryMath::Pow (b.value, exponent);
                            return Reference { value, errno != 0 };
                        } };
            }

            Formula Call (const std::string& name, int depth, double (*function) (double))
            {
                const Formula argument = Make (depth - 1);
                return { name + "(" + argument.text + ")", [argument, function] (double x, double y) {
                            const Reference a = argument.evaluate (x, y);
                            if (a.fails)
                                return a;
                            errno = 0;
                            const double value = function (a.value);
                            return Reference { value, errno != 0 };
                        } };
            }

            Formula SquareRootOfAbs (int depth)
            {
                const Formula argument = Make (depth - 1);
                return { "sqrt(abs(" + argument.text + "))", [argument] (double x, double y) {
                            const Reference a = argument.evaluate (x, y);
                            if (a.fails)
                                return a;
                            errno = 0;
                            const double value = Expr::LibraryMath::Sqrt (std::fabs (a.value));
                            return Reference { value, errno != 0 };
                        } };
            }

            // Only the branch taken is evaluated, so only its errors count.
            Formula Condition (int depth)
            {
                const Formula a = Make (depth - 1);
                const Formula b = Make (depth - 1);
                const Formula then = Make (depth - 1);
                const Formula otherwise = Make (depth - 1);
                return { "if(below(" + a.text + ", " + b.text + "), " + then.text + ", " + otherwise.text + ")",
                         [a, b, then, otherwise] (double x, double y) {
                             const Reference left = a.evaluate (x, y);
                             const Reference right = b.evaluate (x, y);
                             if (left.fails || right.fails)
                                 return Reference { 0.0, true };
                             return left.value < right.value ? then.evaluate (x, y) : otherwise.evaluate (x, y);
                         } };
            }

            Formula Negation (int depth)
            {
                const Formula operand = Make (depth - 1);
                return { "-(" + operand.text + ")", [operand] (double x, double y) {
                            Reference r = operand.evaluate (x, y);
                            r.value = -r.value;
                            return r;
                        } };
            }

            std::mt19937 random;
        };

        // Every formula is computed for several inputs in a row, so that the
        // settled countdown, the per-node one (long chains) and the square's
        // short way and pow's way are all taken.
        TEST (Evaluation, RandomFormulasGiveTheBitsOfAPlainEvaluation)
        {
            const double inputs[] = { 0.0, -0.0, 1.0, -1.5, 3762.3682180706942, -1999.25, 0.1, 1e-170, 1e155, -7e300, 94906267.0, 1.0 / 3.0 };
            FormulaMaker maker (20261208);
            TestEngine engine;
            int failures = 0;
            int values = 0;
            for (int round = 0; round < 600; ++round)
            {
                const Formula formula = maker.Make (1 + round % 4);
                ASSERT_NO_THROW (engine.expression.Parse (formula.text)) << formula.text;
                for (const double x : inputs)
                {
                    const double y = inputs[(static_cast<size_t> (round) + 5) % std::size (inputs)];
                    engine.Variable ("x") = x;
                    engine.Variable ("y") = y;
                    const Reference expected = formula.evaluate (x, y);
                    try
                    {
                        const double value = engine.expression.Compute();
                        EXPECT_FALSE (expected.fails) << formula.text << " x=" << x << " y=" << y;
                        if (! (std::isnan (value) && std::isnan (expected.value)))
                        {
                            EXPECT_EQ (BitsOf (value), BitsOf (expected.value)) << formula.text << " x=" << x << " y=" << y;
                        }
                        ++values;
                    }
                    catch (const Expr::Exception&)
                    {
                        EXPECT_TRUE (expected.fails) << formula.text << " x=" << x << " y=" << y;
                        ++failures;
                    }
                }
            }
            // Both outcomes were exercised, not only one of them.
            EXPECT_GT (values, 1000);
            EXPECT_GT (failures, 10);
        }

        // The error indicator is still errno itself: a power or a checked
        // function clears it, and a function without the protocol that leaves
        // it set before them is forgiven, after them is not.
        TEST (Evaluation, PowersAndCheckedFunctionsClearAndTestErrnoItself)
        {
            struct Row
            {
                const char* formula;
                bool fails;
            };
            const Row rows[] = {
                { "atan2(leak(1), x^2)", false },
                { "atan2(x^2, leak(1))", true },
                { "atan2(leak(1), sin(x))", false },
                { "atan2(sin(x), leak(1))", true },
                { "leak(x)^2", true },
                { "sin(leak(x))", true },
                { "(leak(x) + 1)^2", true },
                { "x^2 + leak(1)", false },
                { "mod(leak(1), x^2)", false },
            };
            TestEngine engine;
            engine.Variable ("x") = 3.0;
            for (const Row& row : rows)
            {
                engine.expression.Parse (row.formula);
                bool failed = false;
                try
                {
                    engine.expression.Compute();
                }
                catch (const Expr::MathException&)
                {
                    failed = true;
                }
                EXPECT_EQ (failed, row.fails) << row.formula;
            }
            std::thread other ([] {
                // Another thread's errno is its own, as is the engine's view of it.
                TestEngine mine;
                mine.Variable ("x") = 3.0;
                EXPECT_EQ (mine.Evaluate ("sin(x)^2"), std::pow (std::sin (3.0), 2.0));
                EXPECT_THROW (mine.Evaluate ("sin(leak(x))"), Expr::MathException);
            });
            other.join();
        }

        // The levels index against a walk over every token, for every range of
        // random token lists, balanced or not.
        TEST (Levels, TheIndexedWalkVisitsWhatAPlainWalkVisits)
        {
            const char* const pieces[] = { "(", ")", "a", "1", "+", "-", "*", "^", ",", ";", "=", "f(" };
            std::mt19937 random (7);
            TestEngine engine;
            for (int round = 0; round < 300; ++round)
            {
                std::string text;
                const int length = 1 + static_cast<int> (random() % 14);
                for (int i = 0; i < length; ++i)
                    text += pieces[random() % std::size (pieces)];
                if (round % 2 == 0) // mostly balanced every other time
                {
                    int open = 0;
                    for (const char c : text)
                    {
                        if (c == '(')
                            ++open;
                        else if (c == ')')
                            --open;
                    }
                    for (; open > 0; --open)
                        text += ")";
                }
                Expr::Parser parser (&engine.expression);
                parser.Tokenize (text);
                const int count = parser.TokenCount();

                // The index covers exactly the ranges that start and end at one
                // level, computed here the plain way, of a balanced list.
                Expr::LargeArray<Expr::Token> tokens;
                tokens.Reset (static_cast<size_t> (count));
                std::vector<int> level;
                std::vector<int> open;
                bool balanced = true;
                for (int i = 0; i < count; ++i)
                {
                    tokens.PushBack (parser.TokenAt (i));
                    const Expr::TokenKind kind = parser.TokenAt (i).kind;
                    if (kind == Expr::TokenKind::CloseParen)
                    {
                        if (open.empty())
                            balanced = false;
                        else
                            open.pop_back();
                    }
                    level.push_back (open.empty() ? -1 : open.back());
                    if (kind == Expr::TokenKind::OpenParen)
                        open.push_back (i);
                }
                balanced = balanced && open.empty();
                Expr::TokenLevels index;
                index.Build (tokens);
                for (int first = 0; first < count; ++first)
                    for (int last = first; last < count; ++last)
                    {
                        const bool covered = balanced && level[static_cast<size_t> (first)] == level[static_cast<size_t> (last)]
                                          && parser.TokenAt (first).kind != Expr::TokenKind::CloseParen
                                          && parser.TokenAt (last).kind != Expr::TokenKind::OpenParen;
                        ASSERT_EQ (index.Covers (first, last), covered) << text << " " << first << ".." << last;
                    }

                for (int first = 0; first < count; ++first)
                    for (int last = first; last < count; ++last)
                    {
                        std::vector<int> expected;
                        bool expectThrow = false;
                        int depth = 0;
                        for (int i = first; i <= last && ! expectThrow; ++i)
                        {
                            const Expr::TokenKind kind = parser.TokenAt (i).kind;
                            if (kind == Expr::TokenKind::OpenParen)
                            {
                                if (depth++ == 0)
                                    expected.push_back (i);
                            }
                            else if (kind == Expr::TokenKind::CloseParen)
                            {
                                if (--depth < 0)
                                    expectThrow = true;
                                else if (depth == 0)
                                    expected.push_back (i);
                            }
                            else if (depth == 0)
                            {
                                expected.push_back (i);
                            }
                        }
                        expectThrow = expectThrow || depth > 0;

                        // Only the kinds the index lists are compared: visitors
                        // ignore the others, which the index may pass over.
                        std::vector<int> visited;
                        bool threw = false;
                        try
                        {
                            parser.WalkLevel (first, last, last, [&] (int i) { visited.push_back (i); });
                        }
                        catch (const Expr::UnmatchedParenthesisException&)
                        {
                            threw = true;
                        }
                        const auto listed = [&] (const std::vector<int>& visits) {
                            std::vector<int> kept;
                            for (const int i : visits)
                            {
                                const Expr::TokenKind kind = parser.TokenAt (i).kind;
                                if (kind != Expr::TokenKind::Identifier && kind != Expr::TokenKind::Number)
                                    kept.push_back (i);
                            }
                            return kept;
                        };
                        ASSERT_EQ (threw, expectThrow) << text << " " << first << ".." << last;
                        if (! threw)
                        {
                            ASSERT_EQ (listed (visited), listed (expected)) << text << " " << first << ".." << last;
                        }
                    }
            }
        }

        TEST (LargeMemory, TablesKeepTheirContentsAcrossTheHugePageSize)
        {
            const size_t counts[] = { 0, 1, 1000, Expr::LargeAllocationSize / sizeof (int) - 1, Expr::LargeAllocationSize / sizeof (int),
                                      Expr::LargeAllocationSize / sizeof (int) + 1, 3 * Expr::LargeAllocationSize / sizeof (int) + 7 };
            Expr::LargeArray<int> table;
            for (const size_t count : counts)
            {
                table.Reset (count);
                for (size_t i = 0; i < count; ++i)
                    table.PushBack (static_cast<int> (i * 2654435761u));
                EXPECT_THROW (table.PushBack (0), std::length_error) << count;
                ASSERT_EQ (table.Size(), count);
                for (size_t i = 0; i < count; ++i)
                    ASSERT_EQ (table[i], static_cast<int> (i * 2654435761u)) << count << " at " << i;
                if (count * sizeof (int) >= Expr::LargeAllocationSize)
                {
                    EXPECT_EQ (reinterpret_cast<std::uintptr_t> (table.Data()) % Expr::LargeAllocationSize, 0u) << count;
                }
                table.Fill (count, -3);
                for (size_t i = 0; i < count; i += 997)
                    ASSERT_EQ (table[i], -3);
            }
        }

        // An argument list keeps its elements in order through every growth,
        // in an arena or on the heap, and destroys each one once (the sanitizer
        // build sees a leak or a double destruction).
        TEST (Arguments, ListsKeepTheirElementsThroughGrowthInAnArenaOrOnTheHeap)
        {
            for (const bool inArena : { false, true })
            {
                Expr::NodeArena arena;
                std::unique_ptr<Expr::NodeArena::Scope> scope;
                if (inArena)
                    scope = std::make_unique<Expr::NodeArena::Scope> (arena);
                for (size_t count = 0; count < 40; count += 3)
                {
                    Expr::ArgumentList<std::unique_ptr<std::string>> list;
                    if (count % 2 == 1)
                        list.reserve (count / 2);
                    for (size_t i = 0; i < count; ++i)
                        list.push_back (std::make_unique<std::string> (std::string (i + 20, static_cast<char> ('a' + i % 26))));
                    const auto& readOnly = list;
                    ASSERT_EQ (readOnly.size(), count);
                    EXPECT_EQ (readOnly.empty(), count == 0);
                    size_t i = 0;
                    for (const auto& element : readOnly)
                    {
                        ASSERT_EQ (*element, std::string (i + 20, static_cast<char> ('a' + i % 26))) << count << " " << inArena;
                        ++i;
                    }
                    EXPECT_EQ (i, count);
                    Expr::ArgumentList<double*> cells;
                    double cell = 0.0;
                    cells.push_back (&cell);
                    *cells[0] = 2.5;
                    EXPECT_EQ (cell, 2.5);
                }
            }
        }

        // Nodes of every size are carved from the arena at the alignment their
        // class needs, those that need 16 bytes included.
        struct Placement
        {
            std::uintptr_t address;
            size_t alignment;
        };
        std::vector<Placement> placements;

        template<class Extra>
        class PlacedNode : public Expr::FunctionNode
        {
        public:
            explicit PlacedNode (Expr::Expression* owner)
                : FunctionNode (owner)
            {
                placements.push_back ({ reinterpret_cast<std::uintptr_t> (this), alignof (PlacedNode) });
            }

        protected:
            double Calculate() override { return static_cast<double> (sizeof (extra)); }

        private:
            Extra extra {};
        };

        template<class Extra>
        class PlacedFactory : public Expr::FunctionFactory
        {
        public:
            explicit PlacedFactory (std::string functionName)
                : name (std::move (functionName)) {}
            std::string FunctionName() override { return name; }
            std::unique_ptr<Expr::FunctionNode> CreateNode (Expr::Expression* e) override { return std::make_unique<PlacedNode<Extra>> (e); }

        private:
            std::string name;
        };

        TEST (NodeMemory, ArenaNodesAreAlignedAsTheirClassesNeed)
        {
            struct Odd
            {
                char bytes[3];
            };
            TestEngine engine;
            engine.functions.Add (std::make_unique<PlacedFactory<long double>> ("wide"));
            engine.functions.Add (std::make_unique<PlacedFactory<Odd>> ("odd"));
            engine.functions.Add (std::make_unique<PlacedFactory<char>> ("narrow"));
            std::string formula = "0";
            for (int i = 0; i < 3000; ++i)
                formula += i % 3 == 0 ? "+wide()*x" : i % 3 == 1 ? "-odd()+1"
                                                                 : "+narrow()^x";
            placements.clear();
            engine.Variable ("x") = 1.0;
            EXPECT_EQ (engine.Evaluate (formula), 1000.0 * sizeof (long double) - 1000.0 * sizeof (Odd) + 1000.0 + 1000.0);
            ASSERT_EQ (placements.size(), 3000u);
            EXPECT_TRUE (std::any_of (placements.begin(), placements.end(), [] (const Placement& p) { return p.alignment == 16; }));
            for (const Placement& placement : placements)
                ASSERT_EQ (placement.address % placement.alignment, 0u) << placement.alignment;
        }

        // Nodes made outside a parse come from the heap, the others from their
        // tree's arena; deleting either kind in any order, on any thread, frees
        // exactly the heap ones (run under the address sanitizer, a mistake
        // either way is a bad free or a leak).
        TEST (NodeMemory, HeapAndArenaNodesAreEachGivenBackTheirOwnWay)
        {
            TestEngine engine;
            std::vector<std::unique_ptr<Expr::FunctionNode>> loose;
            for (int round = 0; round < 50; ++round)
            {
                loose.push_back (engine.functions.Create ("sin", &engine.expression));
                engine.expression.Parse ("if(below(x, " + std::to_string (round) + "), sin(x) * 2, x^2) + leak(x)");
                loose.push_back (engine.functions.Create ("leak", &engine.expression));
                if (round % 3 == 0)
                    loose.erase (loose.begin());
            }
            std::thread other ([&loose] {
                for (size_t i = 0; i < loose.size(); i += 2)
                    loose[i].reset();
                TestEngine mine;
                EXPECT_EQ (mine.Evaluate ("1 + 2 * 3"), 7.0);
            });
            other.join();
            engine.Variable ("x") = 4.0;
            EXPECT_EQ (engine.expression.Compute(), std::sin (4.0) * 2.0 + 4.0); // the last formula, x below 49
            loose.clear();
            engine.expression.Parse ("x");
            EXPECT_EQ (engine.expression.Compute(), 4.0);
        }

    } // namespace
} // namespace ExprTest
