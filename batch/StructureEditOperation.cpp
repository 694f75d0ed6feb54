#include "StructureEditOperation.h"

#include "TextPosition.h"
#include "ValuePath.h"

namespace
{
    struct EditAnalysis : FileAnalysis
    {
        explicit EditAnalysis (StructureEditor::Outcome found)
            : outcome (std::move (found)) {}
        StructureEditor::Outcome outcome;
    };

    juce::String counted (int count, const char* one, const char* many)
    {
        return juce::String (count) + " " + (count == 1 ? one : many);
    }

    /** Each edit as a report lists it: where it starts and its texts as UTF-8. */
    std::vector<TextChange> changesOf (std::string_view document, const std::vector<StructureEditor::Edit>& edits)
    {
        auto encoding = XmlTextEncoding::detect (document);
        TextPosition position (document, encoding);
        encoding.byteOrderMarkLength = 0;
        std::vector<TextChange> changes;
        for (const auto& edit : edits)
        {
            const auto place = position.at (edit.offset);
            changes.push_back ({ place.line, place.column, XmlTextEncoding::asUtf8 (document.substr (edit.offset, edit.length), encoding),
                                 XmlTextEncoding::asUtf8 (edit.bytes, encoding), 1 });
        }
        return changes;
    }
}

StructureEditOperation::StructureEditOperation (BatchSettings settingsToUse, StructureEditor::Kind editKind)
    : BatchOperation (std::move (settingsToUse)), kind (editKind)
{
}

StructureEditOperation::~StructureEditOperation() = default;

ParameterDeclaration StructureEditOperation::pathParameter (const juce::String& defaultPath, juce::StringArray help)
{
    return { "path", ParameterDeclaration::Kind::path, "Path:", "pathLabel", defaultPath, {}, {}, "PATH", "a PATH", std::move (help), {} };
}

ParameterDeclaration StructureEditOperation::nameParameter (const juce::String& defaultName)
{
    return { "name", ParameterDeclaration::Kind::text, "Name:", "nameLabel", defaultName, {}, {}, "NAME", "a NAME", {}, {} };
}

ParameterDeclaration StructureEditOperation::valueParameter (const juce::String& defaultValue)
{
    return { "value", ParameterDeclaration::Kind::text, "Value:", "valueLabel", defaultValue, {}, {}, "VALUE", {}, {}, {} };
}

BatchOperation::Refusal StructureEditOperation::prepare()
{
    using Kind = StructureEditor::Kind;
    editor.reset();
    const auto pathText = parameter ("path").toStdString();
    ValuePath::Refusal refused;
    auto parsed = ValuePath::parse (pathText, refused, true);
    if (parsed)
        if (const auto wrongKind = StructureEditor::refusalFor (kind, (int) parsed->target()); ! wrongKind.empty())
        {
            refused = { wrongKind, 0, std::max<size_t> (1, pathText.size()) };
            parsed.reset();
        }
    if (! parsed)
        return { "Invalid Path", "The path you have entered cannot be used.\n" + juce::String (ValuePath::describe (pathText, refused)) };

    const bool takesName = kind == Kind::rename || kind == Kind::addAttribute;
    if (const auto problem = StructureEditor::nameProblem (parameter ("name")); takesName && problem.isNotEmpty())
        return { "Invalid Name", "The name you have entered cannot be used: " + problem + "." };

    const auto value = kind == Kind::addElement ? parameter ("fragment") : parameter ("value");
    if (kind == Kind::addElement)
    {
        if (const auto problem = StructureEditor::fragmentProblem (value); problem.isNotEmpty())
            return { "Invalid Fragment", "The fragment you have entered cannot be added: " + problem + "." };
    }
    else if (const auto problem = StructureEditor::valueProblem (value); problem.isNotEmpty())
        return { "Invalid Value", "The value you have entered cannot be written: " + problem + "." };

    editor = std::make_unique<StructureEditor> (kind, std::make_shared<const ValuePath> (std::move (*parsed)), parameter ("name"), value);
    return {};
}

std::unique_ptr<FileAnalysis> StructureEditOperation::analyse (std::string_view original, const std::atomic<bool>& stop) const
{
    jassert (editor != nullptr);
    return std::make_unique<EditAnalysis> (editor->apply (original, &stop));
}

FileRewrite StructureEditOperation::rewrite (const juce::File&, std::string_view original, const FileAnalysis* analysis, const FileState&)
{
    jassert (editor != nullptr);
    if (analysis != nullptr)
        return rewriteFrom (original, static_cast<const EditAnalysis&> (*analysis).outcome);
    return rewriteFrom (original, editor->apply (original));
}

FileRewrite StructureEditOperation::rewriteFrom (std::string_view original, const StructureEditor::Outcome& outcome) const
{
    FileRewrite rewrite;
    if (! outcome.failure.empty())
    {
        rewrite.result = juce::Result::fail (juce::String (outcome.failure));
        return rewrite;
    }
    rewrite.changes = outcome.edits.empty() ? 0 : std::max (1, outcome.changed);
    rewrite.remark = remarkOf (outcome);
    if (rewrite.changes > 0)
        rewrite.bytes = outcome.bytes;
    if (recordsChanges)
        rewrite.changeList = changesOf (original, outcome.edits);
    return rewrite;
}

juce::String StructureEditOperation::remarkOf (const StructureEditor::Outcome& outcome) const
{
    using Kind = StructureEditor::Kind;
    if (outcome.selected == 0)
        return "(nothing selected) ";

    juce::StringArray parts;
    switch (kind)
    {
        case Kind::setValue: parts.add (counted (outcome.changed, "value set", "values set")); break;
        case Kind::rename: parts.add (counted (outcome.changed, "renamed", "renamed")); break;
        case Kind::remove: parts.add (counted (outcome.changed, "deleted", "deleted")); break;
        case Kind::addAttribute: parts.add (counted (outcome.changed, "attribute added", "attributes added")); break;
        case Kind::addElement: parts.add (counted (outcome.changed, "element added", "elements added")); break;
    }
    if (const int unchanged = outcome.selected - outcome.changed - outcome.leftAlone; unchanged > 0 && (kind == Kind::setValue || kind == Kind::rename))
        parts.add (counted (unchanged, "already so", "already so"));
    if (outcome.leftAlone > 0)
        parts.add (kind == Kind::addAttribute ? counted (outcome.leftAlone, "element that has it already left alone", "elements that have it already left alone")
                                              : counted (outcome.leftAlone, "text holding markup kept as it was", "texts holding markup kept as they were"));
    return "(" + parts.joinIntoString (", ") + ") ";
}
