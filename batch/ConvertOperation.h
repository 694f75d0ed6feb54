#pragma once

#include "AttributeConverter.h"
#include "BatchOperation.h"
#include "ConvertParameters.h"

#include <optional>

/** "convert value": every attribute of one name gets the formula's value. */
class ConvertOperation : public BatchOperation
{
public:
    ConvertOperation (BatchSettings settings, FormulaEngine& formulaEngine);

    static const OperationDeclaration& declaration();

    /** Parses the formula: the run uses it as parsed here. */
    Refusal prepare() override;
    juce::String describeTask() const override;

    /** Parses the document and finds its values; the formula is not used. */
    std::unique_ptr<FileAnalysis> analyse (std::string_view original, const std::atomic<bool>& stop) const override;
    bool analysesFiles() const override { return true; }
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                         const FileState& readAs) override;
    FormulaEngine* formulaEngineInUse() const override { return &engine; }

    void setRecordsChanges (bool records) override { converter.setRecordsChanges (records); }

    /** Stops an evaluation in progress through the engine's abort hook. */
    void setCancelFlag (const std::atomic<bool>* flag) override;

    /** Gives the engine this operation's formula again, after another used it. */
    void resumeEngine() override;

private:
    template<class Conversion>
    FileRewrite convert (const juce::File& file, Conversion&& conversion);

    ConvertParameters parameters;
    FormulaEngine& engine;
    AttributeConverter converter;
};
