#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <limits>

TEST (NumberFormat, WritesTheNewValueInTheFormatAskedFor)
{
    const auto inf = std::numeric_limits<double>::infinity();
    struct Row
    {
        const char* format;
        const char* oldText;
        double value;
        const char* written;
    };
    const Row table[] = {
        { "design", "1", 0.1 + 0.2, "0.3" },
        { "design", "1", 1.5e-5, "1.5e-005" },
        { "keep", "1.30", 2.6, "2.60" },
        { "keep", "+1.30", 2.6, "+2.60" },
        { "keep", "+1.30", -2.6, "-2.60" },
        { "keep", "12", 4.5, "4" },
        { "keep", "12", 5.5, "6" },
        { "keep", "4.71214e-05", 9.42428e-05, "9.42428e-05" },
        { "keep", "1E3", 2500, "2E3" },
        { "keep", "1.5e+003", 0.03, "3.0e-002" },
        { "keep", "inf", 2, "2" },
        { "keep", "3", inf, "inf" },
        { "%.2f", "1", 1.005, "1.00" },
        { "%.0f", "1", 2.5, "2" },
        { "%.3g", "1", 1234.5, "1.23e+03" },
        { "%.3g", "1", 0.5, "0.5" },
        { "%.2e", "1", 1234.5, "1.23e+03" },
        { "%.17g", "1", 0.1, "0.10000000000000001" },
        { "%.2f", "1", -inf, "-inf" },
        { "%.2e", "1", std::nan (""), "nan" },
    };
    for (const auto& row : table)
    {
        const auto format = NumberFormat::parse (row.format);
        ASSERT_TRUE (format.has_value()) << row.format;
        EXPECT_EQ (format->write (row.value, row.oldText), row.written) << row.format << " " << row.oldText;
        EXPECT_EQ (format->text(), row.format);
    }
}

TEST (NumberFormat, TakesOnlyTheFormatsItNames)
{
    for (const auto* text : { "", "Design", "%.18f", "%.f", "%2f", "%.3d", "%.3F", "%.-1f", "%.3fx", "%3.2f", "%.100g" })
        EXPECT_FALSE (NumberFormat::parse (text).has_value()) << text;
    for (int n = 0; n <= 17; ++n)
        for (const char* kind : { "f", "g", "e" })
            EXPECT_TRUE (NumberFormat::parse ("%." + std::to_string (n) + kind).has_value());
}

// Every printf format is written as printf itself writes it in the C locale,
// and "design" as "%.9g" with the exponent widened to three digits: over
// random numbers of every magnitude, at every precision the formats take.
TEST (NumberFormat, WritesExactlyWhatPrintfWrites)
{
    std::mt19937_64 random (22);
    std::vector<double> values = { 0.0, -0.0, 0.5, 1.5, 2.5, 1e-320, -4.9e-324, 1.7976931348623157e308, 123456789.0, 0.1 + 0.2 };
    while (values.size() < 400)
    {
        double value = 0;
        const auto bits = random();
        std::memcpy (&value, &bits, sizeof value);
        if (std::isfinite (value))
            values.push_back (values.size() % 2 == 0 ? value : std::ldexp ((double) (bits >> 11), (int) (random() % 80) - 60));
    }

    const auto printed = [] (const std::string& format, double value) {
        char buffer[512];
        std::snprintf (buffer, sizeof buffer, format.c_str(), value);
        return std::string (buffer);
    };
    for (const char kind : { 'f', 'g', 'e' })
        for (int precision = 0; precision <= 17; ++precision)
        {
            const auto format = "%." + std::to_string (precision) + kind;
            const auto parsed = NumberFormat::parse (format);
            ASSERT_TRUE (parsed.has_value()) << format;
            for (const double value : values)
                ASSERT_EQ (parsed->write (value, "1"), printed (format, value)) << format << " of " << value;
        }

    for (const double value : values)
    {
        auto expected = printed ("%.9g", value);
        if (const auto e = expected.find ('e'); e != std::string::npos && expected.size() - e == 4)
            expected.insert (e + 2, "0"); // "1e-05" is written "1e-005"
        ASSERT_EQ (NumberFormat().write (value, "1"), expected) << value;
    }
}
