#include "OperationFields.h"

#include "AttributeConverter.h"
#include "FormulaErrorText.h"

#include <expr/Exception.h>

OperationFields::OperationFields (const OperationDeclaration& declarationToShow)
    : declaration (declarationToShow)
{
    using Kind = ParameterDeclaration::Kind;
    for (const auto& parameter : declaration.parameters)
    {
        if (parameter.kind == Kind::recipe)
            continue; // a recipe is loaded, not typed
        if (parameter.kind == Kind::archive)
        {
            backup = std::make_unique<BackupChoice> (parameter.caption, parameter.fieldName);
            backup->onChange = [this] { changed(); };
            addAndMakeVisible (*backup);
            rows = std::max (rows, 1);
            continue;
        }
        // A named parameter shares the row of the value before it.
        const bool ownRow = ! parameter.isNamed() || rows == 0;
        addField (parameter, ownRow ? rows++ : rows - 1);
    }
    addChildComponent (formulaMarks);
    visibilityChanged(); // made hidden: so are its fields, until it is shown
}

void OperationFields::addField (const ParameterDeclaration& parameter, int row)
{
    using Kind = ParameterDeclaration::Kind;
    Field field;
    field.parameter = &parameter;
    field.row = row;

    if (parameter.kind == Kind::flag)
    {
        field.toggle = std::make_unique<juce::ToggleButton> (parameter.caption);
        field.toggle->setToggleState (parameter.defaultValue == "1", juce::dontSendNotification);
        field.toggle->onClick = [this] { changed(); };
        addAndMakeVisible (*field.toggle);
        fields.push_back (std::move (field));
        return;
    }

    field.caption = std::make_unique<juce::Label> (parameter.fieldName, parameter.caption);
    field.caption->setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (*field.caption);

    if (parameter.kind == Kind::choice)
    {
        // A format of the list, or one typed in ("%.4f").
        field.choice = std::make_unique<TypableChoice> (parameter.key + "ComboBox");
        field.choice->addItemList (parameter.choices, 1);
        field.choice->setText (parameter.defaultValue, juce::dontSendNotification);
        field.choice->onChange = [this] { changed(); };
        addAndMakeVisible (*field.choice);
    }
    else
    {
        auto& text = *(field.text = std::make_unique<FieldLabel> (parameter.fieldName, parameter.defaultValue));
        text.onTextChange = [this] { changed(); };
        followEditing (text);
        addAndMakeVisible (text);
    }
    fields.push_back (std::move (field));
}

void OperationFields::followEditing (juce::Label& field)
{
    // The description follows every keystroke, not only the end of an edit:
    // "Do it!" runs exactly what it shows.
    field.onEditorShow = [this, &field] {
        if (auto* editor = field.getCurrentTextEditor())
            editor->onTextChange = [this] { changed(); };
    };
}

void OperationFields::changed()
{
    if (onChange)
        onChange();
}

void OperationFields::visibilityChanged()
{
    // Hidden with its operation: a field of another operation is never shown.
    for (auto* child : getChildren())
        if (child != &formulaMarks)
            child->setVisible (isVisible());
    if (! isVisible())
        formulaMarks.setVisible (false);
}

OperationParameters OperationFields::values (const juce::File& folder) const
{
    auto parameters = declaration.defaults();
    for (const auto& field : fields)
    {
        const auto& key = field.parameter->key;
        if (field.toggle != nullptr)
            parameters.setFlag (key, field.toggle->getToggleState());
        else if (field.choice != nullptr)
            parameters.set (key, field.choice->getText().trim());
        else
            parameters.set (key, field.text->getText (true));
    }
    for (const auto& parameter : declaration.parameters)
        if (parameter.kind == ParameterDeclaration::Kind::archive && backup != nullptr)
            if (const auto name = backup->chosenName(); name.isNotEmpty())
                parameters.setFile (parameter.key, folder.getChildFile (name));
    return parameters;
}

const OperationFields::Field* OperationFields::find (const juce::String& key) const
{
    for (const auto& field : fields)
        if (field.parameter->key == key)
            return &field;
    return nullptr;
}

juce::Label* OperationFields::label (const juce::String& key) const
{
    const auto* field = find (key);
    return field != nullptr ? field->text.get() : nullptr;
}

juce::ToggleButton* OperationFields::toggle (const juce::String& key) const
{
    const auto* field = find (key);
    return field != nullptr ? field->toggle.get() : nullptr;
}

juce::ComboBox* OperationFields::choice (const juce::String& key) const
{
    const auto* field = find (key);
    return field != nullptr ? field->choice.get() : nullptr;
}

juce::String OperationFields::checkFormula (FormulaEngine& checker)
{
    formulaMarks.clear();
    auto* field = formulaField();
    if (field == nullptr || checker.setFormula (AttributeConverter::formulaBytes (field->getText (true))))
        return {};
    const auto* error = checker.lastError();
    if (error == nullptr)
        return "The formula cannot be evaluated.";
    formulaMarks.mark (*field, error->Start(), error->End());
    return describeFormulaError (*error);
}

juce::Label* OperationFields::formulaField() const
{
    for (const auto& field : fields)
        if (field.parameter->kind == ParameterDeclaration::Kind::formula)
            return field.text.get();
    return nullptr;
}

std::vector<std::pair<juce::Label*, juce::Label*>> OperationFields::captionedFields() const
{
    std::vector<std::pair<juce::Label*, juce::Label*>> pairs;
    for (const auto& field : fields)
        if (field.text != nullptr)
            pairs.emplace_back (field.caption.get(), field.text.get());
    return pairs;
}

int OperationFields::preferredHeight() const
{
    return std::max (0, rows - 1) * rowSpacing + rowHeight + FormulaErrorMarks::height;
}

int OperationFields::captionWidth() const
{
    // One column for the captions in front of the text fields: narrow unless one does not fit.
    constexpr int narrow = 72, wide = 96;
    for (const auto& field : fields)
        if (field.text != nullptr && field.caption->getFont().getStringWidthFloat (field.caption->getText()) + (float) field.caption->getBorderSize().getLeftAndRight() > (float) narrow)
            return wide;
    return narrow;
}

void OperationFields::resized()
{
    constexpr int toggleWidth = 150, choiceCaptionWidth = 100, choiceWidth = 90, gap = 4;
    const int width = getWidth();
    const int column = captionWidth();
    std::vector<int> rowEnd ((size_t) std::max (rows, 1), width);

    // Named parameters first: each takes the right end of its row.
    for (const auto& field : fields)
    {
        const int y = field.row * rowSpacing;
        auto& end = rowEnd[(size_t) field.row];
        if (field.toggle != nullptr)
        {
            field.toggle->setBounds (end - toggleWidth, y, toggleWidth, rowHeight);
            end = field.toggle->getX() - gap;
        }
        else if (field.choice != nullptr)
        {
            field.choice->setBounds (end - choiceWidth, y, choiceWidth, rowHeight);
            field.caption->setBounds (field.choice->getX() - choiceCaptionWidth, y, choiceCaptionWidth, rowHeight);
            end = field.caption->getX() - 2 * gap;
        }
    }

    for (const auto& field : fields)
    {
        if (field.text == nullptr)
            continue;
        const int y = field.row * rowSpacing;
        field.caption->setBounds (0, y, column, rowHeight);
        const int right = rowEnd[(size_t) field.row];
        field.text->setBounds (column, y, std::max (40, right - column), rowHeight);
    }

    if (backup != nullptr)
        backup->setBounds (0, 0, width, rowHeight);
    if (auto* formula = formulaField())
        formulaMarks.setBounds (formula->getX(), formula->getBottom(), formula->getWidth(), FormulaErrorMarks::height);
}
