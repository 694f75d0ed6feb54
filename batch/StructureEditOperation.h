#pragma once

#include "BatchOperation.h"
#include "StructureEditor.h"

#include <memory>

/**
    What the five structure edits (set value, rename, delete, add attribute,
    add element) share: the path and the texts given are checked before
    anything is written, each file is parsed and edited byte for byte by a
    StructureEditor, and its log line counts what changed. Each edit is a
    class of its own with its declaration and its description.
*/
class StructureEditOperation : public BatchOperation
{
public:
    StructureEditOperation (BatchSettings settings, StructureEditor::Kind kind);
    ~StructureEditOperation() override;

    /** Parses the path and checks it, the NAME, the VALUE or the FRAGMENT for the edit. */
    Refusal prepare() override;

    /** The whole edit depends only on the bytes: it is done ahead. */
    bool analysesFiles() const override { return true; }
    std::unique_ptr<FileAnalysis> analyse (std::string_view original, const std::atomic<bool>& stop) const override;
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                         const FileState& readAs) override;
    void setRecordsChanges (bool records) override { recordsChanges = records; }

protected:
    juce::String parameter (const juce::String& key) const { return settings.parameters.text (key); }

    /** The parameters the edits declare, alike for each. */
    static ParameterDeclaration pathParameter (const juce::String& defaultPath, juce::StringArray help);
    static ParameterDeclaration nameParameter (const juce::String& defaultName);
    static ParameterDeclaration valueParameter (const juce::String& defaultValue);

private:
    FileRewrite rewriteFrom (std::string_view original, const StructureEditor::Outcome& outcome) const;
    juce::String remarkOf (const StructureEditor::Outcome& outcome) const;

    StructureEditor::Kind kind;
    std::unique_ptr<StructureEditor> editor; // made by prepare()
    bool recordsChanges = false;
};
