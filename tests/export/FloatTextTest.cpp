// The fast corner text must be byte for byte what printf("%f") gives for the widened float.
#include "export/FloatText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Fast(float v)
{
    char text[kMaxFixed6Length + 8];
    return std::string(text, FormatFloatFixed6(text, v));
}

std::string Printf(float v)
{
    char text[400];
    std::snprintf(text, sizeof text, "%f", double(v));
    return text;
}

}  // namespace

TEST(FloatText, MatchesPrintfOnEdgeValues)
{
    const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-7f, -1e-7f, 4.7e-7f, 5e-7f, -5e-7f, 5.0000006e-7f,
                            0.0078125f,  // 7812.5 millionths: a tie, rounds to even
                            0.0234375f, 0.9999995f, 0.99999994f, 999999.94f, 2500.5f, -40557.98f, 123456.79f,
                            std::ldexp(1.0f, 39), std::ldexp(1.0f, 40), -std::ldexp(1.0f, 40) * 1.5f, FLT_MAX,
                            -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, -FLT_TRUE_MIN, std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), std::nanf(""), -std::nanf("")};
    for (float v : values) EXPECT_EQ(Fast(v), Printf(v)) << v;
}

TEST(FloatText, MatchesPrintfOnEveryExponentAndRandomBits)
{
    std::mt19937 random(11);
    // Every exponent with random mantissas, both signs.
    for (uint32_t exponent = 0; exponent < 256; ++exponent)
        for (int i = 0; i < 2000; ++i) {
            const uint32_t bits = (random() & 0x807FFFFFu) | (exponent << 23);
            const float v = std::bit_cast<float>(bits);
            ASSERT_EQ(Fast(v), Printf(v)) << std::hexfloat << v;
        }
    // Dyadic values near a tie of the seventh decimal, where the rounding rule shows.
    for (int shift = 7; shift <= 30; ++shift)
        for (uint32_t m = 1; m < 4000; ++m) {
            const float v = std::ldexp(float(m), -shift);
            ASSERT_EQ(Fast(v), Printf(v)) << std::hexfloat << v;
        }
    // Coordinates of the size models hold, with fractions.
    std::uniform_real_distribution<float> coordinate(-1e6f, 1e6f);
    for (int i = 0; i < 300000; ++i) {
        const float v = coordinate(random);
        ASSERT_EQ(Fast(v), Printf(v)) << std::hexfloat << v;
    }
}
