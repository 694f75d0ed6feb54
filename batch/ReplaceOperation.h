#pragma once

#include "BatchOperation.h"

/** "replace string": every occurrence of one text replaced by another. */
class ReplaceOperation : public BatchOperation
{
public:
    using BatchOperation::BatchOperation;

    Refusal prepare() override;
    juce::String describeTask() const override;
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis) override;
};
