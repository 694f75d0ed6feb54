#include "shaping/ShapingFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace
{
    constexpr double smallestNormal = 2.2250738585072014e-308;
    const double nan = std::numeric_limits<double>::quiet_NaN();

    struct PowerCase
    {
        double base;
        std::int32_t n;
        double expected;
    };

    class IntegerPowerTest : public testing::TestWithParam<PowerCase>
    {
    };

    TEST_P (IntegerPowerTest, RaisesToWholePowers)
    {
        const PowerCase& c = GetParam();
        EXPECT_EQ (Shaping::IntegerPower (c.base, c.n), c.expected) << c.base << " ^ " << c.n;
    }

    INSTANTIATE_TEST_SUITE_P (Powers, IntegerPowerTest, testing::Values (PowerCase { 2.0, 10, 1024.0 }, PowerCase { 3.0, 5, 243.0 }, PowerCase { 2.0, -2, 0.25 }, PowerCase { 1.5, 0, 1.0 }, PowerCase { 0.0, 0, 1.0 }, PowerCase { -1.0, 3, -1.0 }, PowerCase { -1.0, 4, 1.0 }, PowerCase { -1.0, -7, -1.0 }, PowerCase { -1.0, std::numeric_limits<std::int32_t>::max(), -1.0 }, PowerCase { -1.0, std::numeric_limits<std::int32_t>::min(), 1.0 }, PowerCase { 0.5, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<double>::infinity() }, PowerCase { 0.0, -1, std::numeric_limits<double>::infinity() }));

    // Close above 1 the logarithmic form loses digits to cancellation, so the
    // comparison starts where it is well conditioned.
    TEST (InverseCoshTest, AgreesWithTheLibraryFromOneUpward)
    {
        for (const double v : { 1.5, 2.0, 10.0, 12345.678, 1e150 })
            EXPECT_NEAR (Shaping::InverseCosh (v), std::acosh (v), 4e-16 * std::acosh (v) + 1e-300) << "v = " << v;
        EXPECT_EQ (Shaping::InverseCosh (1.0), 0.0);
    }

    TEST (InverseCoshTest, YieldsZeroBelowOneAndForNaN)
    {
        for (const double v : { 0.9999999, 0.0, -0.0, -1.0, -5.0, -std::numeric_limits<double>::infinity(), nan })
            EXPECT_EQ (Shaping::InverseCosh (v), 0.0) << "v = " << v;
    }

    struct QuantizeCase
    {
        double x;
        double step;
        double expected;
    };

    class QuantizeToStepTest : public testing::TestWithParam<QuantizeCase>
    {
    };

    TEST_P (QuantizeToStepTest, RoundsToTheNearestMultipleWithTiesUpward)
    {
        const QuantizeCase& c = GetParam();
        EXPECT_EQ (Shaping::QuantizeToStep (c.x, c.step), c.expected) << "x = " << c.x << ", step = " << c.step;
    }

    INSTANTIATE_TEST_SUITE_P (Steps, QuantizeToStepTest, testing::Values (QuantizeCase { 2.5, 1.0, 3.0 }, QuantizeCase { -2.5, 1.0, -2.0 }, QuantizeCase { 2.4, 1.0, 2.0 }, QuantizeCase { -2.4, 1.0, -2.0 }, QuantizeCase { -2.6, 1.0, -3.0 }, QuantizeCase { 3.3, 0.25, 3.25 }, QuantizeCase { 0.3, 0.5, 0.5 }, QuantizeCase { -0.3, 0.5, -0.5 }, QuantizeCase { -0.2, 0.5, 0.0 }, QuantizeCase { 6.0, 3.0, 6.0 }, QuantizeCase { 7.0, 0.0, 7.0 }, QuantizeCase { 7.0, -1.0, 7.0 }, QuantizeCase { 7.0, smallestNormal, 7.0 }, // not above the smallest normal: unchanged
                                                                          QuantizeCase { 0.3, 2.0 * smallestNormal, 0.3 }));

    TEST (QuantizeToStepNaN, NaNStepOrValueGivesNaN)
    {
        EXPECT_TRUE (std::isnan (Shaping::QuantizeToStep (7.0, nan)));
        EXPECT_TRUE (std::isnan (Shaping::QuantizeToStep (nan, 1.0)));
        EXPECT_TRUE (std::isnan (Shaping::QuantizeToStep (-nan, 1.0)));
    }
}
