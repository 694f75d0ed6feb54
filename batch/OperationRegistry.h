#pragma once

#include "OperationDeclaration.h"

/**
    The operations, in the order "Do what:" lists them. An operation is added
    by its class (derived from BatchOperation, with its declaration()) and
    one row in OperationRegistry.cpp.
*/
class OperationRegistry
{
public:
    static const std::vector<const OperationDeclaration*>& all();

    /** The operation a label names ("replace string"), compared exactly; null for none. */
    static const OperationDeclaration* named (const juce::String& label);

    static const OperationDeclaration* withOption (const juce::String& option);
    static const OperationDeclaration* withRecipeWord (const juce::String& word);

    /** The operations as the command line lists them: those on a chosen
        folder first, then those in an archive's folder. */
    static std::vector<const OperationDeclaration*> commandLineOrder();

    /** The labels the "Do what:" choice lists, in its order. */
    static juce::StringArray windowLabels();

    /** The verbs of recipe steps, in order. */
    static juce::StringArray recipeWords();

    /** "a, b or c": the way messages list choices. */
    static juce::String listed (const juce::StringArray& words, const juce::String& lastJoint);
};
