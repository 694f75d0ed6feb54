#pragma once

#include "StructureEditOperation.h"

/** "delete": every attribute or element a path selects is removed. */
class DeleteOperation : public StructureEditOperation
{
public:
    explicit DeleteOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();
    juce::String describeTask() const override;
};
