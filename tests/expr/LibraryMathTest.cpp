// The library math functions under the error-indicator protocol: which
// arguments set errno and which leave it alone, alike on every C library.

#include <expr/LibraryMath.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <ios>
#include <limits>

namespace ExprTest
{
    namespace
    {
        namespace LM = Expr::LibraryMath;

        constexpr double inf = std::numeric_limits<double>::infinity();
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();

        int ErrnoAfter (const std::function<double()>& call)
        {
            errno = 0;
            call();
            const int indicated = errno;
            errno = 0;
            return indicated;
        }

        TEST (LibraryMath, DomainErrorsSetEdom)
        {
            EXPECT_EQ (ErrnoAfter ([] { return LM::Sqrt (-1); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Sin (inf); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Cos (-inf); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Tan (inf); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Asin (2); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Acos (-1.5); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log (-1); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log10 (-1); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Fmod (1, 0); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Fmod (inf, 2); }), EDOM);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (-8, 1.0 / 3.0); }), EDOM);
        }

        TEST (LibraryMath, PolesOverflowsAndUnderflowsToZeroSetErange)
        {
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log (0); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log10 (-0.0); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (0, -1); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Cosh (1000); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Sinh (-1000); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Exp (1000); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (10, 400); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Exp (-1000); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (10, -400); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (-1e-200, 3); }), ERANGE);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Atan2 (1e-300, 1e300); }), ERANGE);
        }

        TEST (LibraryMath, ExactZerosInfinitiesAndSubnormalsAreNoError)
        {
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log (1); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Log (inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Sqrt (inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Fmod (6, 3); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Exp (-inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Exp (-740); }), 0); // subnormal, not zero
            EXPECT_EQ (ErrnoAfter ([] { return LM::Cosh (-inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Tanh (1000); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (0, 2); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (0.5, inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (inf, 2); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Atan2 (0, 1); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Atan2 (1, inf); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Atan (inf); }), 0);
        }

        TEST (LibraryMath, NanArgumentsPassThroughWithoutError)
        {
            EXPECT_EQ (ErrnoAfter ([] { return LM::Sqrt (nan); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Fmod (nan, 0); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Pow (nan, 2); }), 0);
            EXPECT_EQ (ErrnoAfter ([] { return LM::Exp (nan); }), 0);
        }

        TEST (LibraryMath, AnErrorAlreadyIndicatedIsKept)
        {
            errno = ERANGE;
            LM::Sqrt (4);
            EXPECT_EQ (errno, ERANGE);
            errno = 0;
        }

        // Values glibc gives, bit for bit, on processors with FMA and without,
        // where another C library's last bit differs (MinGW's, before the
        // Windows build linked glibc's math). The arguments pass through a
        // volatile so that the compiler cannot compute the calls itself.
        struct OneArgumentCase
        {
            const char* name;
            double (*function) (double) noexcept;
            double argument;
            double expected;
        };

        TEST (LibraryMath, ValuesRoundAsGlibcRoundsThem)
        {
            const OneArgumentCase cases[] = {
                { "sin", LM::Sin, -0x1.9185c1fdbea9bp+2, 0x1.33e56419771aep-7 },
                { "cos", LM::Cos, -0x1.dcf0005c6851cp+2, 0x1.907e1da4d0850p-2 },
                { "tan", LM::Tan, -0x1.6a3b653879ff0p-1, -0x1.b5d80e2761dd1p-1 },
                { "sinh", LM::Sinh, 0x1.38f5d2d8441f0p+1, 0x1.6e33fc8fb2066p+2 },
                { "cosh", LM::Cosh, 0x1.2e33b169cd7d0p-1, 0x1.2de70adfd4480p+0 },
                { "tanh", LM::Tanh, -0x1.d51c23277f5bep-1, -0x1.72be706792b93p-1 },
                { "asin", LM::Asin, 0x1.966ab042011aep-1, 0x1.d5817c056c2c7p-1 },
                { "acos", LM::Acos, -0x1.68a5530952e38p-1, 0x1.2d19f42bee44bp+1 },
                { "atan", LM::Atan, 0x1.ecaefbbbfe94cp+2, 0x1.710deebe482a3p+0 },
                { "log", LM::Log, 0x1.ddfce3521d64cp-1, -0x1.198e67f0dd8a5p-4 },
                { "log10", LM::Log10, 0x1.6f6013bc5b8a4p-1, -0x1.273d5c75b91fcp-3 },
                { "exp", LM::Exp, 0x1.627f9684fd648p+1, 0x1.fe6e384cdf318p+3 },
                { "sqrt", LM::Sqrt, 0x1.06992ade1e5c0p-3, 0x1.6eacb9133dec7p-2 },
            };
            for (const auto& c : cases)
            {
                volatile double argument = c.argument;
                const double result = c.function (argument);
                EXPECT_EQ (result, c.expected) << std::hexfloat << c.name << " (" << c.argument << ") gave " << result;
            }

            volatile double ten = 10;
            volatile double base = 0x1.5ce70d1ace5edp+3;
            volatile double y = 0x1.82c6086173ae0p+5;
            EXPECT_EQ (LM::Pow (ten, 300), 1e300);
            EXPECT_EQ (LM::Pow (ten, -300), 1e-300);
            EXPECT_EQ (LM::Pow (base, 0x1.3849f0470a19cp+5), 0x1.7580284640696p+134);
            EXPECT_EQ (LM::Atan2 (y, -0x1.59a26c94e145ap+4), 0x1.fdb2375a6be86p+0);
        }
    }
}
