#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/Node.h>

#include "Parser.h"

namespace Expr {

Expression::Expression() = default;

Expression::~Expression() = default;

void Expression::Parse(const std::string& text)
{
    root.reset();
    Parser parser(this);
    root = parser.Parse(text);
}

double Expression::Compute()
{
    if (root == nullptr)
        throw EmptyExpressionException();
    return root->Compute();
}

bool Expression::CheckAbort()
{
    return false;
}

} // namespace Expr
