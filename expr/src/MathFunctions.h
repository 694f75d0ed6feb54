#pragma once

#include "BuiltInFactory.h"

#include <expr/FunctionNode.h>

#include <string>

namespace Expr {

// The mathematical built-ins: one factory and one node class per function,
// private to the library. Limits: value arguments min, max, then reference
// arguments min, max where the function takes any.

class abs_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class abs_FunctionFactory final : public BuiltInFactory<abs_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "abs"; }
};

class mod_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class mod_FunctionFactory final : public BuiltInFactory<mod_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "mod"; }
};

class ipart_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class ipart_FunctionFactory final : public BuiltInFactory<ipart_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "ipart"; }
};

class fpart_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class fpart_FunctionFactory final : public BuiltInFactory<fpart_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "fpart"; }
};

class min_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class min_FunctionFactory final : public BuiltInFactory<min_FunctionNode, 2, unlimited>
{
public:
    std::string FunctionName() override { return "min"; }
};

class max_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class max_FunctionFactory final : public BuiltInFactory<max_FunctionNode, 2, unlimited>
{
public:
    std::string FunctionName() override { return "max"; }
};

class sqrt_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class sqrt_FunctionFactory final : public BuiltInFactory<sqrt_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "sqrt"; }
};

class sin_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class sin_FunctionFactory final : public BuiltInFactory<sin_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "sin"; }
};

class cos_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class cos_FunctionFactory final : public BuiltInFactory<cos_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "cos"; }
};

class tan_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class tan_FunctionFactory final : public BuiltInFactory<tan_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "tan"; }
};

class sinh_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class sinh_FunctionFactory final : public BuiltInFactory<sinh_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "sinh"; }
};

class cosh_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class cosh_FunctionFactory final : public BuiltInFactory<cosh_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "cosh"; }
};

class tanh_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class tanh_FunctionFactory final : public BuiltInFactory<tanh_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "tanh"; }
};

class asin_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class asin_FunctionFactory final : public BuiltInFactory<asin_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "asin"; }
};

class acos_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class acos_FunctionFactory final : public BuiltInFactory<acos_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "acos"; }
};

class atan_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class atan_FunctionFactory final : public BuiltInFactory<atan_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "atan"; }
};

class atan2_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class atan2_FunctionFactory final : public BuiltInFactory<atan2_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "atan2"; }
};

class log_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class log_FunctionFactory final : public BuiltInFactory<log_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "log"; }
};

class ln_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class ln_FunctionFactory final : public BuiltInFactory<ln_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "ln"; }
};

class exp_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class exp_FunctionFactory final : public BuiltInFactory<exp_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "exp"; }
};

class logn_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class logn_FunctionFactory final
    : public BuiltInFactory<logn_FunctionNode, 2, 2, 0, 0, FunctionNode::ArgumentOrder::SecondThenFirst>
{
public:
    std::string FunctionName() override { return "logn"; }
};

class ceil_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class ceil_FunctionFactory final : public BuiltInFactory<ceil_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "ceil"; }
};

class floor_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class floor_FunctionFactory final : public BuiltInFactory<floor_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "floor"; }
};

class deg_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class deg_FunctionFactory final : public BuiltInFactory<deg_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "deg"; }
};

class rad_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class rad_FunctionFactory final : public BuiltInFactory<rad_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "rad"; }
};

class rect2pol_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class rect2pol_FunctionFactory final : public BuiltInFactory<rect2pol_FunctionNode, 2, 2, 2, 2>
{
public:
    std::string FunctionName() override { return "rect2pol"; }
};

class pol2rect_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class pol2rect_FunctionFactory final : public BuiltInFactory<pol2rect_FunctionNode, 2, 2, 2, 2>
{
public:
    std::string FunctionName() override { return "pol2rect"; }
};

} // namespace Expr
