#pragma once

#include "BatchOperation.h"
#include "FileRewrite.h"
#include "XmlTextEncoding.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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

    Prepared as a literal, it finds a plain text and puts another plain text
    in its place: the "replace string" without the switch. Either way it is
    one step of a ReplaceGroup, which scans a file's text with it.
*/
class RegexReplacement
{
public:
    /** Formulas are parsed against the engine's variables and functions, so
        that variables they assign keep their values as in "convert value". */
    explicit RegexReplacement (FormulaEngine& formulaEngine);

    /** For a literal only: without an engine, a replacement cannot hold formulas. */
    RegexReplacement();
    ~RegexReplacement();

    /** Compiles the pattern and parses the replacement; says why not, if not. */
    BatchOperation::Refusal prepare (const juce::String& pattern, const juce::String& replacement);

    /** Finds what (not empty) as it is written and replaces it by with as it is written. */
    BatchOperation::Refusal prepareLiteral (const juce::String& what, const juce::String& with);

    /** Fails, naming the text, when a literal's texts have no place in a
        file of this encoding, which then stays as it is. */
    juce::Result checkEncoding (XmlTextEncoding::Kind kind) const;

    /** A match in a file's text, as offsets of its decoded UTF-8 text. */
    struct Match
    {
        size_t start = 0, end = 0; // end == start: an empty match
    };

    /** The leftmost match that starts at or after start, if any. A pattern
        that cannot be matched on this text (a limit) fails into failure. */
    std::optional<Match> findFrom (std::string_view text, size_t start, juce::Result& failure);

    /** Appends the replacement of the match findFrom() found last to out
        (UTF-8). Fails for a group that holds no number for a formula;
        formula evaluation errors pass through as Expr::Exception. */
    juce::Result appendReplacement (std::string_view text, std::string& out);

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
    FormulaEngine* engine = nullptr;
    std::unique_ptr<Compiled> compiled;
    std::optional<std::pair<juce::String, juce::String>> literal; // what and with, for a literal
    std::pair<std::string, std::string> literalBytes;             // the same as UTF-8

    JUCE_DECLARE_NON_COPYABLE (RegexReplacement)
};
