#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace
{
    bool isDigit (char c)
    {
        return c >= '0' && c <= '9';
    }

    bool isWhiteSpace (char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    bool isAsciiLetter (char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }

    // Units are words such as "px", "dB" or "%"; any character beyond ASCII
    // counts as a letter, so that a degree or micro sign is part of its unit.
    bool isUnitCharacter (char c)
    {
        return isAsciiLetter (c) || c == '%' || (unsigned char) c >= 0x80;
    }

    std::size_t skipWhile (std::string_view text, std::size_t position, bool (*belongs) (char))
    {
        while (position < text.size() && belongs (text[position]))
            ++position;
        return position;
    }

    std::size_t skipDigits (std::string_view text, std::size_t position)
    {
        return skipWhile (text, position, isDigit);
    }

    bool isSign (std::string_view text, std::size_t position)
    {
        return position < text.size() && (text[position] == '+' || text[position] == '-');
    }

    // The extent of an unsigned decimal number starting at `start`; `start`
    // itself when there is none.
    std::size_t endOfUnsignedNumber (std::string_view text, std::size_t start)
    {
        const std::size_t integerEnd = skipDigits (text, start);
        std::size_t end = integerEnd;
        bool hasDigits = integerEnd > start;
        if (end < text.size() && text[end] == '.')
        {
            const std::size_t fractionEnd = skipDigits (text, end + 1);
            hasDigits = hasDigits || fractionEnd > end + 1;
            end = fractionEnd;
        }
        if (! hasDigits)
            return start;

        // An exponent counts only when at least one digit follows the "e" and its sign.
        if (end < text.size() && (text[end] == 'e' || text[end] == 'E'))
        {
            std::size_t exponentStart = end + 1;
            if (exponentStart < text.size() && (text[exponentStart] == '+' || text[exponentStart] == '-'))
                ++exponentStart;
            const std::size_t exponentEnd = skipDigits (text, exponentStart);
            if (exponentEnd > exponentStart)
                end = exponentEnd;
        }
        return end;
    }

    // For a number that does not fit a double: true when it is too large, false
    // when it is too small. Decided by the decimal exponent of its first
    // significant digit, which lies far from 0 in either case.
    bool isBeyondLargest (std::string_view number)
    {
        long long exponent = 0;
        const std::size_t exponentMark = number.find_first_of ("eE");
        if (exponentMark != std::string_view::npos)
        {
            std::size_t position = exponentMark + 1;
            const bool negative = number[position] == '-';
            if (number[position] == '+' || number[position] == '-')
                ++position;
            for (; position < number.size(); ++position)
                exponent = std::min (exponent * 10 + (number[position] - '0'), 1000000LL);
            if (negative)
                exponent = -exponent;
        }

        const std::string_view mantissa = number.substr (0, std::min (exponentMark, number.size()));
        const std::size_t point = std::min (mantissa.find ('.'), mantissa.size());
        const std::size_t firstSignificant = mantissa.find_first_of ("123456789");
        if (firstSignificant == std::string_view::npos)
            return false;
        const long long digitOrder = firstSignificant < point
                                       ? static_cast<long long> (point - firstSignificant)
                                       : -static_cast<long long> (firstSignificant - point);
        return digitOrder + exponent > 0;
    }

    double parseUnsignedNumber (std::string_view number)
    {
        double value = 0.0;
        const auto result = std::from_chars (number.data(), number.data() + number.size(), value);
        if (result.ec == std::errc::result_out_of_range)
            return isBeyondLargest (number) ? std::numeric_limits<double>::infinity() : 0.0;
        return value;
    }

    // The extent of a decimal number with an optional sign starting at
    // `start`; `start` itself when there is none.
    std::size_t endOfSignedNumber (std::string_view text, std::size_t start)
    {
        const std::size_t unsignedStart = isSign (text, start) ? start + 1 : start;
        const std::size_t end = endOfUnsignedNumber (text, unsignedStart);
        return end == unsignedStart ? start : end;
    }

    // The value of a text that endOfSignedNumber() took whole.
    double parseSignedNumber (std::string_view number)
    {
        const bool negative = number.front() == '-';
        if (isSign (number, 0))
            number.remove_prefix (1);
        const double magnitude = parseUnsignedNumber (number);
        return negative ? -magnitude : magnitude;
    }

    std::string_view trimmed (std::string_view text)
    {
        while (! text.empty() && isWhiteSpace (text.front()))
            text.remove_prefix (1);
        while (! text.empty() && isWhiteSpace (text.back()))
            text.remove_suffix (1);
        return text;
    }

    bool equalsIgnoringAsciiCase (std::string_view text, std::string_view lowerCase)
    {
        if (text.size() != lowerCase.size())
            return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if ((text[i] >= 'A' && text[i] <= 'Z' ? char (text[i] - 'A' + 'a') : text[i]) != lowerCase[i])
                return false;
        return true;
    }

    // "inf", "-Infinity", "NaN" and the like, as a whole text.
    std::optional<double> readNonFiniteWord (std::string_view text)
    {
        text = trimmed (text);
        bool negative = false;
        if (! text.empty() && (text.front() == '+' || text.front() == '-'))
        {
            negative = text.front() == '-';
            text.remove_prefix (1);
        }
        if (equalsIgnoringAsciiCase (text, "inf") || equalsIgnoringAsciiCase (text, "infinity"))
            return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        if (equalsIgnoringAsciiCase (text, "nan"))
            return std::numeric_limits<double>::quiet_NaN();
        return std::nullopt;
    }

    // The extent of a word such as "inf", "-Infinity" or "NaN" starting at
    // `start`, which must not run on into further letters ("info" is none);
    // `start` itself when there is none.
    std::size_t endOfNonFiniteWord (std::string_view text, std::size_t start)
    {
        const std::size_t wordStart = isSign (text, start) ? start + 1 : start;
        const std::size_t wordEnd = skipWhile (text, wordStart, isAsciiLetter);
        return readNonFiniteWord (text.substr (start, wordEnd - start)) ? wordEnd : start;
    }

    // Widens a "%g"-style exponent such as e-05 or e+09 to three digits.
    std::string withThreeDigitExponent (std::string text)
    {
        const std::size_t exponentMark = text.find ('e');
        if (exponentMark == std::string::npos)
            return text;
        const std::size_t digitsStart = exponentMark + 2; // past the "e" and its sign
        const std::size_t digitCount = text.size() - digitsStart;
        if (digitCount < 3)
            text.insert (digitsStart, 3 - digitCount, '0');
        return text;
    }
}

namespace NumberText
{
    double readLeadingNumber (std::string_view text)
    {
        return readNumber (text).value_or (0.0);
    }

    std::optional<double> readNumber (std::string_view text)
    {
        if (const auto word = readNonFiniteWord (text))
            return word;

        const std::size_t start = skipWhile (text, 0, isWhiteSpace);
        const std::size_t end = endOfSignedNumber (text, start);
        if (end == start)
            return std::nullopt;
        return parseSignedNumber (text.substr (start, end - start));
    }

    std::optional<ValueParts> splitValue (std::string_view text)
    {
        const std::size_t numberStart = skipWhile (text, 0, isWhiteSpace);
        std::size_t numberEnd = endOfSignedNumber (text, numberStart);
        const bool isWord = numberEnd == numberStart;
        if (isWord)
            numberEnd = endOfNonFiniteWord (text, numberStart);
        if (numberEnd == numberStart)
            return std::nullopt;

        const std::size_t unitStart = skipWhile (text, numberEnd, isWhiteSpace);
        const std::size_t unitEnd = skipWhile (text, unitStart, isUnitCharacter);
        if (isWord && unitStart == numberEnd && unitEnd > unitStart)
            return std::nullopt; // "inf%": a word and its unit run together
        if (skipWhile (text, unitEnd, isWhiteSpace) != text.size())
            return std::nullopt;

        ValueParts parts;
        parts.leading = text.substr (0, numberStart);
        parts.number = text.substr (numberStart, numberEnd - numberStart);
        parts.trailing = text.substr (numberEnd);
        parts.value = isWord ? *readNonFiniteWord (parts.number) : parseSignedNumber (parts.number);
        return parts;
    }

    std::string writeNumber (double value)
    {
        if (std::isnan (value))
            return "nan";
        if (std::isinf (value))
            return value < 0.0 ? "-inf" : "inf";

        // to_chars in general format with a precision is printf's "%.9g" without
        // the locale; the longest result, such as -1.23456789e-308, needs 16 bytes.
        char buffer[32];
        const auto result = std::to_chars (buffer, buffer + sizeof buffer, value,
                                           std::chars_format::general, 9);
        return withThreeDigitExponent (std::string (buffer, result.ptr));
    }
}
