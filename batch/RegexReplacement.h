#pragma once

#include "BatchOperation.h"
#include "FileRewrite.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <string_view>

class FormulaEngine;

/**
    The pattern replacement of "replace string" with its regular expression
    switch on, on a file's raw bytes.

    The pattern (PCRE2, UTF mode, ^ and $ at every line end: LF, CR or CR LF)
    runs over the file's text decoded from its own encoding (see
    XmlTextEncoding); each replacement is encoded back, and every byte outside
    the matches stays as it was. Matches do not overlap and go left to right;
    after an empty match the search goes on one character further.

    The replacement text may hold $0..$99 and ${N} (the group's text),
    ${name} (a named group), $$ (a dollar sign) and ${= FORMULA } (the
    formula's value, written as NumberText::writeNumber writes it). A formula
    reads the groups as numbers: _1, _2, ... and named groups by their names.
*/
class RegexReplacement
{
public:
    /** Formulas are parsed against the engine's variables and functions, so
        that variables they assign keep their values as in "convert value". */
    explicit RegexReplacement (FormulaEngine& formulaEngine);
    ~RegexReplacement();

    /** Compiles the pattern and parses the replacement; says why not, if not. */
    BatchOperation::Refusal prepare (const juce::String& pattern, const juce::String& replacement);

    /** Whether the replacement holds a formula (that changes the engine's variables). */
    bool hasFormulas() const;

    /** Replaces every match. Fails, naming why, for a file the tool cannot
        decode or encode, a group that holds no number for a formula, or a
        pattern that needs too much work. Formula evaluation errors pass
        through as Expr::Exception. */
    FileRewrite apply (std::string_view original);

    /** Once set, a formula evaluation in progress stops. */
    void setAbortFlag (const std::atomic<bool>* flag);

private:
    struct Compiled;
    FormulaEngine& engine;
    std::unique_ptr<Compiled> compiled;

    JUCE_DECLARE_NON_COPYABLE (RegexReplacement)
};
