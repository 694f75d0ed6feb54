#include "ReplaceOperation.h"

#include "DisplayName.h"

#include <expr/Describe.h>

ReplaceOperation::ReplaceOperation (BatchSettings settingsToUse, FormulaEngine* formulaEngine)
    : BatchOperation (std::move (settingsToUse)),
      parameters (ReplaceParameters::of (settings.parameters)),
      engine (formulaEngine)
{
}

const OperationDeclaration& ReplaceOperation::declaration()
{
    using Kind = ParameterDeclaration::Kind;
    static const OperationDeclaration declared {
        "replace string",
        "--replace",
        "replace",
        true,
        {
            { "what", Kind::text, "Replace what:", "replaceWhatLabel", "Blah", {}, {}, "WHAT", "a text to replace", {}, {} },
            { "regex", Kind::flag, "regular expression", "regexToggle", "0", {}, "--regex", {}, {}, { "WHAT is a regular expression (PCRE2; ^ and $ at", "each line) and WITH may hold $1..$99, ${name}, $0,", "$$ and ${= FORMULA } on groups read as numbers _1,", "_2... or by name, e.g. --regex --replace", "'id=\"([a-z]+)-(\\d+)\"' 'id=\"$1_$2\"' or", "--regex --replace 'gain=\"([-.0-9]+)dB\"'", "'gain=\"${= _1 - 6 }dB\"'" }, {} },
            { "with", Kind::text, "Replace with:", "replaceWithLabel", "Blub", {}, {}, "WITH", {}, {}, {} },
        },
        { "replace every WHAT by WITH in the whole text of each",
          "file (case-sensitive, left to right, no overlaps)" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine* engine) -> std::unique_ptr<BatchOperation> {
            if (settings.parameters.flag ("regex") && engine == nullptr)
                return nullptr;
            return std::make_unique<ReplaceOperation> (settings, engine);
        },
    };
    return declared;
}

ReplaceOperation::~ReplaceOperation() = default;

BatchOperation::Refusal ReplaceOperation::prepare()
{
    // An empty search text would match everywhere and never end.
    if (parameters.what.isEmpty())
        return { "Nothing to replace", "The search text is empty: enter the text to replace under \"Replace what:\"." };

    group.clear();
    jassert (engine != nullptr || ! parameters.regex);
    replacement = engine != nullptr ? std::make_unique<RegexReplacement> (*engine) : std::make_unique<RegexReplacement>();
    auto refused = parameters.regex ? replacement->prepare (parameters.what, parameters.with)
                                    : replacement->prepareLiteral (parameters.what, parameters.with);
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
    if (parameters.regex)
        return "Replace regular expression: '" + parameters.what + "' \n"
             + "with new string: '" + parameters.with + "' \n";
    return "Replace string: '" + parameters.what + "' \n"
         + "with new string: '" + parameters.with + "' \n";
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
        throw StopRun { reason, "The formula failed on " + DisplayName::of (file) + ": " + reason + "." };
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
