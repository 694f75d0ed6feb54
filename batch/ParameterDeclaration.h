#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/**
    One parameter of an operation, declared once: the window's field for it,
    the command line's and a recipe line's word for it, its default and its
    check. A parameter without an option is a value given in order
    (--replace WHAT WITH); one with an option is named (--regex).
*/
struct ParameterDeclaration
{
    enum class Kind
    {
        text,    // a text field
        formula, // a text field checked as a formula as it is typed
        path,    // an attribute's name or a value path
        choice,  // one of choices, or a text typed in
        flag,    // on or off: a toggle, an option without a value
        archive, // a backup archive: the window offers the folder's, the command line takes an existing file
        recipe   // a recipe file: the command line reads its steps
    };

    juce::String key;
    Kind kind = Kind::text;
    juce::String caption;      // "Replace what:" (a flag: its toggle's text)
    juce::String fieldName;    // the component name of the field and its caption
    juce::String defaultValue; // what the window starts with, and what an option not given means
    juce::StringArray choices; // the items a choice offers, the default first

    juce::String option;    // "--regex", "--number-format"; empty: a value in order
    juce::String valueName; // "WHAT", "FORMAT": how --help and the messages name the value
    // What a value in order is, in a refusal: a recipe line refuses an empty
    // one ("replace needs a text to replace: WHAT is empty"), the command line
    // one missing ("--restore needs the ARCHIVE to restore from").
    juce::String neededAs;
    juce::StringArray help; // the lines --help gives an option, wrapped as printed

    /** Why a value is refused as the command line and a recipe say it; empty when it is taken. */
    std::function<juce::String (const juce::String&)> check;

    bool isNamed() const { return option.isNotEmpty(); }
};
