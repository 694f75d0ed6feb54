#pragma once

#include <string>

namespace Expr
{

    /** One named number of a ValueList. Allocated on its own so that the address
    of its value cell never changes while the list grows. */
    struct ValueEntry
    {
        /** The name formulas use. */
        std::string name;
        /** True when formulas may read but not assign it. */
        bool constant = false;
        /** The current value; parsed formulas keep this cell's address. */
        double value = 0.0;
    };

} // namespace Expr
