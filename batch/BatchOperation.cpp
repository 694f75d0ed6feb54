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

BatchOperation::Refusal BatchOperation::checkBeforeRun (BatchOperation* operation)
{
    if (operation == nullptr)
        return { "Nothing to do", "No operation is chosen." };

    if (auto refused = operation->refusal(); refused.isRefused())
        return refused;

    if (operation->affectedFiles().isEmpty())
        return { "Nothing to do", "There are no files to process in " + operation->getSettings().directoryPath + "." };

    return {};
}
