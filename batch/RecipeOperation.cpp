#include "RecipeOperation.h"

#include "AttributeConverter.h"
#include "ConvertOperation.h"
#include "DisplayName.h"
#include "FormulaEngine.h"
#include "RegexReplacement.h"
#include "ReplaceGroup.h"

#include <expr/Describe.h>

/** What the text goes through at once: a group of replace steps, or one convert step. */
struct RecipeOperation::Stage
{
    std::vector<std::unique_ptr<RegexReplacement>> replacements;
    ReplaceGroup group;
    std::unique_ptr<ConvertOperation> convert; // set for a convert step
    std::string formula;                       // its formula, as the engine takes it
    int step = 0;                              // the first step of the stage, from 1
    juce::String label;
};

RecipeOperation::RecipeOperation (BatchSettings settingsToUse, FormulaEngine& formulaEngine)
    : BatchOperation (std::move (settingsToUse)),
      engine (formulaEngine)
{
}

RecipeOperation::~RecipeOperation() = default;

juce::String RecipeOperation::labelOf (const RecipeStep& step, int number)
{
    // On one line, and short: the label goes into a file's log line.
    constexpr int longest = 60;
    juce::StringArray words;
    words.addTokens (step.text(), " \t\r\n", {});
    words.removeEmptyStrings();
    auto text = words.joinIntoString (" ");
    if (text.length() > longest)
        text = text.substring (0, longest - 3) + "...";
    return "step " + juce::String (number) + " (" + text + ")";
}

BatchOperation::Refusal RecipeOperation::prepare()
{
    stages.clear();
    const auto& steps = settings.recipe.steps;
    if (steps.empty())
        return { "Nothing to do", "The recipe has no step." };

    for (size_t i = 0; i < steps.size(); ++i)
    {
        if (auto refused = addStep (steps[i], (int) i + 1); refused.isRefused())
        {
            const auto where = steps[i].line > 0 ? " (line " + juce::String (steps[i].line) + " of the recipe)" : juce::String();
            refused.message = "Step " + juce::String ((int) i + 1) + where + ": " + steps[i].text() + "\n" + refused.message;
            stages.clear();
            return refused;
        }
    }
    setRecordsChanges (recordsChanges);
    return {};
}

BatchOperation::Refusal RecipeOperation::addStep (const RecipeStep& step, int number)
{
    if (step.kind == OperationKind::convert)
    {
        auto stage = std::make_unique<Stage>();
        BatchSettings alone;
        alone.operation = OperationKind::convert;
        alone.convert = step.convert;
        stage->convert = std::make_unique<ConvertOperation> (alone, engine);
        stage->formula = AttributeConverter::formulaBytes (step.convert.formula);
        stage->step = number;
        stage->label = labelOf (step, number);
        auto refused = stage->convert->prepare();
        stages.push_back (std::move (stage));
        return refused;
    }

    // A replace step joins the replace steps right before it: one scan for all.
    if (stages.empty() || stages.back()->convert != nullptr)
    {
        stages.push_back (std::make_unique<Stage>());
        stages.back()->step = number;
    }
    auto& stage = *stages.back();
    if (step.replace.what.isEmpty())
        return { "Nothing to replace", "The search text is empty." };
    auto replacement = std::make_unique<RegexReplacement> (engine);
    auto refused = step.replace.regex ? replacement->prepare (step.replace.what, step.replace.with)
                                      : replacement->prepareLiteral (step.replace.what, step.replace.with);
    if (refused.isRefused())
        return refused;
    replacement->setAbortFlag (cancelFlag);
    stage.group.add (*replacement, number, labelOf (step, number));
    stage.replacements.push_back (std::move (replacement));
    return {};
}

juce::String RecipeOperation::describeTask() const
{
    const auto& steps = settings.recipe.steps;
    juce::String text = "Apply a recipe of " + juce::String ((int) steps.size()) + (steps.size() == 1 ? " step" : " steps")
                      + ", all in one pass over each file: \n";
    for (size_t i = 0; i < steps.size(); ++i)
        text << "step " << juce::String ((int) i + 1) << ": " << steps[i].text() << "\n";
    return text;
}

FileRewrite RecipeOperation::rewrite (const juce::File& file, std::string_view original, const FileAnalysis*, const FileState&)
{
    FileRewrite total;
    std::string text (original);
    juce::StringArray remarks;

    for (auto& stage : stages)
    {
        auto done = applyStage (*stage, file, text);
        // No half-applied recipe: a step that fails the file leaves all of it as it was.
        if (done.result.failed())
        {
            FileRewrite failure;
            failure.result = done.result;
            return failure;
        }
        if (done.remark.trim().isNotEmpty())
            remarks.add (done.remark.trim());
        for (auto& change : done.changeList)
            total.changeList.push_back (std::move (change));
        if (done.changes > 0)
        {
            total.changes += done.changes;
            text = std::move (done.bytes);
        }
    }

    // Steps that undo one another leave the file as it was: then it is not rewritten.
    if (total.changes > 0 && text == original)
    {
        total.changes = 0;
        total.changeList.clear();
    }
    if (total.changes > 0)
        total.bytes = std::move (text);
    total.remark = remarks.isEmpty() ? juce::String() : remarks.joinIntoString (" ") + " ";
    return total;
}

FileRewrite RecipeOperation::applyStage (Stage& stage, const juce::File& file, const std::string& text)
{
    const auto stopped = [&] (const juce::String& label, const juce::String& reason) {
        return StopRun { label + ": " + reason, "The formula of " + label + " failed on " + DisplayName::of (file) + ": " + reason + ".\n"
                                                    + "This file and the files after it are unchanged; the files before it were changed. " };
    };

    if (stage.convert == nullptr)
    {
        try
        {
            return stage.group.apply (text);
        }
        catch (const Expr::Exception& error)
        {
            throw stopped (stage.group.failingLabel(), juce::String (Expr::Describe (error)));
        }
    }

    // The engine holds one formula at a time: each convert step puts its own back.
    engine.setFormula (stage.formula);
    FileRewrite done;
    try
    {
        done = stage.convert->rewrite (file, text, nullptr, FileState {}); // a conversion looks at the bytes only
    }
    catch (const StopRun& stop)
    {
        throw stopped (stage.label, stop.reason);
    }
    if (done.result.failed())
        done.result = juce::Result::fail (stage.label + ": " + done.result.getErrorMessage());
    for (auto& change : done.changeList)
        change.step = stage.step;
    return done;
}

FormulaEngine* RecipeOperation::formulaEngineInUse() const
{
    for (const auto& stage : stages)
    {
        if (stage->convert != nullptr)
            return &engine;
        for (const auto& replacement : stage->replacements)
            if (replacement->hasFormulas())
                return &engine;
    }
    return nullptr;
}

void RecipeOperation::setCancelFlag (const std::atomic<bool>* flag)
{
    // A run sets the flag before it prepares the operation: kept for the steps compiled then.
    cancelFlag = flag;
    engine.setAbortFlag (flag);
    for (auto& stage : stages)
        for (auto& replacement : stage->replacements)
            replacement->setAbortFlag (flag);
}

void RecipeOperation::setRecordsChanges (bool records)
{
    recordsChanges = records;
    for (auto& stage : stages)
    {
        stage->group.setRecordsChanges (records);
        if (stage->convert != nullptr)
            stage->convert->setRecordsChanges (records);
    }
}
