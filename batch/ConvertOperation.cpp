#include "ConvertOperation.h"

#include "DisplayName.h"
#include "FormulaEngine.h"
#include "FormulaErrorText.h"

#include <expr/Describe.h>

namespace
{
    NumberFormat formatNamed (const juce::String& text)
    {
        return NumberFormat::parse (text.toStdString()).value_or (NumberFormat());
    }
}

ConvertOperation::ConvertOperation (BatchSettings settingsToUse, FormulaEngine& formulaEngine)
    : BatchOperation (std::move (settingsToUse)),
      engine (formulaEngine),
      converter (formulaEngine, settings.convert.attribute, formatNamed (settings.convert.numberFormat))
{
}

BatchOperation::Refusal ConvertOperation::prepare()
{
    if (const auto& refusal = converter.pathRefusal())
        return { "Invalid Path", "The path you have entered is not supported.\n"
                                     + juce::String (ValuePath::describe (settings.convert.attribute.toStdString(), *refusal)) };

    if (! NumberFormat::parse (settings.convert.numberFormat.toStdString()))
        return { "Invalid Number Format", "The number format '" + settings.convert.numberFormat + "' is not one of "
                                              + NumberFormat::choices + "." };

    if (engine.setFormula (AttributeConverter::formulaBytes (settings.convert.formula)))
        return {};

    juce::String message = "The formula you have entered could not be evaluated.";
    if (engine.lastError() != nullptr)
        message << "\n"
                << describeFormulaError (*engine.lastError());
    return { "Invalid Formula", message };
}

juce::String ConvertOperation::describeTask() const
{
    const auto& convert = settings.convert;
    juce::String text = converter.selectsByPath() ? "Convert values selected by the path: '" + convert.attribute + "' \n"
                                                  : "Convert value of attributes with name: '" + convert.attribute + "' \n";
    text << "via the conversion formula: " << convert.formula << "\n";
    if (const auto format = NumberFormat::parse (convert.numberFormat.toStdString()); ! format || ! format->isDefault())
        text << "written in the number format: " << convert.numberFormat << "\n";
    return text;
}

namespace
{
    struct FoundValuesAnalysis : FileAnalysis
    {
        explicit FoundValuesAnalysis (AttributeConverter::FoundValues values)
            : found (std::move (values)) {}
        AttributeConverter::FoundValues found;
    };
}


std::unique_ptr<FileAnalysis> ConvertOperation::analyse (std::string_view original, const std::atomic<bool>& stop) const
{
    return std::make_unique<FoundValuesAnalysis> (converter.findValues (original, &stop));
}

FileRewrite ConvertOperation::rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis, const FileState&)
{
    if (analysis == nullptr)
        return convert (file, [&] { return converter.rewrite (original); });

    const auto& found = static_cast<const FoundValuesAnalysis&> (*analysis).found;
    return convert (file, [&] { return converter.rewrite (original, found); });
}

template<class Conversion>
FileRewrite ConvertOperation::convert (const juce::File& file, Conversion&& conversion)
{
    try
    {
        return conversion();
    }
    catch (const Expr::Exception& error)
    {
        // The formula cannot go on: this file stays as it was, earlier ones
        // stay converted, the rest are not touched.
        const juce::String reason (Expr::Describe (error));
        throw StopRun { reason, "The formula failed on " + DisplayName::of (file) + ": " + reason + ".\n"
                                    + "This file and the files after it are unchanged; the files before it were converted. " };
    }
}

void ConvertOperation::setCancelFlag (const std::atomic<bool>* flag)
{
    engine.setAbortFlag (flag);
}
