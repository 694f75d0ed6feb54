#include "LogicFunctions.h"
#include "MathFunctions.h"

#include <expr/FunctionList.h>

namespace Expr {

// The order is fixed: it decides which factory FunctionList::Create finds
// first when a name is registered twice.
void FunctionList::AddBuiltInFunctions()
{
    Append(std::make_unique<abs_FunctionFactory>());
    Append(std::make_unique<mod_FunctionFactory>());
    Append(std::make_unique<ipart_FunctionFactory>());
    Append(std::make_unique<fpart_FunctionFactory>());
    Append(std::make_unique<min_FunctionFactory>());
    Append(std::make_unique<max_FunctionFactory>());
    Append(std::make_unique<sqrt_FunctionFactory>());
    Append(std::make_unique<sin_FunctionFactory>());
    Append(std::make_unique<cos_FunctionFactory>());
    Append(std::make_unique<tan_FunctionFactory>());
    Append(std::make_unique<sinh_FunctionFactory>());
    Append(std::make_unique<cosh_FunctionFactory>());
    Append(std::make_unique<tanh_FunctionFactory>());
    Append(std::make_unique<asin_FunctionFactory>());
    Append(std::make_unique<acos_FunctionFactory>());
    Append(std::make_unique<atan_FunctionFactory>());
    Append(std::make_unique<atan2_FunctionFactory>());
    Append(std::make_unique<log_FunctionFactory>());
    Append(std::make_unique<ln_FunctionFactory>());
    Append(std::make_unique<exp_FunctionFactory>());
    Append(std::make_unique<logn_FunctionFactory>());
    Append(std::make_unique<ceil_FunctionFactory>());
    Append(std::make_unique<floor_FunctionFactory>());
    Append(std::make_unique<rand_FunctionFactory>());
    Append(std::make_unique<random_FunctionFactory>());
    Append(std::make_unique<randomize_FunctionFactory>());
    Append(std::make_unique<deg_FunctionFactory>());
    Append(std::make_unique<rad_FunctionFactory>());
    Append(std::make_unique<rect2pol_FunctionFactory>());
    Append(std::make_unique<pol2rect_FunctionFactory>());
    Append(std::make_unique<if_FunctionFactory>());
    Append(std::make_unique<select_FunctionFactory>());
    Append(std::make_unique<equal_FunctionFactory>());
    Append(std::make_unique<above_FunctionFactory>());
    Append(std::make_unique<below_FunctionFactory>());
    Append(std::make_unique<clip_FunctionFactory>());
    Append(std::make_unique<clamp_FunctionFactory>());
    Append(std::make_unique<rescale_FunctionFactory>());
    Append(std::make_unique<poly_FunctionFactory>());
    Append(std::make_unique<and_FunctionFactory>());
    Append(std::make_unique<or_FunctionFactory>());
    Append(std::make_unique<not_FunctionFactory>());
}

} // namespace Expr
