#include "MathFunctions.h"

#include <expr/Exception.h>

#include <cerrno>
#include <cmath>

namespace Expr {

namespace {

constexpr double oneOverPi = 0.3183098861837907;
constexpr double oneOver180 = 0.005555555555555556;
constexpr double pi = 3.141592653589793;
constexpr double twoPi = 6.283185307179586;

} // namespace

double abs_FunctionNode::Calculate()
{
    return std::fabs(valueArgs[0]->Compute());
}

double mod_FunctionNode::Calculate()
{
    errno = 0;
    const double a = valueArgs[0]->Compute();
    const double b = valueArgs[1]->Compute();
    const double result = std::fmod(a, b);
    ThrowIfErrorIndicated();
    return result;
}

double ipart_FunctionNode::Calculate()
{
    double integral = 0.0;
    std::modf(valueArgs[0]->Compute(), &integral);
    return integral;
}

double fpart_FunctionNode::Calculate()
{
    double integral = 0.0;
    return std::modf(valueArgs[0]->Compute(), &integral);
}

// A NaN after the first argument never compares less or greater, so it never
// becomes the best; the earliest of equal values stays the best.
double min_FunctionNode::Calculate()
{
    double best = valueArgs[0]->Compute();
    for (size_t i = 1; i < valueArgs.size(); ++i)
    {
        const double v = valueArgs[i]->Compute();
        if (v < best)
            best = v;
    }
    return best;
}

double max_FunctionNode::Calculate()
{
    double best = valueArgs[0]->Compute();
    for (size_t i = 1; i < valueArgs.size(); ++i)
    {
        const double v = valueArgs[i]->Compute();
        if (v > best)
            best = v;
    }
    return best;
}

namespace {
// One argument through a library function under the error-indicator protocol.
template <class LibraryFunction>
double CheckedUnary(FunctionNode& node, Node& argument, LibraryFunction function)
{
    errno = 0;
    const double result = function(argument.Compute());
    node.ThrowIfErrorIndicated(); // the protocol: errno cleared before, tested after
    return result;
}
} // namespace

double sqrt_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::sqrt(v); });
}

double sin_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::sin(v); });
}

double cos_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::cos(v); });
}

double tan_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::tan(v); });
}

double sinh_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::sinh(v); });
}

double cosh_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::cosh(v); });
}

double tanh_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::tanh(v); });
}

double asin_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::asin(v); });
}

double acos_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::acos(v); });
}

double atan_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::atan(v); });
}

double atan2_FunctionNode::Calculate()
{
    errno = 0;
    const double y = valueArgs[0]->Compute();
    const double x = valueArgs[1]->Compute();
    const double result = std::atan2(y, x);
    ThrowIfErrorIndicated();
    return result;
}

double log_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::log10(v); });
}

double ln_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::log(v); });
}

double exp_FunctionNode::Calculate()
{
    return CheckedUnary(*this, *valueArgs[0], [](double v) { return std::exp(v); });
}

// The base is evaluated first: a base of 1 fails at once, without evaluating
// the number whose logarithm was asked for.
double logn_FunctionNode::Calculate()
{
    errno = 0;
    const double logOfBase = std::log(valueArgs[1]->Compute());
    if (logOfBase == 0.0)
        ThrowMathException(*valueArgs[1]);
    const double result = std::log(valueArgs[0]->Compute()) / logOfBase;
    ThrowIfErrorIndicated();
    return result;
}

double ceil_FunctionNode::Calculate()
{
    return std::ceil(valueArgs[0]->Compute());
}

double floor_FunctionNode::Calculate()
{
    return std::floor(valueArgs[0]->Compute());
}

double deg_FunctionNode::Calculate()
{
    return (valueArgs[0]->Compute() * 180.0) * oneOverPi;
}

double rad_FunctionNode::Calculate()
{
    return (valueArgs[0]->Compute() * pi) * oneOver180;
}

// Length into the first reference, angle in [0, 2*pi) into the second.
double rect2pol_FunctionNode::Calculate()
{
    errno = 0;
    const double x = valueArgs[0]->Compute();
    const double y = valueArgs[1]->Compute();
    const double length = std::sqrt(y * y + x * x);
    double angle = std::atan2(y, x);
    ThrowIfErrorIndicated();
    *refArgs[0] = length;
    if (angle < 0.0)
        angle += twoPi;
    *refArgs[1] = angle;
    return length;
}

// x into the first reference, y into the second.
double pol2rect_FunctionNode::Calculate()
{
    errno = 0;
    const double length = valueArgs[0]->Compute();
    const double angle = valueArgs[1]->Compute();
    const double x = std::cos(angle) * length;
    const double y = length * std::sin(angle);
    ThrowIfErrorIndicated();
    *refArgs[0] = x;
    *refArgs[1] = y;
    return x;
}

} // namespace Expr
