#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/**
    Which values of a document to convert, written as a subset of XPath 1.0
    that can be decided while streaming: at each start tag, from the
    element, its ancestors and their attributes; a condition on the selected
    value itself once that value is known.

        path      := ( "/" | "//" ) step { ( "/" | "//" ) step }
        step      := ( name | "*" ) { "[" condition "]" }       an element (may be last, see parse)
                   | "@" name { "[" condition "]" }             last: an attribute
                   | "text()" { "[" condition "]" }             last: the element's text
        condition := and { "or" and }
        and       := test { "and" test }
        test      := operand [ ( "=" | "!=" | "<" | "<=" | ">" | ">=" ) operand ]
        operand   := "@" name | "." | 'text' | "text" | number | "(" condition ")"
                   | "not(" condition ")" | "contains(" operand "," operand ")"
                   | "starts-with(" operand "," operand ")"

    Names are compared exactly, prefixes literally. "@name" in a condition
    reads the element's attribute; "." is the selected value and may only
    be used on the last step. Comparisons follow XPath: a missing attribute
    compares false, numbers compare as numbers, = and != between two texts
    compare texts.
*/
class ValuePath
{
public:
    /** What the path cannot take, and where: bytes [start, end) of its text. */
    struct Refusal
    {
        std::string message;
        size_t start = 0, end = 0;
    };

    enum class Target
    {
        attribute,
        text,
        element // the path ends at an element step: only when parse() is asked to take one
    };

    /** Where the matching stands at one element: bit j of reached is set
        when the element is matched by the first j steps; open holds the
        steps under "//" that an ancestor or the element itself has reached. */
    struct ElementState
    {
        uint64_t reached = 0, open = 0;
    };

    /** An element's attributes as expat hands them: name, value, name, ... */
    struct Attributes
    {
        const char* const* pairs = nullptr;
        int count = 0; // entries, twice the attributes

        const char* find (std::string_view name) const;
    };

    ValuePath (ValuePath&&) noexcept;
    ValuePath& operator= (ValuePath&&) noexcept;
    ~ValuePath();

    /** True for a text the "Attribute:" field takes as a path rather than a
        plain attribute name: one that holds '/', '[', '@' or '('. */
    static bool isPath (std::string_view text);

    /** The path, or what it cannot take. A path that ends at an element
        step ("//par[@name='drive']", "/preset") selects elements when
        elementsAllowed; otherwise it is refused, as a value is wanted. */
    static std::optional<ValuePath> parse (std::string_view text, Refusal& refusal, bool elementsAllowed = false);

    /** The refusal as an alert or a terminal shows it: the path, a line of
        carets under the part refused, and the reason. */
    static std::string describe (std::string_view text, const Refusal& refusal);

    Target target() const { return selectedTarget; }
    const std::string& attributeName() const { return selectedAttribute; } // for Target::attribute

    ElementState rootState() const;
    ElementState enter (const ElementState& parent, std::string_view name, const Attributes& attributes) const;
    bool selects (const ElementState& element) const { return (element.reached & selectedBit) != 0; }

    /** The conditions of the last step on the value found there (UTF-8). */
    bool acceptsValue (std::string_view value) const;

    struct Expression;

private:
    struct ElementStep;

    ValuePath();

    std::vector<ElementStep> steps;
    uint64_t childSteps = 0, descendantSteps = 0; // bit j: step j follows "/" or "//"
    uint64_t selectedBit = 1;                     // reached after every step
    Target selectedTarget = Target::attribute;
    std::string selectedAttribute;
    std::vector<Expression> valueConditions;

    class Parser;
};
