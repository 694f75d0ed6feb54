#pragma once

#include "StructureEditOperation.h"

/** "set value": every attribute or text() a path selects gets one value. */
class SetValueOperation : public StructureEditOperation
{
public:
    explicit SetValueOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();
    juce::String describeTask() const override;
};
