#include "NumberFormat.h"

#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace
{
    std::string withChars (double value, std::chars_format format, int precision)
    {
        char buffer[400]; // %.17f of 1.8e308 takes 327 characters
        const auto result = std::to_chars (buffer, buffer + sizeof buffer, value, format, precision);
        return std::string (buffer, result.ptr);
    }

    bool isDigit (char c)
    {
        return c >= '0' && c <= '9';
    }

    /** The parts of a number written in exponent form that the new one keeps. */
    struct ExponentStyle
    {
        char letter = 'e';
        bool plusSign = false; // a positive exponent written with "+"
        size_t digits = 1;
    };

    /** "1.50e+003" as ExponentStyle says: the mantissa as it is, the exponent
        with its sign and padded to the digits asked for. */
    std::string restyleExponent (const std::string& written, const ExponentStyle& exponent)
    {
        const auto e = written.find ('e');
        if (e == std::string::npos)
            return written;
        const auto value = std::atoi (written.c_str() + e + 1);
        auto digits = std::to_string (std::abs (value));
        if (digits.size() < exponent.digits)
            digits.insert (0, exponent.digits - digits.size(), '0');
        const std::string sign = value < 0 ? "-" : exponent.plusSign ? "+"
                                                                     : "";
        return written.substr (0, e) + exponent.letter + sign + digits;
    }
}

const char* const NumberFormat::choices = "design, keep, %.Nf, %.Ng or %.Ne with N from 0 to 17";

std::optional<NumberFormat> NumberFormat::parse (std::string_view text)
{
    if (text == "design")
        return NumberFormat();
    if (text == "keep")
        return NumberFormat (Style::keep, 0);
    if (text.size() < 4 || text.size() > 5 || text.compare (0, 2, "%.") != 0)
        return std::nullopt;

    const auto digits = text.substr (2, text.size() - 3);
    if (! std::all_of (digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    const int precision = std::atoi (std::string (digits).c_str());
    if (precision > 17)
        return std::nullopt;

    switch (text.back())
    {
        case 'f': return NumberFormat (Style::fixed, precision);
        case 'g': return NumberFormat (Style::general, precision);
        case 'e': return NumberFormat (Style::exponent, precision);
        default: return std::nullopt;
    }
}

std::string NumberFormat::text() const
{
    switch (style)
    {
        case Style::design: return "design";
        case Style::keep: return "keep";
        case Style::fixed: return "%." + std::to_string (precision) + "f";
        case Style::general: return "%." + std::to_string (precision) + "g";
        case Style::exponent: return "%." + std::to_string (precision) + "e";
    }
    return "design";
}

std::string NumberFormat::write (double value, std::string_view oldNumber) const
{
    if (! std::isfinite (value))
        return NumberText::writeNumber (value);

    switch (style)
    {
        case Style::design: break;
        case Style::keep: return keepLike (value, oldNumber);
        case Style::fixed: return withChars (value, std::chars_format::fixed, precision);
        case Style::general: return withChars (value, std::chars_format::general, precision);
        case Style::exponent: return withChars (value, std::chars_format::scientific, precision);
    }
    return NumberText::writeNumber (value);
}

std::string NumberFormat::keepLike (double value, std::string_view oldNumber) const
{
    // A word ("inf", "nan") shows no notation to keep.
    if (std::none_of (oldNumber.begin(), oldNumber.end(), isDigit))
        return NumberText::writeNumber (value);

    const auto exponentAt = oldNumber.find_first_of ("eE");
    const auto mantissa = oldNumber.substr (0, exponentAt);
    const auto point = mantissa.find ('.');
    const int decimals = point == std::string_view::npos ? 0 : (int) (mantissa.size() - point - 1);

    std::string written;
    if (exponentAt == std::string_view::npos)
        written = withChars (value, std::chars_format::fixed, decimals);
    else
    {
        ExponentStyle exponent;
        exponent.letter = oldNumber[exponentAt];
        auto digits = oldNumber.substr (exponentAt + 1);
        exponent.plusSign = ! digits.empty() && digits.front() == '+';
        if (! digits.empty() && (digits.front() == '+' || digits.front() == '-'))
            digits.remove_prefix (1);
        exponent.digits = std::max<size_t> (1, digits.size());
        written = restyleExponent (withChars (value, std::chars_format::scientific, decimals), exponent);
    }

    if (! oldNumber.empty() && oldNumber.front() == '+' && written.front() != '-')
        written.insert (0, "+");
    return written;
}
