// The writers' number text must be byte for byte what printf("%f") gives in the C locale.
#include "export/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Fixed6(double v)
{
    char text[kMaxFixed6Length + 8];
    return std::string(text, FormatFixed6(text, v));
}

std::string Printf(double v)
{
    char text[400];
    std::snprintf(text, sizeof text, "%f", v);
    return text;
}

}  // namespace

TEST(NumberText, MatchesPrintfOnEdgeValues)
{
    const double values[] = {0.0, -0.0, 1.0, -1.0, 0.5, 1e-7, -1e-7, 0.0000005, 0.0000015, 2.5e-6, 123456.789,
                             -40557.979, 1e15, 1e300, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::nan(""), -std::nan(""), double(0.1f), double(-3.4028235e38f)};
    for (double v : values) EXPECT_EQ(Fixed6(v), Printf(v)) << v;
}

TEST(NumberText, MatchesPrintfOnRandomFloatsAndDoubles)
{
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> magnitude(-12, 12);
    for (int i = 0; i < 200000; ++i) {
        const double v = std::pow(10.0, magnitude(random)) * ((random() & 1) ? 1 : -1);
        ASSERT_EQ(Fixed6(v), Printf(v)) << v;
        const double f = static_cast<float>(v);
        ASSERT_EQ(Fixed6(f), Printf(f)) << f;
    }
}

TEST(NumberText, MatchesPrintfOnTiesAndRangeEdges)
{
    // Exact halves of the sixth decimal round to even; 2^43 is where the integer path ends.
    for (int k = -4096; k <= 4096; ++k) {
        const double tie = k / 128.0 + 0.0000005;
        ASSERT_EQ(Fixed6(k / 2097152.0), Printf(k / 2097152.0)) << k;
        ASSERT_EQ(Fixed6(tie), Printf(tie)) << k;
    }
    for (double v : {8796093022208.0, 8796093022207.999, 8796093022208.5, -8796093022207.5, 5e-324, -1e-300,
                     0.0000005, 0.00000050000000000000001, 999999.9999995, 4503599627370495.5})
        EXPECT_EQ(Fixed6(v), Printf(v)) << v;
}

TEST(NumberText, IntegersAsPercentD)
{
    char text[32];
    EXPECT_EQ(std::string(text, FormatInt(text, -2147483647 - 1)), "-2147483648");
    EXPECT_EQ(std::string(text, FormatInt(text, 99999)), "99999");
}
