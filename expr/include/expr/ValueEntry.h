#pragma once

#include <string>

namespace Expr {

/** One named number of a ValueList. Allocated on its own so that the address
    of its value cell never changes while the list grows. */
struct ValueEntry
{
    std::string name;
    bool constant = false;
    double value = 0.0;
};

} // namespace Expr
