// The 42 built-in functions as a table; "nan", "inf" and "leak" (returns its
// argument and leaves errno set) come from the test engine.

#include "TestEngine.h"

namespace ExprTest
{
    namespace
    {

        constexpr double pi = 3.141592653589793;
        constexpr double oneOver32767 = 3.051850947599719e-05;
        constexpr std::uint64_t positiveZero = 0x0000000000000000ull;
        constexpr std::uint64_t negativeZero = 0x8000000000000000ull;

        class BuiltInTable : public testing::TestWithParam<Row>
        {
        };

        TEST_P (BuiltInTable, GivesItsOutcome)
        {
            ExpectRow (GetParam());
        }

        const Row mathRows[] = {
            { "abs(-0)", HasBits (positiveZero) },
            { "abs(-3.5)", Is (3.5) },
            { "abs()", Fails (InvalidArgumentCount, "abs", 3, 4) },
            { "mod(7, 3)", Is (1) },
            { "mod(-7, 3)", Is (-1) },
            { "mod(7, -3)", Is (1) },
            { "mod(5.5, 2)", Is (1.5) },
            { "mod(5, 0)", Fails (Math, "mod") },
            { "mod(inf, 2)", Fails (Math, "mod") },
            { "ipart(-2.5)", Is (-2) },
            { "fpart(-2.5)", Is (-0.5) },
            { "ipart(3)", Is (3) },
            { "fpart(3)", HasBits (positiveZero) },
            { "fpart(-3)", HasBits (negativeZero) },
            { "min(3, 1, 2)", Is (1) },
            { "max(3, 1, 2)", Is (3) },
            { "min(1)", Fails (InvalidArgumentCount, "min", 3, 5) },
            { "max(1, 2, 3, 4, 5, 6, 7, 8)", Is (8) },
            { "min(1, nan, 0.5)", Is (0.5) },
            { "max(1, nan, 2)", Is (2) },
            { "min(nan, 1)", IsNaN() },
            { "max(nan, 1)", IsNaN() },
            { "min(0, -0)", HasBits (positiveZero) }, // the earliest of equal values
            { "max(-0, 0)", HasBits (negativeZero) },
            { "sqrt(-1)", Fails (Math, "sqrt") },
            { "sqrt(0)", Is (0) },
            { "sqrt(-0)", HasBits (negativeZero) },
            { "sqrt(16)", Is (4) },
            { "sin(0)", Is (0) },
            { "sin(PI / 2)", Is (1) },
            { "sin(inf)", Fails (Math, "sin") },
            { "cos(0)", Is (1) },
            { "cos(-inf)", Fails (Math, "cos") },
            { "tan(0)", Is (0) },
            { "tan(inf)", Fails (Math, "tan") },
            { "sinh(0)", Is (0) },
            { "sinh(1000)", Fails (Math, "sinh") },
            { "cosh(0)", Is (1) },
            { "cosh(-1000)", Fails (Math, "cosh") },
            { "tanh(1000)", Is (1) },
            { "tanh(-inf)", Is (-1) },
            { "asin(2)", Fails (Math, "asin") },
            { "acos(-1.5)", Fails (Math, "acos") },
            { "asin(1)", Is (pi / 2) },
            { "acos(-1)", Is (pi) },
            { "atan(inf)", Is (pi / 2) },
            { "atan2(1, 0)", Is (pi / 2) },
            { "atan2(0, -1)", Is (pi) },
            { "atan2(-1, -1)", About (-3 * pi / 4) },
            { "log(0)", Fails (Math, "log") },
            { "log(-1)", Fails (Math, "log") },
            { "ln(0)", Fails (Math, "ln") },
            { "ln(-1)", Fails (Math, "ln") },
            { "log(1000)", Is (3) },
            { "ln(1)", Is (0) },
            { "ln(E)", About (1, 1e-15) },
            { "exp(1000)", Fails (Math, "exp") },
            { "exp(0)", Is (1) },
            { "exp(-inf)", Is (0) },
            { "logn(8, 2)", Is (3) },
            { "logn(5, 1)", Fails (Math, "logn") },
            { "logn(1/0, 1)", Fails (Math, "logn") }, // the number is never evaluated
            { "logn(0, 2)", Fails (Math, "logn") },
            { "logn(8, 0)", Fails (Math, "logn") },
            { "logn(8, nan)", IsNaN() },
            { "ceil(-0.5)", HasBits (negativeZero) },
            { "ceil(1.2)", Is (2) },
            { "floor(-0.5)", Is (-1) },
            { "ceil(nan)", IsNaN() },
            { "floor(inf)", Is (std::numeric_limits<double>::infinity()) },
            { "deg(3.141592653589793)", Is (180) },
            { "rad(180)", Is (pi) },
            { "deg(1)", Is ((1 * 180.0) * 0.3183098861837907) },
            { "rad(1)", Is ((1 * pi) * 0.005555555555555556) },
            { "rect2pol(0, -2, &r, &a)", Is (2) },
            { "rect2pol(0, -2, &r, &a); r", Is (2) },
            { "rect2pol(0, -2, &r, &a); a", Is (-pi / 2 + 6.283185307179586) },
            { "rect2pol(1, 1, &r, &a); a", Is (pi / 4) },
            { "rect2pol(3, 4, &r, &a); r", Is (5) },
            { "rect2pol(1, 2)", Fails (InvalidArgumentCount, "rect2pol", 8, 13) },
            { "rect2pol(1, 2, &r)", Fails (InvalidArgumentCount, "rect2pol", 8, 17) },
            { "rect2pol(3, &r, 4, &a)", Is (5) }, // only the order within each kind counts
            { "rect2pol(1, 2, &PI, &a)", Fails (ConstantReference, "PI", 16, 17) },
            { "pol2rect(2, 0, &x, &y)", Is (2) },
            { "pol2rect(2, 0, &x, &y); x", Is (2) },
            { "pol2rect(2, 0, &x, &y); y", Is (0) },
            { "pol2rect(2, PI / 2, &x, &y); y", Is (2) },
            { "pol2rect(1, inf, &x, &y)", Fails (Math, "pol2rect") },
        };
        INSTANTIATE_TEST_SUITE_P (Math, BuiltInTable, testing::ValuesIn (mathRows));

        // errno is cleared before the arguments and tested after the computation, so
        // an error left set anywhere inside the arguments reaches the function.
        const Row errorIndicatorRows[] = {
            { "leak(4)", Is (4) },
            { "sqrt(leak(4))", Fails (Math, "sqrt") },
            { "sqrt(if(1, leak(4), 0))", Fails (Math, "sqrt") },
            { "abs(leak(-4))", Is (4) },
            { "sqrt(abs(leak(-4)))", Fails (Math, "sqrt") },
            { "leak(1); sqrt(4)", Is (2) },
            { "sqrt(4) + leak(1)", Is (3) },
            { "atan2(leak(1), 1)", Fails (Math, "atan2") },
            { "mod(7, leak(3))", Fails (Math, "mod") },
            { "logn(leak(8), 2)", Fails (Math, "logn") },
            { "rect2pol(leak(1), 1, &r, &a)", Fails (Math, "rect2pol") },
            { "r = 7; rect2pol(leak(1), 1, &r, &a); r", Fails (Math, "rect2pol") },
            { "pol2rect(1, leak(0), &x, &y)", Fails (Math, "pol2rect") },
            { "exp(sqrt(4) * leak(1))", Fails (Math, "exp") },
            // fmod inside "clamp" sets errno for an infinite x without failing itself.
            { "clamp(inf, 0, 1)", IsNaN() },
            { "sqrt(clamp(inf, 0, 1))", Fails (Math, "sqrt") },
            { "clamp(inf, 0, 1) ^ 1", Fails (Math, "^") },
            { "poly(2, leak(1))", Fails (Math, "poly") },
            { "poly(leak(2), 1)", Is (1) }, // poly clears errno only after x
            { "poly(10^200, 1, 0, 0)", Fails (Math, "poly") },
            { "ceil(leak(1.5))", Is (2) },
        };
        INSTANTIATE_TEST_SUITE_P (ErrorIndicator, BuiltInTable, testing::ValuesIn (errorIndicatorRows));

        const Row randomRows[] = {
            { "s = 0; rand(&s)", Is (38 * oneOver32767) },
            { "s = 0; rand(&s); s", Is (2531011) },
            { "s = 0; rand(&s); rand(&s)", Is (7719 * oneOver32767) },
            { "s = 0; rand(&s); rand(&s); s", Is (505908858) },
            { "rand(&fresh)", Is (38 * oneOver32767) }, // a new variable is seed 0
            { "s = 2.9; rand(&s); s", Is (2 * 214013 + 2531011) },
            { "s = -2.9; rand(&s); s", Is (-2 * 214013 + 2531011) },
            { "s = 2147483648; rand(&s); s", Is (-2144952637) },
            { "s = -2147483648.5; rand(&s); s", Is (-2144952637) },
            { "s = nan; rand(&s); s", Is (-2144952637) },
            { "s = -inf; rand(&s); s", Is (-2144952637) },
            { "s = 2147483647; rand(&s); s", Is (-2145166650) },
            { "s = 0; random(10, 20, &s)", Is (10 + (38 * 10) * oneOver32767) },
            { "s = 0; random(10, 20, &s); s", Is (2531011) },
            { "s = 0; random(20, 10, &s)", Is (20 + (38 * -10) * oneOver32767) },
            { "s = 5; random(1/0, 2, &s)", Fails (DivideByZero) },
            { "a = 0; b = 0; rand(&a); rand(&a); rand(&b)", Is (38 * oneOver32767) },
            { "rand(1, &s)", Fails (InvalidArgumentCount, "rand", 4, 10) },
            { "rand(&s, &t)", Fails (InvalidArgumentCount, "rand", 4, 11) },
            { "random(1, &s)", Fails (InvalidArgumentCount, "random", 6, 12) },
            { "randomize()", Fails (InvalidArgumentCount, "randomize", 9, 10) },
            { "randomize(&s)", Is (0) },
            { "randomize(&E)", Fails (ConstantReference, "E", 11, 11) },
        };
        INSTANTIATE_TEST_SUITE_P (Random, BuiltInTable, testing::ValuesIn (randomRows));

        const Row conditionRows[] = {
            { "if(1, 2, 3)", Is (2) },
            { "if(0, 2, 3)", Is (3) },
            { "if(-0, 2, 3)", Is (3) },
            { "if(nan, 2, 3)", Is (2) },
            { "if(0, 1/0, 5)", Is (5) },
            { "if(1, 5, 1/0)", Is (5) },
            { "y = 1; if(1, 2, y = 9); y", Is (1) },
            { "if(1, 2)", Fails (InvalidArgumentCount, "if", 2, 7) },
            { "select(-1, 10, 20, 30)", Is (10) },
            { "select(0, 10, 20, 30)", Is (20) },
            { "select(-0, 10, 20, 30)", Is (20) },
            { "select(2, 10, 20, 30)", Is (30) },
            { "select(2, 10, 20)", Is (20) },
            { "select(nan, 10, 20, 30)", Is (30) },
            { "select(nan, 10, 20)", Is (20) },
            { "select(-1, 10, 1/0, 1/0)", Is (10) },
            { "select(0, 1/0, 20, 1/0)", Is (20) },
            { "select(1, 1/0, 1/0, 30)", Is (30) },
            { "select(1, 2)", Fails (InvalidArgumentCount, "select", 6, 11) },
            { "select(1, 2, 3, 4, 5)", Fails (InvalidArgumentCount, "select", 6, 20) },
            { "equal(0.1 + 0.2, 0.3)", Is (0) },
            { "equal(0, -0)", Is (1) },
            { "equal(nan, nan)", Is (0) },
            { "above(2, 1)", Is (1) },
            { "above(1, 1)", Is (0) },
            { "above(nan, 1)", Is (0) },
            { "below(1, 2)", Is (1) },
            { "below(2, 1)", Is (0) },
            { "below(1, nan)", Is (0) },
            { "and(0, 1/0)", Is (0) },
            { "and(1, 2)", Is (1) },
            { "and(1, 0)", Is (0) },
            { "and(nan, -0)", Is (0) },
            { "and(nan, 1)", Is (1) },
            { "or(1, 1/0)", Is (1) },
            { "or(0, 0)", Is (0) },
            { "or(-0, nan)", Is (1) },
            { "or(0, 3)", Is (1) },
            { "not(0)", Is (1) },
            { "not(-0)", Is (1) },
            { "not(5)", Is (0) },
            { "not(nan)", Is (0) },
            { "not(1, 2)", Fails (InvalidArgumentCount, "not", 3, 8) },
        };
        INSTANTIATE_TEST_SUITE_P (Conditions, BuiltInTable, testing::ValuesIn (conditionRows));

        const Row rangeRows[] = {
            { "clip(5, 0, 1)", Is (1) },
            { "clip(-5, 0, 1)", Is (0) },
            { "clip(0.5, 0, 1)", Is (0.5) },
            { "clip(0.5, 1, 0)", Is (1) },
            { "clip(2, 1, 0)", Is (0) },
            { "clip(nan, 0, 1)", IsNaN() },
            { "clamp(370, 0, 360)", Is (10) },
            { "clamp(-10, 0, 360)", Is (350) },
            { "clamp(360, 0, 360)", Is (0) },
            { "clamp(5, 2, 2)", Is (2) },
            { "clamp(-1, 0, 360)", Is (359) },
            { "clamp(7, 10, 0)", Is (-3) },
            { "rescale(5, 0, 10, 0, 100)", Is (50) },
            { "rescale(15, 0, 10, 0, 100)", Is (150) },
            { "rescale(5, 3, 3, 7, 9)", Is (7) },
            { "rescale(0, 0, 10, 100, 0)", Is (100) },
            { "rescale(1, 2, 3, 4)", Fails (InvalidArgumentCount, "rescale", 7, 18) },
            { "poly(2, 1, 2, 3)", Is (11) },
            { "poly(0, 5, 7)", Is (7) },
            { "poly(2, 4)", Is (4) },
            { "poly(nan, 4)", Is (4) },
            { "poly(-2, 1, 0, 0, 0)", Is (-8) },
            { "poly(2)", Fails (InvalidArgumentCount, "poly", 4, 6) },
        };
        INSTANTIATE_TEST_SUITE_P (Ranges, BuiltInTable, testing::ValuesIn (rangeRows));

    } // namespace
} // namespace ExprTest
