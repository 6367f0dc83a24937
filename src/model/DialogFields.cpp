// Reading and writing the dialogs' number fields with std::from_chars / std::to_chars, which
// ignore the process locale.
#include "model/DialogFields.h"

#include "export/NumberText.h"
#include "model/TextEncoding.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view entry, std::string_view prefix)
{
    if (prefix.size() > entry.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(entry[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

}  // namespace

std::optional<int> ParseIntegerField(std::string_view text, int min, int max)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value < min || value > max) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<double> ParseNumberField(std::string_view text, double min, double max)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would also take "inf" and "nan"; a field must start with a digit or a point.
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.'))
        return std::nullopt;
    double magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(magnitude))
        return std::nullopt;
    const double value = negative ? -magnitude : magnitude;
    if (!(value >= min && value <= max)) return std::nullopt;
    return value;
}

std::string FormatIntegerField(int value)
{
    char text[24];
    return std::string(text, FormatInt(text, value));
}

std::string FormatNumberField(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

int TruncateToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

std::string IntegerFieldMessage(int min, int max)
{
    return FormatIntegerField(min) + " から " + FormatIntegerField(max) + " までの整数を入力してください。";
}

std::string NumberFieldMessage(double min, double max)
{
    return FormatNumberField(min) + " から " + FormatNumberField(max) + " までの数値を入力してください。";
}

int FindComboPrefix(const std::vector<std::string>& entries, std::string_view text)
{
    if (text.empty()) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (StartsWithIgnoringCase(entries[i], text)) return static_cast<int>(i);
    return -1;
}

std::string ComboShownText(const std::vector<std::string>& entries, std::string_view text)
{
    const int index = FindComboPrefix(entries, text);
    return index >= 0 ? entries[static_cast<std::size_t>(index)] : std::string(text);
}

std::string StoredTextFromField(const std::string& stored, const std::string& fieldUtf8)
{
    return ToDisplayUtf8(stored) == fieldUtf8 ? stored : fieldUtf8;
}
