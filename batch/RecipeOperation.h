#pragma once

#include "BatchOperation.h"

#include <memory>
#include <vector>

/**
    A recipe: its steps applied to each file in one pass. The file is read
    once, the steps work on its text in order and it is written once, after
    one backup for the whole run. Consecutive replace steps act together in
    one scan (ReplaceGroup); any other step (a convert) stands alone between them.
    Formula variables go on from step to step as from file to file. A step
    that fails a file leaves the whole file as it was, with the step named.
*/
class RecipeOperation : public BatchOperation
{
public:
    /** formulaEngine must outlive the operation. */
    RecipeOperation (BatchSettings settings, FormulaEngine& formulaEngine);
    ~RecipeOperation() override;

    static const OperationDeclaration& declaration();

    /** Compiles every step; refuses, naming the step, what one of them refuses. */
    Refusal prepare() override;
    juce::String describeTask() const override;
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                         const FileState& readAs) override;
    FormulaEngine* formulaEngineInUse() const override;
    void setCancelFlag (const std::atomic<bool>* flag) override;
    void setRecordsChanges (bool records) override;

    /** How failures name a step: "step 2 (replace cat dog)". */
    static juce::String labelOf (const RecipeStep& step, int number);

private:
    struct Stage;
    Refusal addStep (const RecipeStep& step, int number);
    FileRewrite applyStage (Stage& stage, const juce::File& file, const std::string& text);

    FormulaEngine& engine;
    std::vector<std::unique_ptr<Stage>> stages;
    const std::atomic<bool>* cancelFlag = nullptr;
    bool recordsChanges = false;
};
