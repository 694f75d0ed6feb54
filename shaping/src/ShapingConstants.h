#pragma once

namespace Shaping
{
    // Double constants shared by the shaping functions, written out so that every
    // build computes with exactly the same bits.
    namespace ShapingConstants
    {
        constexpr double pi = 3.141592653589793;
        constexpr double twoPi = 6.283185307179586;
        constexpr double inversePi = 0.3183098861837907;
        constexpr double smallestNormal = 2.2250738585072014e-308;
    }
}
