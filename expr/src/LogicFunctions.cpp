#include "LogicFunctions.h"

#include <expr/Exception.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <ctime>

namespace Expr {

namespace {

constexpr double oneOver32767 = 3.051850947599719e-05;
constexpr std::int64_t randomizeModulus = 2176971487; // 0x81C1F2DF

// Advanced by every "randomize" in any expression, so that two seeds taken
// within the same clock second still differ.
std::int32_t randomizeCounter = 1;

bool IsTrue(double condition)
{
    return condition != 0.0; // NaN is true, -0 is false
}

double TruthValue(bool condition)
{
    return condition ? 1.0 : 0.0;
}

// The seed variable as a 32-bit integer, truncated toward zero; anything
// outside that range, NaN included, becomes the lowest value.
std::int32_t SeedFromValue(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// One step of the linear congruential generator: advances the seed stored in
// the cell and returns bits 16 to 30 of the new seed (0 to 32767).
int GeneratorStep(double& seedCell)
{
    const auto seed = static_cast<std::uint32_t>(SeedFromValue(seedCell));
    const std::uint32_t next = seed * 214013u + 2531011u;
    seedCell = static_cast<double>(static_cast<std::int32_t>(next));
    return static_cast<int>((next >> 16) & 0x7FFFu);
}

} // namespace

double rand_FunctionNode::Calculate()
{
    return GeneratorStep(*refArgs[0]) * oneOver32767;
}

double random_FunctionNode::Calculate()
{
    const double low = valueArgs[0]->Compute();
    const double high = valueArgs[1]->Compute();
    const int k = GeneratorStep(*refArgs[0]);
    return low + (k * (high - low)) * oneOver32767;
}

double randomize_FunctionNode::Calculate()
{
    const auto seconds = static_cast<std::int64_t>(std::time(nullptr));
    const std::clock_t ticks = std::clock();
    // A wrapping 32-bit sum, then sign-extended; the product wraps in 64 bits.
    const std::uint32_t sum = static_cast<std::uint32_t>(ticks) + static_cast<std::uint32_t>(randomizeCounter) + 1024u;
    const auto widened = static_cast<std::int64_t>(static_cast<std::int32_t>(sum));
    const auto product = static_cast<std::int64_t>(static_cast<std::uint64_t>(widened) * static_cast<std::uint64_t>(seconds));
    *refArgs[0] = static_cast<double>(product % randomizeModulus);
    randomizeCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(randomizeCounter) + 1u);
    return 0.0;
}

// Only the chosen branch is evaluated. The branches passed over are handed
// to the countdown when their turn in the written order comes.
double if_FunctionNode::Calculate()
{
    if (IsTrue(valueArgs[0]->Compute()))
    {
        const double value = valueArgs[1]->Compute();
        SkipEvaluationOf(*valueArgs[2]);
        return value;
    }
    SkipEvaluationOf(*valueArgs[1]);
    return valueArgs[2]->Compute();
}

// Exactly one of the branches is evaluated; a NaN choice counts as positive.
double select_FunctionNode::Calculate()
{
    const double choice = valueArgs[0]->Compute();
    size_t chosen = 3;
    if (choice < 0.0)
        chosen = 1;
    else if (choice == 0.0 || valueArgs.size() < 4)
        chosen = 2;
    for (size_t i = 1; i < chosen; ++i)
        SkipEvaluationOf(*valueArgs[i]);
    const double value = valueArgs[chosen]->Compute();
    for (size_t i = chosen + 1; i < valueArgs.size(); ++i)
        SkipEvaluationOf(*valueArgs[i]);
    return value;
}

double equal_FunctionNode::Calculate()
{
    const double a = valueArgs[0]->Compute();
    const double b = valueArgs[1]->Compute();
    return TruthValue(a == b);
}

double above_FunctionNode::Calculate()
{
    const double a = valueArgs[0]->Compute();
    const double b = valueArgs[1]->Compute();
    return TruthValue(a > b);
}

double below_FunctionNode::Calculate()
{
    const double a = valueArgs[0]->Compute();
    const double b = valueArgs[1]->Compute();
    return TruthValue(a < b);
}

// Low is tested first, which decides the result when low lies above high.
double clip_FunctionNode::Calculate()
{
    const double x = valueArgs[0]->Compute();
    const double low = valueArgs[1]->Compute();
    const double high = valueArgs[2]->Compute();
    if (x < low)
        return low;
    if (x > high)
        return high;
    return x;
}

// Wraps x around into [low, high). errno is deliberately left alone: an
// error of fmod reaches an enclosing function that tests it.
double clamp_FunctionNode::Calculate()
{
    const double x = valueArgs[0]->Compute();
    const double low = valueArgs[1]->Compute();
    const double high = valueArgs[2]->Compute();
    if (low == high)
        return low;
    const double e = std::fmod(x - low, high - low);
    return e < 0.0 ? e + high : e + low;
}

// Maps linearly from [inLow, inHigh] to [outLow, outHigh], without clipping.
double rescale_FunctionNode::Calculate()
{
    const double x = valueArgs[0]->Compute();
    const double inLow = valueArgs[1]->Compute();
    const double inHigh = valueArgs[2]->Compute();
    const double outLow = valueArgs[3]->Compute();
    const double outHigh = valueArgs[4]->Compute();
    const double inWidth = inHigh - inLow;
    if (inWidth == 0.0)
        return outLow;
    return outLow + ((x - inLow) / inWidth) * (outHigh - outLow);
}

// Coefficients from the highest power down. errno is cleared after x and
// before the coefficients, so errors inside x itself are not reported here.
double poly_FunctionNode::Calculate()
{
    const double x = valueArgs[0]->Compute();
    errno = 0;
    double sum = 0.0;
    double exponent = static_cast<double>(valueArgs.size()) - 2.0;
    for (size_t i = 1; i < valueArgs.size(); ++i)
    {
        const double coefficient = valueArgs[i]->Compute();
        sum = std::pow(x, exponent) * coefficient + sum;
        exponent -= 1.0;
    }
    if (errno != 0)
        ThrowMathException(*this);
    return sum;
}

double and_FunctionNode::Calculate()
{
    if (!IsTrue(valueArgs[0]->Compute()))
    {
        SkipEvaluationOf(*valueArgs[1]);
        return 0.0;
    }
    return TruthValue(IsTrue(valueArgs[1]->Compute()));
}

double or_FunctionNode::Calculate()
{
    if (IsTrue(valueArgs[0]->Compute()))
    {
        SkipEvaluationOf(*valueArgs[1]);
        return 1.0;
    }
    return TruthValue(IsTrue(valueArgs[1]->Compute()));
}

double not_FunctionNode::Calculate()
{
    return TruthValue(!IsTrue(valueArgs[0]->Compute()));
}

} // namespace Expr
