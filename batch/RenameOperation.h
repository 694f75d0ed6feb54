#pragma once

#include "StructureEditOperation.h"

/** "rename": every attribute or element a path selects gets a new name. */
class RenameOperation : public StructureEditOperation
{
public:
    explicit RenameOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();
    juce::String describeTask() const override;
};
