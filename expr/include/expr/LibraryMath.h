#pragma once

#include <cerrno>
#include <cmath>

namespace Expr
{

    /** The C library's math functions under the engine's error-indicator
    protocol, the same on every platform. glibc sets errno for a domain error
    (EDOM: a NaN from arguments that are not NaN), a pole or an overflow
    (ERANGE: an infinity from finite arguments) and, for exp, pow and atan2, a
    result that underflows to zero; other C libraries (MinGW's) return the same
    values and leave errno alone. Each function here reads those errors from the
    arguments and the result as well, and sets errno when the library did not,
    so that a function that tests errno fails alike everywhere. Where the C
    library is not glibc, what it sets itself is discarded (MinGW's exp sets
    errno for exp(-inf) and exp(nan)), so that these rules alone decide.
    An errno already set before the call is kept. */
    namespace LibraryMath
    {

        /** Calls function (args...) and leaves errno as glibc would have it. */
        template<class Function, class... Args>
        double Call (Function function, Args... args) noexcept
        {
#if defined(__GLIBC__)
            return function (args...);
#else
            const int before = errno;
            const double result = function (args...);
            errno = before;
            return result;
#endif
        }

        inline double Indicate (double result, double x) noexcept
        {
            if (errno == 0)
            {
                if (std::isnan (result) && ! std::isnan (x))
                    errno = EDOM;
                else if (std::isinf (result) && std::isfinite (x))
                    errno = ERANGE;
            }
            return result;
        }

        inline double Indicate (double result, double x, double y) noexcept
        {
            if (errno == 0)
            {
                if (std::isnan (result) && ! std::isnan (x) && ! std::isnan (y))
                    errno = EDOM;
                else if (std::isinf (result) && std::isfinite (x) && std::isfinite (y))
                    errno = ERANGE;
            }
            return result;
        }

        inline double Sqrt (double x) noexcept { return Indicate (Call ([] (double v) { return std::sqrt (v); }, x), x); }
        inline double Sin (double x) noexcept { return Indicate (Call ([] (double v) { return std::sin (v); }, x), x); }
        inline double Cos (double x) noexcept { return Indicate (Call ([] (double v) { return std::cos (v); }, x), x); }
        inline double Tan (double x) noexcept { return Indicate (Call ([] (double v) { return std::tan (v); }, x), x); }
        inline double Sinh (double x) noexcept { return Indicate (Call ([] (double v) { return std::sinh (v); }, x), x); }
        inline double Cosh (double x) noexcept { return Indicate (Call ([] (double v) { return std::cosh (v); }, x), x); }
        inline double Tanh (double x) noexcept { return Indicate (Call ([] (double v) { return std::tanh (v); }, x), x); }
        inline double Asin (double x) noexcept { return Indicate (Call ([] (double v) { return std::asin (v); }, x), x); }
        inline double Acos (double x) noexcept { return Indicate (Call ([] (double v) { return std::acos (v); }, x), x); }
        inline double Atan (double x) noexcept { return Indicate (Call ([] (double v) { return std::atan (v); }, x), x); }
        inline double Log (double x) noexcept { return Indicate (Call ([] (double v) { return std::log (v); }, x), x); }
        inline double Log10 (double x) noexcept { return Indicate (Call ([] (double v) { return std::log10 (v); }, x), x); }
        inline double Fmod (double x, double y) noexcept { return Indicate (Call ([] (double a, double b) { return std::fmod (a, b); }, x, y), x, y); }

        /** Also ERANGE when a finite argument's result underflows to zero. */
        inline double Exp (double x) noexcept
        {
            const double result = Call ([] (double v) { return std::exp (v); }, x);
            if (result == 0.0 && std::isfinite (x) && errno == 0)
                errno = ERANGE;
            return Indicate (result, x);
        }

        /** Also ERANGE when a finite, non-zero base to a finite exponent underflows to zero. */
        inline double Pow (double base, double exponent) noexcept
        {
            const double result = Call ([] (double b, double e) { return std::pow (b, e); }, base, exponent);
            if (result == 0.0 && base != 0.0 && std::isfinite (base) && std::isfinite (exponent) && errno == 0)
                errno = ERANGE;
            return Indicate (result, base, exponent);
        }

        /** Also ERANGE when y is not zero, x is finite and the angle underflows to zero. */
        inline double Atan2 (double y, double x) noexcept
        {
            const double result = Call ([] (double a, double b) { return std::atan2 (a, b); }, y, x);
            if (result == 0.0 && y != 0.0 && std::isfinite (x) && errno == 0)
                errno = ERANGE;
            return Indicate (result, y, x);
        }

    } // namespace LibraryMath

} // namespace Expr
