#include "ReplaceOperation.h"

#include "DisplayName.h"

#include <expr/Describe.h>

ReplaceOperation::ReplaceOperation (BatchSettings settingsToUse, FormulaEngine* formulaEngine)
    : BatchOperation (std::move (settingsToUse)),
      engine (formulaEngine)
{
}

ReplaceOperation::~ReplaceOperation() = default;

BatchOperation::Refusal ReplaceOperation::prepare()
{
    // An empty search text would match everywhere and never end.
    if (settings.replace.what.isEmpty())
        return { "Nothing to replace", "The search text is empty: enter the text to replace under \"Replace what:\"." };

    group.clear();
    jassert (engine != nullptr || ! settings.replace.regex);
    replacement = engine != nullptr ? std::make_unique<RegexReplacement> (*engine) : std::make_unique<RegexReplacement>();
    auto refused = settings.replace.regex ? replacement->prepare (settings.replace.what, settings.replace.with)
                                          : replacement->prepareLiteral (settings.replace.what, settings.replace.with);
    if (refused.isRefused())
    {
        replacement.reset();
        return refused;
    }
    replacement->setAbortFlag (cancelFlag);
    group.add (*replacement, 1, {});
    return {};
}

juce::String ReplaceOperation::describeTask() const
{
    if (settings.replace.regex)
        return "Replace regular expression: '" + settings.replace.what + "' \n"
             + "with new string: '" + settings.replace.with + "' \n";
    return "Replace string: '" + settings.replace.what + "' \n"
         + "with new string: '" + settings.replace.with + "' \n";
}

FileRewrite ReplaceOperation::rewrite (const juce::File& file, std::string_view original, const FileAnalysis*, const FileState&)
{
    jassert (replacement != nullptr);
    try
    {
        return group.apply (original);
    }
    catch (const Expr::Exception& error)
    {
        // As in "convert value": a formula that fails stops the run here.
        const juce::String reason (Expr::Describe (error));
        throw StopRun { reason, "The formula failed on " + DisplayName::of (file) + ": " + reason + ".\n"
                                    + "This file and the files after it are unchanged; the files before it were changed. " };
    }
}

FormulaEngine* ReplaceOperation::formulaEngineInUse() const
{
    return replacement != nullptr && replacement->hasFormulas() ? engine : nullptr;
}

void ReplaceOperation::setCancelFlag (const std::atomic<bool>* flag)
{
    // A run sets the flag before it prepares the operation: kept for the pattern compiled then.
    cancelFlag = flag;
    if (replacement != nullptr)
        replacement->setAbortFlag (flag);
}
