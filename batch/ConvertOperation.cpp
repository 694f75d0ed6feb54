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
      parameters (ConvertParameters::of (settings.parameters)),
      engine (formulaEngine),
      converter (formulaEngine, parameters.attribute, formatNamed (parameters.numberFormat))
{
}

const OperationDeclaration& ConvertOperation::declaration()
{
    using Kind = ParameterDeclaration::Kind;
    static const OperationDeclaration declared {
        "convert value",
        "--convert",
        "convert",
        true,
        {
            { "attribute", Kind::path, "Attribute:", "attributeToConvertLabel", "SomeAttribute", {}, {}, "ATTRIBUTE", "an attribute or a path", {}, {} },
            { "formula", Kind::formula, "Formula:", "conversionFormulaLabel", "y = x;", {}, {}, "FORMULA", {}, {}, {} },
            { "numberFormat", Kind::choice, "Number format:", "numberFormatLabel", "design", { "design", "keep", "%.2f", "%.6g", "%.3e" }, "--number-format", "FORMAT", {}, { "how converted numbers are written: design (the", "default, %.9g), keep (like the old value), or", "%.Nf, %.Ng, %.Ne with N from 0 to 17" }, [] (const juce::String& format) {
                 return NumberFormat::parse (format.toStdString()) ? juce::String()
                                                                   : "--number-format takes " + juce::String (NumberFormat::choices) + ", not " + format;
             } },
        },
        { "give every attribute named ATTRIBUTE (letter case", "ignored) the value of FORMULA, with x its old value,", "e.g. --convert gain 'y = x * 2;'. ATTRIBUTE may be a", "path holding '/', '[', '@' or '(', e.g.", "\"//par[@name='volume']/@value\" or '//volume/text()'" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine* engine) -> std::unique_ptr<BatchOperation> {
            if (engine == nullptr)
                return nullptr;
            return std::make_unique<ConvertOperation> (settings, *engine);
        },
    };
    return declared;
}

void ConvertOperation::resumeEngine()
{
    engine.setFormula (AttributeConverter::formulaBytes (parameters.formula));
}

BatchOperation::Refusal ConvertOperation::prepare()
{
    if (const auto& refusal = converter.pathRefusal())
        return { "Invalid Path", "The path you have entered is not supported.\n"
                                     + juce::String (ValuePath::describe (parameters.attribute.toStdString(), *refusal)) };

    if (! NumberFormat::parse (parameters.numberFormat.toStdString()))
        return { "Invalid Number Format", "The number format '" + parameters.numberFormat + "' is not one of "
                                              + NumberFormat::choices + "." };

    if (engine.setFormula (AttributeConverter::formulaBytes (parameters.formula)))
        return {};

    juce::String message = "The formula you have entered could not be evaluated.";
    if (engine.lastError() != nullptr)
        message << "\n"
                << describeFormulaError (*engine.lastError());
    return { "Invalid Formula", message };
}

juce::String ConvertOperation::describeTask() const
{
    const auto& convert = parameters;
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
        throw StopRun { reason, "The formula failed on " + DisplayName::of (file) + ": " + reason + ".", "converted" };
    }
}

void ConvertOperation::setCancelFlag (const std::atomic<bool>* flag)
{
    engine.setAbortFlag (flag);
}
