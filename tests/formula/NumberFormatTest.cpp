#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
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
