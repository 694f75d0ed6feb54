#include "RecipeOperation.h"

#include "AttributeConverter.h"
#include "ReplaceOperation.h"
#include "DisplayName.h"
#include "FormulaEngine.h"
#include "RegexReplacement.h"
#include "ReplaceGroup.h"

#include <expr/Describe.h>

/** What the text goes through at once: a group of replace steps, or one other step. */
struct RecipeOperation::Stage
{
    std::vector<std::unique_ptr<RegexReplacement>> replacements;
    ReplaceGroup group;
    std::unique_ptr<BatchOperation> alone; // set for a step that is not a replace
    int step = 0;                          // the first step of the stage, from 1
    juce::String label;
};

RecipeOperation::RecipeOperation (BatchSettings settingsToUse, FormulaEngine& formulaEngine)
    : BatchOperation (std::move (settingsToUse)),
      engine (formulaEngine)
{
}

RecipeOperation::~RecipeOperation() = default;

const OperationDeclaration& RecipeOperation::declaration()
{
    static const OperationDeclaration declared {
        "apply recipe",
        "--recipe",
        {},
        false,
        { { "recipe", ParameterDeclaration::Kind::recipe, {}, {}, {}, {}, {}, "FILE", "the recipe FILE", {}, {} } },
        { "apply the steps of a recipe file to each file in one",
          "pass, with one backup: one step a line, in this",
          "tool's words and quoted as the shell quotes, e.g.",
          "  replace cat dog",
          "  replace --regex 'id=\"(\\d+)\"' 'id=\"n$1\"'",
          "  convert --number-format keep gain 'y = x * 2;'",
          "and '#' comments; include GLOB, exclude GLOB and",
          "recursive lines choose files as the options do.",
          "Consecutive replace lines act in one scan: at each",
          "place the first that matches wins, and replaced",
          "text is not scanned again (so a swap works)" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine* engine) -> std::unique_ptr<BatchOperation> {
            if (engine == nullptr)
                return nullptr;
            return std::make_unique<RecipeOperation> (settings, *engine);
        },
    };
    return declared;
}

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
    const auto& steps = settings.steps;
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
    jassert (step.operation != nullptr);
    if (step.operation != &ReplaceOperation::declaration())
    {
        auto stage = std::make_unique<Stage>();
        BatchSettings alone;
        alone.operation = step.operation;
        alone.parameters = step.parameters;
        stage->alone = step.operation->make (alone, &engine);
        if (stage->alone == nullptr)
            return { "Not a step", "A recipe cannot take \"" + step.operation->label + "\"." };
        stage->alone->setCancelFlag (cancelFlag);
        stage->step = number;
        stage->label = labelOf (step, number);
        auto refused = stage->alone->prepare();
        stages.push_back (std::move (stage));
        return refused;
    }

    // A replace step joins the replace steps right before it: one scan for all.
    if (stages.empty() || stages.back()->alone != nullptr)
    {
        stages.push_back (std::make_unique<Stage>());
        stages.back()->step = number;
    }
    auto& stage = *stages.back();
    const auto replace = ReplaceParameters::of (step.parameters);
    if (replace.what.isEmpty())
        return { "Nothing to replace", "The search text is empty." };
    auto replacement = std::make_unique<RegexReplacement> (engine);
    auto refused = replace.regex ? replacement->prepare (replace.what, replace.with)
                                 : replacement->prepareLiteral (replace.what, replace.with);
    if (refused.isRefused())
        return refused;
    replacement->setAbortFlag (cancelFlag);
    stage.group.add (*replacement, number, labelOf (step, number));
    stage.replacements.push_back (std::move (replacement));
    return {};
}

juce::String RecipeOperation::describeTask() const
{
    const auto& steps = settings.steps;
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
        return StopRun { label + ": " + reason, "The formula of " + label + " failed on " + DisplayName::of (file) + ": " + reason + "." };
    };

    if (stage.alone == nullptr)
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

    // The engine holds one formula at a time: each step puts its own back.
    stage.alone->resumeEngine();
    FileRewrite done;
    try
    {
        done = stage.alone->rewrite (file, text, nullptr, FileState {}); // a step looks at the bytes only
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
        if (stage->alone != nullptr && stage->alone->formulaEngineInUse() != nullptr)
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
    {
        if (stage->alone != nullptr)
            stage->alone->setCancelFlag (flag);
        for (auto& replacement : stage->replacements)
            replacement->setAbortFlag (flag);
    }
}

void RecipeOperation::setRecordsChanges (bool records)
{
    recordsChanges = records;
    for (auto& stage : stages)
    {
        stage->group.setRecordsChanges (records);
        if (stage->alone != nullptr)
            stage->alone->setRecordsChanges (records);
    }
}
