// The dialogs' number fields and the combo boxes' first-prefix rule.
#include "model/DialogFields.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

TEST(DialogFields, WholeNumbersInARange)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"0", 0},       {"255", 255},    {" 12 ", 12},    {"+7", 7},      {"-0", 0},
        {"256", {}},    {"-1", {}},      {"", {}},        {" ", {}},      {"12.0", {}},
        {"1e2", {}},    {"0x10", {}},    {"12a", {}},     {"--1", {}},    {"+", {}},
        {"99999999999999999999", {}},    {"１２", {}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseIntegerField(text, 0, 255), expected) << text;
    EXPECT_EQ(ParseIntegerField("360", 0, 360), 360);
    EXPECT_EQ(ParseIntegerField("361", 0, 360), std::nullopt);
}

TEST(DialogFields, DecimalNumbersInARange)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"36.5", 36.5}, {"-90", -90.0}, {"90", 90.0},  {" .5 ", 0.5},  {"5.", 5.0},   {"+1e1", 10.0},
        {"90.1", {}},   {"-90.5", {}},  {"1,5", {}},   {"nan", {}},    {"inf", {}},   {"-inf", {}},
        {"", {}},       {"1e400", {}},  {"3 4", {}},   {"- 3", {}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseNumberField(text, -90, 90), expected) << text;
    EXPECT_EQ(ParseNumberField("24", 0, 24), 24.0);
    EXPECT_EQ(ParseNumberField("24.01", 0, 24), std::nullopt);
}

TEST(DialogFields, NumbersAreWrittenAndReadTheSameInADecimalCommaLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no decimal-comma locale installed";
    EXPECT_EQ(FormatNumberField(36.5), "36.5");
    EXPECT_EQ(ParseNumberField("36.5", -90, 90), 36.5);
    EXPECT_EQ(ParseNumberField("36,5", -90, 90), std::nullopt);
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(DialogFields, NumberTextHasFifteenSignificantDigitsAndNoTrailingZeros)
{
    EXPECT_EQ(FormatNumberField(36.0), "36");
    EXPECT_EQ(FormatNumberField(36.5), "36.5");
    EXPECT_EQ(FormatNumberField(-90.0), "-90");
    EXPECT_EQ(FormatNumberField(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatIntegerField(-45), "-45");
    EXPECT_EQ(IntegerFieldMessage(0, 255), "0 から 255 までの整数を入力してください。");
    EXPECT_EQ(NumberFieldMessage(-90, 90), "-90 から 90 までの数値を入力してください。");
}

TEST(DialogFields, TruncationGoesTowardZeroAndNeverOverflows)
{
    EXPECT_EQ(TruncateToInt(45.7), 45);
    EXPECT_EQ(TruncateToInt(-45.7), -45);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncateToInt(-std::numeric_limits<double>::infinity()), std::numeric_limits<int>::min());
}

TEST(DialogFields, AComboShowsTheFirstEntryItsTextBeginsWith)
{
    const std::vector<std::string> entries = {"T_Stone1 scale 100", "T_Stone10 scale 100", "T_Glass1", "T_Glass2"};
    const std::pair<const char*, const char*> cases[] = {
        {"T_Glass", "T_Glass1"},
        {"t_glass2", "T_Glass2"},
        {"T_Stone1", "T_Stone1 scale 100"},
        {"T_Stone10", "T_Stone10 scale 100"},
        {"T_Glass1 extra", "T_Glass1 extra"},
        {"my texture", "my texture"},
        {"", ""},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(ComboShownText(entries, text), shown) << text;
    EXPECT_EQ(FindComboPrefix(entries, "T_S"), 0);
    EXPECT_EQ(FindComboPrefix(entries, "x"), -1);
}

TEST(DialogFields, AnUntouchedFieldKeepsItsStoredBytes)
{
    const std::string sjis = "\x95\xC7";  // Shift-JIS for the wall character
    EXPECT_EQ(StoredTextFromField(sjis, "壁"), sjis);
    EXPECT_EQ(StoredTextFromField(sjis, "壁2"), "壁2");
    EXPECT_EQ(StoredTextFromField("S_Cloud1", "S_Cloud2"), "S_Cloud2");
}
