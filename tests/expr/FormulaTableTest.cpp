// The language as a table: one formula per row and what it must give, in a
// fresh engine with the constants E, PI, nan and inf and the built-ins.

#include "TestEngine.h"

namespace ExprTest
{
    namespace
    {

        class FormulaTable : public testing::TestWithParam<Row>
        {
        };

        TEST_P (FormulaTable, GivesItsOutcome)
        {
            ExpectRow (GetParam());
        }

        const Row precedenceRows[] = {
            { "2^3^2", Is (64) }, // "^" groups to the left
            { "-2^2", Is (-4) },  // a leading sign covers the whole power
            { "2^-1", Is (0.5) },
            { "10-4-3", Is (3) },
            { "2*3+4*5", Is (26) },
            { "8/2/2", Is (2) },
            { "2 / 4 * 2", Is (1) },
            { "2 - 3 + 4", Is (3) },
            { "1 + 2 * 3", Is (7) },
            { "(1 + 2) * 3", Is (9) },
            { "2 * 3 ^ 2", Is (18) },
            { "2 ^ 3 * 2", Is (16) },
            { "-2^2*3", Is (-12) },
            { "-3 * 2", Is (-6) },
            { "((2))", Is (2) },
            { "-(2 + 1)", Is (-3) },
            { "a = b = 4", Is (4) },
            { "a = b = 4; a + b", Is (8) },
            { "x = 3; x * 2", Is (6) },
            { "x = 3; x * 2; x", Is (3) },
            { "1; 2; 3", Is (3) },
            { "x = 1; y = 2;", Is (2) },    // a trailing ";" adds no statement
            { "(1; 2)", Is (2) },           // statements may be grouped in parentheses
            { "2 + (x = 3) * x", Is (11) }, // the left operand is evaluated first
        };
        INSTANTIATE_TEST_SUITE_P (Precedence, FormulaTable, testing::ValuesIn (precedenceRows));

        const Row signRows[] = {
            { "+5", Is (5) },
            { "3 - -2", Is (5) },
            { "1 + + 2", Is (3) },
            { "2*-3", Is (-6) },
            { "x=-1", Is (-1) },
            { "- -2", Is (2) },
            { "-0", HasBits (0x8000000000000000ull) },
            { "- (1)", Is (-1) },
            { "2 ^ - 2", Is (0.25) },
            { "-", Fails (Syntax, 0, 0) },
            { "+", Fails (Syntax) }, // the range after the dropped "+" is empty
            { "1 -", Fails (Syntax, 0, 2) },
            { "* 2", Fails (Syntax, 0, 2) },
        };
        INSTANTIATE_TEST_SUITE_P (Signs, FormulaTable, testing::ValuesIn (signRows));

        const Row tokenRows[] = {
            { "x = 1; # set x\ny = x;", Is (1) },
            // Without a ";" before the comment the two lines form one statement.
            { "x = 1 # set x\ny = x;", Fails (Syntax, 4, 18) },
            { "1 # first\n+ 2 # second", Is (3) },
            { "1 # comment ends at a carriage return\r+ 2", Is (3) },
            { "# ( ) $ are ignored in a comment\n4", Is (4) },
            { "", Fails (EmptyExpression) },
            { "  \t\n\v\f\r ", Fails (EmptyExpression) },
            { "# only a comment", Fails (EmptyExpression) },
            { "a.b = 2; a.b * 3", Is (6) },
            { "a._x = 1; a._x", Is (1) },
            { "a = 1; a.b = 2; a", Is (1) },
            { "x.y.z = 3; x.y.z", Is (3) },
            { "a.b", Is (0) }, // a new variable starts at 0
            { "_ = 5; _", Is (5) },
            { "_1a = 2; _1a", Is (2) },
            { "a.1", Fails (Syntax, 0, 2) },   // the name a, then the number .1
            { "1.2.3", Fails (Syntax, 0, 4) }, // 1.2 then .3
            { ".", Is (0) },
            { "5.", Is (5) },
            { ".5", Is (0.5) },
            { "007.250", Is (7.25) },
            { "0.1", Is (0.1) },
            { "2x", Fails (Syntax, 0, 1) },  // no implicit multiplication
            { "1e5", Fails (Syntax, 0, 2) }, // no exponent in literals: 1 and e5
            { "2 $ 3", Fails (UnknownToken, 2, 2) },
            { "x = \xc3\xa9", Fails (UnknownToken, 4, 4) },
            { "1 ! 2", Fails (UnknownToken, 2, 2) },
            { "PI", Is (3.141592653589793) },
            { "E", Is (2.718281828459045) },
            { "pi", Is (0) }, // names are case-sensitive
        };
        INSTANTIATE_TEST_SUITE_P (Tokens, FormulaTable, testing::ValuesIn (tokenRows));

        const Row structureErrorRows[] = {
            { "(1+2", Fails (UnmatchedParenthesis, 3, 3) },
            { "1+2)", Fails (UnmatchedParenthesis, 3, 3) },
            { "(", Fails (UnmatchedParenthesis, 0, 0) },
            { ")", Fails (UnmatchedParenthesis, 0, 0) },
            { "sin(1))", Fails (UnmatchedParenthesis, 6, 6) },
            { "x = 1; (2", Fails (UnmatchedParenthesis, 8, 8) },
            { "x = 1; 2)", Fails (UnmatchedParenthesis, 8, 8) },
            { "()", Fails (Syntax, 0, 1) },
            { "(1)(2)", Fails (Syntax, 0, 2) },
            { "sin(1)(2)", Fails (Syntax, 3, 5) },
            { "sin 1", Fails (Syntax, 0, 4) },
            { "1, 2", Fails (Syntax, 0, 3) },
            { "x = 1;; y = 2", Fails (Syntax, 6, 6) },
            { ";", Fails (Syntax) },
            { "; x", Fails (Syntax, 0, 0) },
            { "x = ", Fails (Syntax, 0, 2) },
            { "= 3", Fails (Syntax, 0, 2) },
            { "a b = 3", Fails (Syntax, 0, 6) },
            { "3 = 4", Fails (Syntax, 0, 0) }, // only names can be assigned to
            { "2(3)", Fails (Syntax, 0, 0) },  // only names can be called
            { "x = ,", Fails (Syntax, 4, 4) }, // a lone "," stands for no number
            { "&", Fails (Syntax, 0, 0) },
            { "@", Fails (Syntax, 0, 0) },
            { "E = 1", Fails (ConstantAssign, "E", 0, 2) },
            { "PI = 3", Fails (ConstantAssign, "PI", 0, 3) },
            { "x = PI = 3", Fails (ConstantAssign, "PI", 4, 7) },
            { "foo(1)", Fails (NotFound, "foo", 0, 2) },
            { "y = 2 * Sin(1)", Fails (NotFound, "Sin", 8, 10) },
            { "sqrt(1, 2)", Fails (InvalidArgumentCount, "sqrt", 4, 9) },
            { "sqrt()", Fails (InvalidArgumentCount, "sqrt", 4, 5) },
            { "sin(1,)", Fails (Syntax, 6, 6) },
            { "sin(,1)", Fails (Syntax, 4, 4) },
            { "min(1,,2)", Fails (Syntax, 6, 6) },
            { "sin(())", Fails (Syntax, 4, 5) },
            { "rand(&PI)", Fails (ConstantReference, "PI", 6, 7) },
            { "rand(&1)", Fails (Syntax, 5, 7) },
            { "rand(&s t)", Fails (Syntax, 5, 9) },
            { "rand(&)", Fails (Syntax, 5, 6) },
            { "sin(@d)", Fails (NoDataList, 5, 5) },
            { "sin(@)", Fails (Syntax, 4, 5) },
            // A build that fails half way destroys what it had built.
            { "y = sin(x) + cos(x) * foo(2)", Fails (NotFound, "foo", 22, 24) },
            { "y = min(sin(x), max(1, 2), rand())", Fails (InvalidArgumentCount, "rand", 31, 32) },
        };
        INSTANTIATE_TEST_SUITE_P (StructureErrors, FormulaTable, testing::ValuesIn (structureErrorRows));

        const Row operatorRows[] = {
            { "7 / 2", Is (3.5) },
            { "1/0", Fails (DivideByZero) },
            { "1/-0", Fails (DivideByZero) },
            { "0/0", Fails (DivideByZero) },
            { "1/nan", IsNaN() }, // a NaN divisor is no zero
            { "1/inf", Is (0) },
            { "(-8)^(1/3)", Fails (Math, "^") },
            { "2^0.5", About (1.4142135623730951, 1e-15) },
            { "10^400", Fails (Math, "^") }, // overflow
            { "0^-1", Fails (Math, "^") },   // pole
            { "nan^0", Is (1) },
            { "2^1000 * 2^1000", Is (std::numeric_limits<double>::infinity()) },
            { "2^leak(3)", Fails (Math, "^") }, // an error left inside an operand
            { "leak(2)^3", Fails (Math, "^") },
            { "leak(2) * 3", Is (6) }, // only "^" tests errno
            { "-nan", IsNaN() },
        };
        INSTANTIATE_TEST_SUITE_P (Operators, FormulaTable, testing::ValuesIn (operatorRows));

    } // namespace
} // namespace ExprTest
