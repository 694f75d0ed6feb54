#pragma once

#include "BatchOperation.h"

#include <memory>

class FormulaEngine;

/** Makes the operation that settings name. */
class BatchOperationFactory
{
public:
    /** The operation, or null when the settings name none. formulaEngine is
        needed for "convert value", a regular expression
        replace and a recipe, and must outlive the operation. */
    static std::unique_ptr<BatchOperation> create (const BatchSettings& settings, FormulaEngine* formulaEngine);
};
