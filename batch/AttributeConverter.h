#pragma once

#include "AttributeLocator.h"
#include "FileRewrite.h"
#include "NumberFormat.h"
#include "ValuePath.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FormulaEngine;

/**
    The "convert value" rewrite: in every start tag, the value of the first
    attribute of one name (letter case ignored) gets the formula's value for
    its old numeric value as x. Only the bytes of the numbers change: blanks
    and a unit around one ("12px", " -6 dB ") stay, and so does every other
    byte of the file and every value whose number stays the same, however it
    is written ("1.30", "+3", "1e3"). Character data is never converted.

    A text that is a path (ValuePath::isPath) selects the values instead:
    attributes named exactly and under conditions, or the text of elements
    without child elements. New numbers are written in the number format.

    Evaluation errors of the formula language leave rewrite() as exceptions
    of the Expr family.
*/
class AttributeConverter
{
public:
    AttributeConverter (FormulaEngine& engine, juce::String attributeName, NumberFormat format = {});

    /** For a path that cannot be taken: why and where. Nothing for a plain
        name or a path that parsed; such a converter selects nothing. */
    const std::optional<ValuePath::Refusal>& pathRefusal() const { return refusal; }

    /** True when the text given is a path rather than a plain name. */
    bool selectsByPath() const { return path != nullptr || refusal.has_value(); }

    /** The document with its values converted. A document that is not
        well-formed fails with the parser's reason and place. Values that
        are not one number ("auto", "2 3", "0x10") are kept and counted in
        the remark. */
    FileRewrite rewrite (std::string_view document);

    /** One value of the attribute as the document holds it. */
    struct FoundValue
    {
        std::string value; // decoded (UTF-8)
        size_t offset = 0; // its bytes in the document, between the quotes
        size_t length = 0;
        AttributeLocator::Units units = AttributeLocator::Units::bytes;
        bool plain = true; // false: an element's text with markup, kept as it is
    };

    /** The values of a document in document order, up to the place where it
        stops being well-formed, if it does: the part of a conversion that
        needs no formula, so that it can be done ahead on another thread. */
    struct FoundValues
    {
        std::vector<FoundValue> values;
        std::string parseError; // empty for a well-formed document
    };

    /** Finds the values; touches nothing but its arguments and the name.
        A set stop flag ends the search early, as a parse error "stopped". */
    FoundValues findValues (std::string_view document, const std::atomic<bool>* stop = nullptr) const;

    /** rewrite() given what findValues() found in the same document: the
        values are converted in order, so a formula error among them stops
        the conversion before a parse error after them is reported, as a
        conversion done while parsing would. */
    FileRewrite rewrite (std::string_view document, const FoundValues& found);

    /** Whether rewrite() lists each changed value in its changeList. */
    void setRecordsChanges (bool records) { recordsChanges = records; }

    /** A formula as the engine takes it: one byte per character, so error
        positions count characters. Characters above 255 become "?". */
    static std::string formulaBytes (const juce::String& formula);

private:
    FormulaEngine& engine;
    std::string attributeName;
    NumberFormat numberFormat;
    std::shared_ptr<const ValuePath> path;
    std::optional<ValuePath::Refusal> refusal;
    bool recordsChanges = false;
};
