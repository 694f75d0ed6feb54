#pragma once

#include "StructureEditOperation.h"

/** "add attribute": each element a path selects gets an attribute it lacks. */
class AddAttributeOperation : public StructureEditOperation
{
public:
    explicit AddAttributeOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();
    juce::String describeTask() const override;
};
