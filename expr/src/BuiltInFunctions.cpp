#include <expr/FunctionList.h>

namespace Expr {

void FunctionList::AddBuiltInFunctions()
{
}

} // namespace Expr
