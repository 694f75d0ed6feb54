#pragma once

#include "FileRewrite.h"

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>

class FormulaEngine;

/**
    The "convert value" rewrite: in every start tag, the value of the first
    attribute of one name (letter case ignored) gets the formula's value for
    its old numeric value as x. Only the bytes of those values change; every
    other byte of the file, and every value whose number stays the same, is
    kept as it was. Character data is never converted.

    Evaluation errors of the formula language leave rewrite() as exceptions
    of the Expr family.
*/
class AttributeConverter
{
public:
    AttributeConverter (FormulaEngine& engine, juce::String attributeName);

    /** The document with its values converted. A document that is not
        well-formed fails with the parser's reason and place. Values holding
        no number at all are kept and counted in the remark. */
    FileRewrite rewrite (std::string_view document);

    /** A formula as the engine takes it: one byte per character, so error
        positions count characters. Characters above 255 become "?". */
    static std::string formulaBytes (const juce::String& formula);

private:
    FormulaEngine& engine;
    std::string attributeName;
};
