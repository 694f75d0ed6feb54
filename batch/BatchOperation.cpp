#include "BatchOperation.h"

BatchOperation::Refusal BatchOperation::prepareForRun (BatchOperation* operation)
{
    if (operation == nullptr)
        return { "Nothing to do", "No operation is chosen." };

    if (auto refused = operation->prepare(); refused.isRefused())
        return refused;

    if (operation->affectedFiles().isEmpty())
        return { "Nothing to do", "There are no files to process in " + operation->getSettings().directoryPath + "." };

    return {};
}
