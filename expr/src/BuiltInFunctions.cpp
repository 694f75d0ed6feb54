// The 42 built-in functions, each registered in one piece: name, argument
// counts and body. The order is fixed: it decides which factory
// FunctionList::Create finds first when a name is registered twice.

#include <expr/Exception.h>
#include <expr/FunctionCall.h>
#include <expr/FunctionList.h>
#include <expr/LibraryMath.h>

#include "ErrorIndicator.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>

namespace Expr
{

    namespace
    {

        constexpr double oneOverPi = 0.3183098861837907;
        constexpr double oneOver180 = 0.005555555555555556;
        constexpr double pi = 3.141592653589793;
        constexpr double twoPi = 6.283185307179586;
        constexpr double oneOver32767 = 3.051850947599719e-05;
        constexpr std::int64_t randomizeModulus = 2176971487; // 0x81C1F2DF
        constexpr int unlimited = -1;


        // Every built-in evaluates its value arguments in written order (passing
        // over those it does not need through FunctionCall::Skip), except "logn".
        FunctionSignature Args (int minValues, int maxValues, int minReferences = 0, int maxReferences = 0)
        {
            return { minValues, maxValues, minReferences, maxReferences, FunctionNode::ArgumentOrder::AsWritten };
        }

        bool IsTrue (double condition)
        {
            return condition != 0.0; // NaN is true, -0 is false
        }

        double TruthValue (bool condition)
        {
            return condition ? 1.0 : 0.0;
        }

        // One argument through a library function under the error-indicator
        // protocol: errno is cleared before any argument is evaluated and tested
        // only after the computation, so an error left set by anything evaluated
        // inside the argument also makes this function fail.
        template<class LibraryFunction>
        auto Checked (LibraryFunction function)
        {
            return [function] (const FunctionCall& call) {
                int& indicator = ErrorIndicator();
                indicator = 0;
                const double result = function (call.Value (0));
                if (indicator != 0)
                    call.ThrowIfErrorIndicated();
                return result;
            };
        }

        // The same for two arguments, evaluated first to second.
        template<class LibraryFunction>
        auto Checked2 (LibraryFunction function)
        {
            return [function] (const FunctionCall& call) {
                int& indicator = ErrorIndicator();
                indicator = 0;
                const double a = call.Value (0);
                const double b = call.Value (1);
                const double result = function (a, b);
                if (indicator != 0)
                    call.ThrowIfErrorIndicated();
                return result;
            };
        }

        // A NaN after the first argument never compares less or greater, so it never
        // becomes the best; the earliest of equal values stays the best.
        template<class Better>
        auto Best (Better better)
        {
            return [better] (const FunctionCall& call) {
                double best = call.Value (0);
                for (size_t i = 1; i < call.ValueCount(); ++i)
                {
                    const double v = call.Value (i);
                    if (better (v, best))
                        best = v;
                }
                return best;
            };
        }

        template<class Compare>
        auto Comparison (Compare compare)
        {
            return [compare] (const FunctionCall& call) {
                const double a = call.Value (0);
                const double b = call.Value (1);
                return TruthValue (compare (a, b));
            };
        }

        // The seed variable as a 32-bit integer, truncated toward zero; anything
        // outside that range, NaN included, becomes the lowest value.
        std::int32_t SeedFromValue (double value)
        {
            if (! (value > -2147483649.0 && value < 2147483648.0))
                return INT32_MIN;
            return static_cast<std::int32_t> (value);
        }

        // One step of the linear congruential generator: advances the seed stored in
        // the cell and returns bits 16 to 30 of the new seed (0 to 32767).
        int GeneratorStep (double& seedCell)
        {
            const auto seed = static_cast<std::uint32_t> (SeedFromValue (seedCell));
            const std::uint32_t next = seed * 214013u + 2531011u;
            seedCell = static_cast<double> (static_cast<std::int32_t> (next));
            return static_cast<int> ((next >> 16) & 0x7FFFu);
        }

        // counter is advanced by every "randomize" of the function list, so that two
        // seeds taken within the same clock second still differ. It belongs to the
        // list, not to the program: engines on different threads share nothing.
        double Randomize (const FunctionCall& call, std::int32_t& randomizeCounter)
        {
            const auto seconds = static_cast<std::int64_t> (std::time (nullptr));
            const std::clock_t ticks = std::clock();
            // A wrapping 32-bit sum, then sign-extended; the product wraps in 64 bits.
            const std::uint32_t sum = static_cast<std::uint32_t> (ticks) + static_cast<std::uint32_t> (randomizeCounter) + 1024u;
            const auto widened = static_cast<std::int64_t> (static_cast<std::int32_t> (sum));
            const auto product = static_cast<std::int64_t> (static_cast<std::uint64_t> (widened) * static_cast<std::uint64_t> (seconds));
            call.Reference (0) = static_cast<double> (product % randomizeModulus);
            randomizeCounter = static_cast<std::int32_t> (static_cast<std::uint32_t> (randomizeCounter) + 1u);
            return 0.0;
        }

        // The base is evaluated first: a base of 1 fails at once, without evaluating
        // the number whose logarithm was asked for.
        const auto Logn = [] (const FunctionCall& call) -> double {
            errno = 0;
            const double logOfBase = LibraryMath::Log (call.Value (1));
            if (logOfBase == 0.0)
                call.ThrowMathExceptionAfter (1);
            const double result = LibraryMath::Log (call.Value (0)) / logOfBase;
            call.ThrowIfErrorIndicated();
            return result;
        };

        // Length into the first reference, angle in [0, 2*pi) into the second.
        const auto RectangularToPolar = [] (const FunctionCall& call) -> double {
            errno = 0;
            const double x = call.Value (0);
            const double y = call.Value (1);
            const double length = LibraryMath::Sqrt (y * y + x * x);
            double angle = LibraryMath::Atan2 (y, x);
            call.ThrowIfErrorIndicated();
            call.Reference (0) = length;
            if (angle < 0.0)
                angle += twoPi;
            call.Reference (1) = angle;
            return length;
        };

        // x into the first reference, y into the second.
        const auto PolarToRectangular = [] (const FunctionCall& call) -> double {
            errno = 0;
            const double length = call.Value (0);
            const double angle = call.Value (1);
            const double x = LibraryMath::Cos (angle) * length;
            const double y = length * LibraryMath::Sin (angle);
            call.ThrowIfErrorIndicated();
            call.Reference (0) = x;
            call.Reference (1) = y;
            return x;
        };

        // Only the chosen branch is evaluated. The branches passed over are handed
        // to the countdown when their turn in the written order comes.
        const auto If = [] (const FunctionCall& call) -> double {
            if (IsTrue (call.Value (0)))
            {
                const double value = call.Value (1);
                call.Skip (2);
                return value;
            }
            call.Skip (1);
            return call.Value (2);
        };

        // Exactly one of the branches is evaluated; a NaN choice counts as positive.
        const auto Select = [] (const FunctionCall& call) -> double {
            const double choice = call.Value (0);
            size_t chosen = 3;
            if (choice < 0.0)
                chosen = 1;
            else if (choice == 0.0 || call.ValueCount() < 4)
                chosen = 2;
            for (size_t i = 1; i < chosen; ++i)
                call.Skip (i);
            const double value = call.Value (chosen);
            for (size_t i = chosen + 1; i < call.ValueCount(); ++i)
                call.Skip (i);
            return value;
        };

        // Low is tested first, which decides the result when low lies above high.
        const auto Clip = [] (const FunctionCall& call) -> double {
            const double x = call.Value (0);
            const double low = call.Value (1);
            const double high = call.Value (2);
            if (x < low)
                return low;
            if (x > high)
                return high;
            return x;
        };

        // Wraps x around into [low, high). errno is deliberately left alone: an
        // error of fmod reaches an enclosing function that tests it.
        const auto Clamp = [] (const FunctionCall& call) -> double {
            const double x = call.Value (0);
            const double low = call.Value (1);
            const double high = call.Value (2);
            if (low == high)
                return low;
            const double e = LibraryMath::Fmod (x - low, high - low);
            return e < 0.0 ? e + high : e + low;
        };

        // Maps linearly from [inLow, inHigh] to [outLow, outHigh], without clipping.
        const auto Rescale = [] (const FunctionCall& call) -> double {
            const double x = call.Value (0);
            const double inLow = call.Value (1);
            const double inHigh = call.Value (2);
            const double outLow = call.Value (3);
            const double outHigh = call.Value (4);
            const double inWidth = inHigh - inLow;
            if (inWidth == 0.0)
                return outLow;
            return outLow + ((x - inLow) / inWidth) * (outHigh - outLow);
        };

        // Coefficients from the highest power down. errno is cleared after x and
        // before the coefficients, so errors inside x itself are not reported here.
        const auto Poly = [] (const FunctionCall& call) -> double {
            const double x = call.Value (0);
            errno = 0;
            double sum = 0.0;
            double exponent = static_cast<double> (call.ValueCount()) - 2.0;
            for (size_t i = 1; i < call.ValueCount(); ++i)
            {
                const double coefficient = call.Value (i);
                sum = LibraryMath::Pow (x, exponent) * coefficient + sum;
                exponent -= 1.0;
            }
            call.ThrowIfErrorIndicated();
            return sum;
        };

        const auto And = [] (const FunctionCall& call) -> double {
            if (! IsTrue (call.Value (0)))
            {
                call.Skip (1);
                return 0.0;
            }
            return TruthValue (IsTrue (call.Value (1)));
        };

        const auto Or = [] (const FunctionCall& call) -> double {
            if (IsTrue (call.Value (0)))
            {
                call.Skip (1);
                return 1.0;
            }
            return TruthValue (IsTrue (call.Value (1)));
        };

    } // namespace

    void FunctionList::AddBuiltInFunctions()
    {
        const auto add = [this] (const char* name, const FunctionSignature& signature, auto body) {
            Append (MakeFunction (name, signature, body));
        };
        add ("abs", Args (1, 1), [] (const FunctionCall& call) { return std::fabs (call.Value (0)); });
        add ("mod", Args (2, 2), Checked2 ([] (double a, double b) { return LibraryMath::Fmod (a, b); }));
        add ("ipart", Args (1, 1), [] (const FunctionCall& call) {
            double integral = 0.0;
            std::modf (call.Value (0), &integral);
            return integral;
        });
        add ("fpart", Args (1, 1), [] (const FunctionCall& call) {
            const double x = call.Value (0);
            double integral = 0.0;
            const double fraction = std::modf (x, &integral);
            // The fraction of a whole number is a zero with the number's sign;
            // not every C library's modf gives it that sign (MinGW's does not).
            return fraction == 0.0 ? std::copysign (0.0, x) : fraction;
        });
        add ("min", Args (2, unlimited), Best ([] (double v, double best) { return v < best; }));
        add ("max", Args (2, unlimited), Best ([] (double v, double best) { return v > best; }));
        add ("sqrt", Args (1, 1), Checked ([] (double v) { return LibraryMath::Sqrt (v); }));
        add ("sin", Args (1, 1), Checked ([] (double v) { return LibraryMath::Sin (v); }));
        add ("cos", Args (1, 1), Checked ([] (double v) { return LibraryMath::Cos (v); }));
        add ("tan", Args (1, 1), Checked ([] (double v) { return LibraryMath::Tan (v); }));
        add ("sinh", Args (1, 1), Checked ([] (double v) { return LibraryMath::Sinh (v); }));
        add ("cosh", Args (1, 1), Checked ([] (double v) { return LibraryMath::Cosh (v); }));
        add ("tanh", Args (1, 1), Checked ([] (double v) { return LibraryMath::Tanh (v); }));
        add ("asin", Args (1, 1), Checked ([] (double v) { return LibraryMath::Asin (v); }));
        add ("acos", Args (1, 1), Checked ([] (double v) { return LibraryMath::Acos (v); }));
        add ("atan", Args (1, 1), Checked ([] (double v) { return LibraryMath::Atan (v); }));
        add ("atan2", Args (2, 2), Checked2 ([] (double y, double x) { return LibraryMath::Atan2 (y, x); }));
        add ("log", Args (1, 1), Checked ([] (double v) { return LibraryMath::Log10 (v); }));
        add ("ln", Args (1, 1), Checked ([] (double v) { return LibraryMath::Log (v); }));
        add ("exp", Args (1, 1), Checked ([] (double v) { return LibraryMath::Exp (v); }));
        add ("logn", { 2, 2, 0, 0, FunctionNode::ArgumentOrder::SecondThenFirst }, Logn);
        add ("ceil", Args (1, 1), [] (const FunctionCall& call) { return std::ceil (call.Value (0)); });
        add ("floor", Args (1, 1), [] (const FunctionCall& call) { return std::floor (call.Value (0)); });
        add ("rand", Args (0, 0, 1, 1),
             [] (const FunctionCall& call) { return GeneratorStep (call.Reference (0)) * oneOver32767; });
        add ("random", Args (2, 2, 1, 1), [] (const FunctionCall& call) {
            const double low = call.Value (0);
            const double high = call.Value (1);
            const int k = GeneratorStep (call.Reference (0));
            return low + (k * (high - low)) * oneOver32767;
        });
        const auto randomizeCounter = std::make_shared<std::int32_t> (1);
        add ("randomize", Args (0, 0, 1, 1),
             [randomizeCounter] (const FunctionCall& call) { return Randomize (call, *randomizeCounter); });
        add ("deg", Args (1, 1), [] (const FunctionCall& call) { return (call.Value (0) * 180.0) * oneOverPi; });
        add ("rad", Args (1, 1), [] (const FunctionCall& call) { return (call.Value (0) * pi) * oneOver180; });
        add ("rect2pol", Args (2, 2, 2, 2), RectangularToPolar);
        add ("pol2rect", Args (2, 2, 2, 2), PolarToRectangular);
        add ("if", Args (3, 3), If);
        add ("select", Args (3, 4), Select);
        add ("equal", Args (2, 2), Comparison ([] (double a, double b) { return a == b; }));
        add ("above", Args (2, 2), Comparison ([] (double a, double b) { return a > b; }));
        add ("below", Args (2, 2), Comparison ([] (double a, double b) { return a < b; }));
        add ("clip", Args (3, 3), Clip);
        add ("clamp", Args (3, 3), Clamp);
        add ("rescale", Args (5, 5), Rescale);
        add ("poly", Args (2, unlimited), Poly);
        add ("and", Args (2, 2), And);
        add ("or", Args (2, 2), Or);
        add ("not", Args (1, 1), [] (const FunctionCall& call) { return TruthValue (! IsTrue (call.Value (0))); });
    }

} // namespace Expr
