#include "OperationRegistry.h"

#include "AddAttributeOperation.h"
#include "AddElementOperation.h"
#include "ConvertOperation.h"
#include "DeleteOperation.h"
#include "RecipeOperation.h"
#include "RenameOperation.h"
#include "ReplaceOperation.h"
#include "RestoreOperation.h"
#include "SetValueOperation.h"

const std::vector<const OperationDeclaration*>& OperationRegistry::all()
{
    static const std::vector<const OperationDeclaration*> rows {
        &ReplaceOperation::declaration(),
        &ConvertOperation::declaration(),
        &RestoreOperation::declaration(),
        &RecipeOperation::declaration(),
        // The structure edits come after the operations older windows and
        // scripts know by their place in the list.
        &SetValueOperation::declaration(),
        &RenameOperation::declaration(),
        &DeleteOperation::declaration(),
        &AddAttributeOperation::declaration(),
        &AddElementOperation::declaration(),
    };
    return rows;
}

const OperationDeclaration* OperationRegistry::named (const juce::String& label)
{
    for (const auto* row : all())
        if (row->label == label)
            return row;
    return nullptr;
}

const OperationDeclaration* OperationRegistry::withOption (const juce::String& option)
{
    for (const auto* row : all())
        if (row->option == option)
            return row;
    return nullptr;
}

const OperationDeclaration* OperationRegistry::withRecipeWord (const juce::String& word)
{
    for (const auto* row : all())
        if (row->recipeWord.isNotEmpty() && row->recipeWord == word)
            return row;
    return nullptr;
}

std::vector<const OperationDeclaration*> OperationRegistry::commandLineOrder()
{
    std::vector<const OperationDeclaration*> ordered;
    for (const auto listingFolder : { true, false })
        for (const auto* row : all())
            if (row->listsFolder() == listingFolder)
                ordered.push_back (row);
    return ordered;
}

juce::StringArray OperationRegistry::windowLabels()
{
    juce::StringArray labels;
    for (const auto* row : all())
        if (row->chosenInWindow)
            labels.add (row->label);
    return labels;
}

juce::StringArray OperationRegistry::recipeWords()
{
    juce::StringArray words;
    for (const auto* row : all())
        if (row->recipeWord.isNotEmpty())
            words.add (row->recipeWord);
    return words;
}

juce::String OperationRegistry::listed (const juce::StringArray& words, const juce::String& lastJoint)
{
    if (words.size() < 2)
        return words.joinIntoString ({});
    juce::StringArray head (words);
    head.remove (head.size() - 1);
    return head.joinIntoString (", ") + " " + lastJoint + " " + words[words.size() - 1];
}
