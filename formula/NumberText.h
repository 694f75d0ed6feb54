#pragma once

#include <optional>
#include <string>
#include <string_view>

// How attribute values are read as numbers and numbers written back as text.
// Both are independent of the C locale, so a decimal comma set by the desktop
// never leaks into a converted file.
namespace NumberText
{
    // The longest leading decimal number of the text: optional white space, an
    // optional sign, digits with an optional decimal point (at least one digit),
    // and an optional exponent. Anything after it is ignored ("12abc" is 12); a
    // text that does not start with such a number reads as 0. A number beyond the
    // range of double reads as an infinity, one too small for it as zero.
    double readLeadingNumber (std::string_view text);

    // The number a converted value holds: the leading number as above, or, when
    // the whole text (white space aside) is "inf", "-inf", "infinity" or "nan" in
    // any letter case and with an optional sign, that value, so that what
    // writeNumber() writes reads back. Nothing when the text holds no number at
    // all ("auto", "", "info"): such a value is kept as it is.
    std::optional<double> readNumber (std::string_view text);

    // The value as printf's "%.9g" writes it, except that an exponent always has
    // a sign and three digits (1e-005, 1.23456789e+009). Infinities are written
    // "inf" and "-inf", every NaN "nan"; negative zero is "-0".
    std::string writeNumber (double value);
}
