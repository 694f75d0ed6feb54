#pragma once

#include "BuiltInFactory.h"

#include <expr/FunctionNode.h>

#include <string>

namespace Expr {

// The random, condition, range, polynomial and logic built-ins: one factory
// and one node class per function, private to the library. Limits: value
// arguments min, max, then reference arguments min, max where the function
// takes any.

class rand_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class rand_FunctionFactory final : public BuiltInFactory<rand_FunctionNode, 0, 0, 1, 1>
{
public:
    std::string FunctionName() override { return "rand"; }
};

class random_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class random_FunctionFactory final : public BuiltInFactory<random_FunctionNode, 2, 2, 1, 1>
{
public:
    std::string FunctionName() override { return "random"; }
};

class randomize_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class randomize_FunctionFactory final : public BuiltInFactory<randomize_FunctionNode, 0, 0, 1, 1>
{
public:
    std::string FunctionName() override { return "randomize"; }
};

class if_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class if_FunctionFactory final : public BuiltInFactory<if_FunctionNode, 3, 3>
{
public:
    std::string FunctionName() override { return "if"; }
};

class select_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class select_FunctionFactory final : public BuiltInFactory<select_FunctionNode, 3, 4>
{
public:
    std::string FunctionName() override { return "select"; }
};

class equal_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class equal_FunctionFactory final : public BuiltInFactory<equal_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "equal"; }
};

class above_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class above_FunctionFactory final : public BuiltInFactory<above_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "above"; }
};

class below_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class below_FunctionFactory final : public BuiltInFactory<below_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "below"; }
};

class clip_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class clip_FunctionFactory final : public BuiltInFactory<clip_FunctionNode, 3, 3>
{
public:
    std::string FunctionName() override { return "clip"; }
};

class clamp_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class clamp_FunctionFactory final : public BuiltInFactory<clamp_FunctionNode, 3, 3>
{
public:
    std::string FunctionName() override { return "clamp"; }
};

class rescale_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class rescale_FunctionFactory final : public BuiltInFactory<rescale_FunctionNode, 5, 5>
{
public:
    std::string FunctionName() override { return "rescale"; }
};

class poly_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class poly_FunctionFactory final : public BuiltInFactory<poly_FunctionNode, 2, unlimited>
{
public:
    std::string FunctionName() override { return "poly"; }
};

class and_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class and_FunctionFactory final : public BuiltInFactory<and_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "and"; }
};

class or_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class or_FunctionFactory final : public BuiltInFactory<or_FunctionNode, 2, 2>
{
public:
    std::string FunctionName() override { return "or"; }
};

class not_FunctionNode final : public FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override;
};

class not_FunctionFactory final : public BuiltInFactory<not_FunctionNode, 1, 1>
{
public:
    std::string FunctionName() override { return "not"; }
};

} // namespace Expr
