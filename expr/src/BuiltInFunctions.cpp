#include "LogicFunctions.h"
#include "MathFunctions.h"

#include <expr/FunctionList.h>

namespace Expr {

// The order is fixed: it decides which factory FunctionList::Create finds
// first when a name is registered twice.
void FunctionList::AddBuiltInFunctions()
{
    factories.push_back(std::make_unique<abs_FunctionFactory>());
    factories.push_back(std::make_unique<mod_FunctionFactory>());
    factories.push_back(std::make_unique<ipart_FunctionFactory>());
    factories.push_back(std::make_unique<fpart_FunctionFactory>());
    factories.push_back(std::make_unique<min_FunctionFactory>());
    factories.push_back(std::make_unique<max_FunctionFactory>());
    factories.push_back(std::make_unique<sqrt_FunctionFactory>());
    factories.push_back(std::make_unique<sin_FunctionFactory>());
    factories.push_back(std::make_unique<cos_FunctionFactory>());
    factories.push_back(std::make_unique<tan_FunctionFactory>());
    factories.push_back(std::make_unique<sinh_FunctionFactory>());
    factories.push_back(std::make_unique<cosh_FunctionFactory>());
    factories.push_back(std::make_unique<tanh_FunctionFactory>());
    factories.push_back(std::make_unique<asin_FunctionFactory>());
    factories.push_back(std::make_unique<acos_FunctionFactory>());
    factories.push_back(std::make_unique<atan_FunctionFactory>());
    factories.push_back(std::make_unique<atan2_FunctionFactory>());
    factories.push_back(std::make_unique<log_FunctionFactory>());
    factories.push_back(std::make_unique<ln_FunctionFactory>());
    factories.push_back(std::make_unique<exp_FunctionFactory>());
    factories.push_back(std::make_unique<logn_FunctionFactory>());
    factories.push_back(std::make_unique<ceil_FunctionFactory>());
    factories.push_back(std::make_unique<floor_FunctionFactory>());
    factories.push_back(std::make_unique<rand_FunctionFactory>());
    factories.push_back(std::make_unique<random_FunctionFactory>());
    factories.push_back(std::make_unique<randomize_FunctionFactory>());
    factories.push_back(std::make_unique<deg_FunctionFactory>());
    factories.push_back(std::make_unique<rad_FunctionFactory>());
    factories.push_back(std::make_unique<rect2pol_FunctionFactory>());
    factories.push_back(std::make_unique<pol2rect_FunctionFactory>());
    factories.push_back(std::make_unique<if_FunctionFactory>());
    factories.push_back(std::make_unique<select_FunctionFactory>());
    factories.push_back(std::make_unique<equal_FunctionFactory>());
    factories.push_back(std::make_unique<above_FunctionFactory>());
    factories.push_back(std::make_unique<below_FunctionFactory>());
    factories.push_back(std::make_unique<clip_FunctionFactory>());
    factories.push_back(std::make_unique<clamp_FunctionFactory>());
    factories.push_back(std::make_unique<rescale_FunctionFactory>());
    factories.push_back(std::make_unique<poly_FunctionFactory>());
    factories.push_back(std::make_unique<and_FunctionFactory>());
    factories.push_back(std::make_unique<or_FunctionFactory>());
    factories.push_back(std::make_unique<not_FunctionFactory>());
}

} // namespace Expr
