#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** The operations a run can do. Adding one: a row in OperationKindTable, its
    class derived from BatchOperation, a case in BatchOperationFactory, its
    fields in the panel and its option in the command line. */
enum class OperationKind
{
    replace,
    convert,
    restore,
    recipe // several replace and convert steps in one pass, read from a recipe
};

/** The operations' labels, as the "Do what:" choice shows them, in one table. */
class OperationKindTable
{
public:
    /** "replace string", "convert value", "restore backup". */
    static juce::String labelOf (OperationKind kind);

    /** The operation a label names, if any. */
    static std::optional<OperationKind> named (const juce::String& label);

    /** The labels the "Do what:" choice lists, in its order: a recipe is
        loaded from a file, not chosen there. */
    static juce::StringArray labels();
};
