#pragma once

#include <optional>
#include <string>
#include <string_view>

/**
    How converted numbers are written:

    - "design" (the default): NumberText::writeNumber, "%.9g" with an
      exponent of a sign and three digits;
    - "keep": like the number it replaces: as many decimals, the same
      notation (an exponent keeps its letter, its sign style and at least
      as many digits), a leading "+" kept;
    - "%.Nf", "%.Ng", "%.Ne" with N from 0 to 17, as printf writes them.

    Infinities and NaN are always written as writeNumber writes them. No
    form depends on the C locale.
*/
class NumberFormat
{
public:
    NumberFormat() = default;

    /** The format a text names, or nothing for a text that names none. */
    static std::optional<NumberFormat> parse (std::string_view text);

    /** What parse() takes, for an error message. */
    static const char* const choices;

    /** The text that names this format: "design", "keep", "%.3f", ... */
    std::string text() const;
    bool isDefault() const { return style == Style::design; }

    /** The new value as this format writes it; oldNumber is the number it
        replaces as the file writes it ("+1.30", "4.5e-05"). */
    std::string write (double value, std::string_view oldNumber) const;

private:
    enum class Style
    {
        design,
        keep,
        fixed,
        general,
        exponent
    };

    NumberFormat (Style styleToUse, int precisionToUse)
        : style (styleToUse), precision (precisionToUse) {}

    std::string keepLike (double value, std::string_view oldNumber) const;

    Style style = Style::design;
    int precision = 0;
};
