#pragma once

#include "OperationParameters.h"
#include "ParameterDeclaration.h"

#include <functional>
#include <memory>
#include <vector>

class BatchOperation;
class FormulaEngine;
struct BatchSettings;

/**
    Everything the window, the command line and a recipe need to know of one
    operation, declared by the operation's class: its label, its option and
    recipe word, its parameters, and how it makes its BatchOperation. The
    operation describes itself (BatchOperation::describeTask).
*/
struct OperationDeclaration
{
    juce::String label;         // as "Do what:" shows it: "replace string"
    juce::String option;        // on the command line: "--replace"
    juce::String recipeWord;    // a recipe line's verb; empty: not a recipe step
    bool chosenInWindow = true; // listed in "Do what:"; a recipe is loaded instead
    std::vector<ParameterDeclaration> parameters;
    juce::StringArray help; // the lines --help gives the option, wrapped as printed

    /** The folder the operation works in, when it is not the chosen one (a
        restore: the archive's). Null: the chosen folder, whose listing is
        the files affected. */
    std::function<juce::File (const OperationParameters&)> folderOf;
    juce::String folderRefusal; // why a FOLDER is refused when folderOf is set

    /** The operation for settings; null when it needs the formula engine and there is none. */
    std::function<std::unique_ptr<BatchOperation> (const BatchSettings&, FormulaEngine*)> make;

    bool listsFolder() const { return folderOf == nullptr; }

    /** The parameters as the window starts with them. */
    OperationParameters defaults() const;

    /** The values given in order (WHAT, WITH) and the named ones (--regex). */
    std::vector<const ParameterDeclaration*> valuesInOrder() const;
    std::vector<const ParameterDeclaration*> namedParameters() const;
    const ParameterDeclaration* parameterWithOption (const juce::String& option) const;
    juce::StringArray keys() const;

    /** How --help, the man page and the README name a call: "[--regex] --replace WHAT WITH". */
    juce::String synopsis() const;
};
