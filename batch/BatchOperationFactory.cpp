#include "BatchOperationFactory.h"

#include "ConvertOperation.h"
#include "RecipeOperation.h"
#include "ReplaceOperation.h"
#include "RestoreOperation.h"

std::unique_ptr<BatchOperation> BatchOperationFactory::create (const BatchSettings& settings, FormulaEngine* formulaEngine)
{
    if (! settings.operation.has_value())
        return nullptr;

    switch (*settings.operation)
    {
        case OperationKind::replace:
            if (settings.replace.regex && formulaEngine == nullptr)
                return nullptr;
            return std::make_unique<ReplaceOperation> (settings, formulaEngine);
        case OperationKind::convert:
            if (formulaEngine == nullptr)
                return nullptr;
            return std::make_unique<ConvertOperation> (settings, *formulaEngine);
        case OperationKind::restore:
            return std::make_unique<RestoreOperation> (settings);
        case OperationKind::recipe:
            if (formulaEngine == nullptr)
                return nullptr;
            return std::make_unique<RecipeOperation> (settings, *formulaEngine);
    }
    return nullptr;
}
