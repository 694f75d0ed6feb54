#pragma once

#include "BatchOperation.h"
#include "RegexReplacement.h"
#include "ReplaceGroup.h"
#include "ReplaceParameters.h"

#include <memory>

/** "replace string": every occurrence of one text replaced by another, or
    with the regular expression switch, every match of a pattern. */
class ReplaceOperation : public BatchOperation
{
public:
    /** formulaEngine (needed for a regular expression) must outlive the operation. */
    ReplaceOperation (BatchSettings settings, FormulaEngine* formulaEngine);
    ~ReplaceOperation() override;

    static const OperationDeclaration& declaration();

    /** Compiles the pattern and its replacement, when it is one. */
    Refusal prepare() override;
    juce::String describeTask() const override;
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                         const FileState& readAs) override;
    FormulaEngine* formulaEngineInUse() const override;
    void setCancelFlag (const std::atomic<bool>* flag) override;
    void setRecordsChanges (bool records) override { group.setRecordsChanges (records); }

private:
    ReplaceParameters parameters;
    FormulaEngine* engine;
    std::unique_ptr<RegexReplacement> replacement; // the pattern, or the literal text
    ReplaceGroup group;
    const std::atomic<bool>* cancelFlag = nullptr;
};
