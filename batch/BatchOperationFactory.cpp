#include "BatchOperationFactory.h"

#include "OperationDeclaration.h"

std::unique_ptr<BatchOperation> BatchOperationFactory::create (const BatchSettings& settings, FormulaEngine* formulaEngine)
{
    if (settings.operation == nullptr)
        return nullptr;
    return settings.operation->make (settings, formulaEngine);
}
