#include "BatchOperation.h"

#include "BatchTexts.h"
#include "ConvertOperation.h"
#include "ReplaceOperation.h"
#include "RestoreOperation.h"

std::unique_ptr<BatchOperation> BatchOperation::create (const BatchSettings& settings, FormulaEngine* formulaEngine)
{
    if (settings.operation == BatchTexts::replaceOperation)
        return std::make_unique<ReplaceOperation> (settings);

    if (settings.operation == BatchTexts::convertOperation && formulaEngine != nullptr)
        return std::make_unique<ConvertOperation> (settings, *formulaEngine);

    if (settings.operation == BatchTexts::restoreOperation)
        return std::make_unique<RestoreOperation> (settings);

    return nullptr;
}
