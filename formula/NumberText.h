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

    // A value that holds exactly one number, cut into its parts; the three
    // texts together are the whole value.
    struct ValueParts
    {
        std::string_view leading;  // blanks before the number
        std::string_view number;   // the number as written: "+1.30", "4.71214e-05", "-inf"
        std::string_view trailing; // what follows it: blanks, a unit, or both (" dB ", "px")
        double value = 0.0;        // what the number reads as
    };

    // The parts of a value made of one number: blanks, a decimal number as
    // readNumber() reads it or a word "inf", "infinity" or "nan" (any letter
    // case, optional sign), then optionally a unit and blanks. A unit is a run
    // of letters, "%" and characters beyond ASCII, such as a degree or micro
    // sign ("px", "%", "dB");
    // after one of the words it must be set apart by a blank ("-inf dB").
    // Nothing for any other text: "", "auto", "2 3", "1,5", "0x10", "1.2.3",
    // "12px 4px", "12abc5", "info".
    std::optional<ValueParts> splitValue (std::string_view text);

    // The value as printf's "%.9g" writes it, except that an exponent always has
    // a sign and three digits (1e-005, 1.23456789e+009). Infinities are written
    // "inf" and "-inf", every NaN "nan"; negative zero is "-0".
    std::string writeNumber (double value);
}
