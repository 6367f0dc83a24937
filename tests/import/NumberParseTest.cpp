// Numbers must read exactly as the C library's atof and atoi read them in the "C" locale.
#include "import/NumberParse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// Same value, bit for bit; any two NaNs of the same sign count as equal.
void ExpectSameDouble(double got, double want, const std::string& text)
{
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << '"' << text << '"';
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << '"' << text << '"';
        return;
    }
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << '"' << text << "\" gave " << got << ", atof " << want;
}

}  // namespace

// The tests run in the "C" locale, so the C library is the reference.
TEST(NumberParse, AtofAgreesWithTheCLibraryOnOddText)
{
    const char* const texts[] = {
        "1.5", "-1.5", " 1.5", "\t\n\v\f\r-2", "+1.5", "+-1", "--1", "1,5", "12abc", "1e", "1e+", "1e-3x",
        "1E3", ".5", "-.5", "5.", ".", "-.", "-", "", "abc", "0x1p3", "0X1.8P1", "-0x10", "0x", "0xg", "0x.8",
        "1e999", "-1e999", "1e-999", "-1e-999", "4.9e-324", "2.4703282292062328e-324", "2.2250738585072011e-308",
        "1.7976931348623157e308", "1.7976931348623159e308", "nan", "-nan", "NAN(123)", "inf", "-Infinity", "infx",
        "0.000000", "-0.000000", "00012.5000", "123456789012345678901234567890",
        "0.1000000000000000055511151231257827021181583404541015625", " +0x1P-1074", "1234567.1234567",
        "12345678.5", "1.12345678", "-9999999.9999999", "0.0000001", "7:", "5/", "-0", "-0.", "1.e5", "1.5x"};
    for (const char* text : texts) {
        ExpectSameDouble(ParseAtof(text), std::atof(text), text);
        // Digits right after the text in memory must not count.
        const std::string padded = std::string(text) + "12345678";
        ExpectSameDouble(ParseAtofPadded(std::string_view(padded).substr(0, std::strlen(text))), std::atof(text), text);
    }
}

TEST(NumberParse, AtofAgreesWithTheCLibraryOnRandomValues)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-30, 30);
    char text[64];
    for (int i = 0; i < 100000; ++i) {
        const double v = std::pow(10.0, exponent(random)) * ((random() & 1) ? 1 : -1);
        const char* format = (i % 3 == 0) ? "%.17g" : (i % 3 == 1 ? "%f" : "%.9e");
        std::snprintf(text, sizeof text, format, v);
        const double want = std::atof(text);
        const double got = ParseAtof(text);
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << text;
        // Cut short at every length, with the rest of the text still in memory after the view.
        const std::string padded = std::string(text) + "9.9e99999";
        const std::size_t cut = std::size_t(i) % (std::strlen(text) + 1);
        const double gotCut = ParseAtofPadded(std::string_view(padded).substr(0, cut));
        const double wantCut = std::atof(std::string(text, cut).c_str());
        ASSERT_EQ(std::memcmp(&gotCut, &wantCut, sizeof gotCut), 0) << std::string(text, cut);
    }
}

TEST(NumberParse, AtoiAgreesWithGlibc)
{
    const char* const texts[] = {"0",   "  42", "+7",          "-7",          "\t-0012x",          "",
                                 "x1",  "0x10", "2147483647", "2147483648", "-2147483649", "4294967297",
                                 "99999999999999999999", "-99999999999999999999", "9223372036854775807",
                                 "-9223372036854775808", "9223372036854775808", "256", "-1"};
    for (const char* text : texts) EXPECT_EQ(ParseAtoi(text), std::atoi(text)) << '"' << text << '"';
}

TEST(NumberParse, ReadsOnlyTheGivenCharacters)
{
    // The parsers take views into a larger buffer: nothing past the view may count.
    const std::string buffer = "12345";
    EXPECT_EQ(ParseAtoi(std::string_view(buffer).substr(0, 3)), 123);
    EXPECT_EQ(ParseAtof(std::string_view(buffer).substr(0, 2)), 12.0);
    EXPECT_EQ(ParseAtof(std::string_view(" 0x1p4").substr(0, 4)), 1.0);  // " 0x1" is 1
}

TEST(NumberParse, PlainDecimalsOfEveryShapeAgreeWithTheCLibrary)
{
    // Digits and points in every arrangement up to 17 characters, with digits after the text
    // in memory that must not count: the plain-decimal path or its fallback must agree.
    std::mt19937_64 random(19);
    const char alphabet[] = "0123456789012345678901234567890123456789.";
    for (int i = 0; i < 200000; ++i) {
        std::string text = (random() % 3 == 0) ? "-" : "";
        const std::size_t length = random() % 18;
        for (std::size_t k = 0; k < length; ++k) text += alphabet[random() % (sizeof alphabet - 1)];
        const std::string padded = text + "987654321.5";
        const double got = ParseAtofPadded(std::string_view(padded).substr(0, text.size()));
        const double want = std::atof(text.c_str());
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << '"' << text << "\" gave " << got << ", atof " << want;
    }
}
