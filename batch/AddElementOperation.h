#pragma once

#include "StructureEditOperation.h"

/** "add element": an element added as the last child of each element a path selects. */
class AddElementOperation : public StructureEditOperation
{
public:
    explicit AddElementOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();
    juce::String describeTask() const override;
};
