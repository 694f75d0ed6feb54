// The library math functions under the error-indicator protocol: which
// arguments set errno and which leave it alone, alike on every C library.

#include <expr/LibraryMath.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
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
    }
}
