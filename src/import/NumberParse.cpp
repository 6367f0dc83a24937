// atof and atoi without the process locale: std::from_chars for the plain decimal text that
// makes up nearly every number of a real file, strtod_l with a "C" locale for everything else.
#include "import/NumberParse.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One "C" locale object for the life of the process; freeing it at exit is not needed.
locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return locale;
}

double StrtodC(std::string_view text)
{
    char buffer[512];
    std::string copy;
    const char* z = nullptr;
    if (text.size() < sizeof buffer) {
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        z = buffer;
    } else {
        copy.assign(text);
        z = copy.c_str();
    }
    return strtod_l(z, nullptr, CLocale());
}

// Exact powers of ten: every one up to 1e22 is a double without rounding.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain "[-]digits[.digits]" with at most 19 digits whose value is below 2^53 and at most 22
// decimals: the digits as an integer are exact, so one division by an exact power of ten
// gives the correctly rounded result (Clinger's fast path). Returns false for anything else.
bool ParsePlainDecimal(const char* p, const char* last, double& value)
{
    bool negative = false;
    if (p != last && *p == '-') negative = true, ++p;
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    for (; p != last && IsDigit(*p); ++p, ++digits) mantissa = mantissa * 10 + unsigned(*p - '0');
    if (p != last && *p == '.') {
        for (++p; p != last && IsDigit(*p); ++p, ++digits, ++decimals) mantissa = mantissa * 10 + unsigned(*p - '0');
    }
    if (digits == 0 || digits > 19 || decimals > 22 || mantissa > (std::uint64_t(1) << 53)) return false;
    // An exponent or a hexadecimal prefix continues the number: leave those to the full reader.
    if (p != last && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X')) return false;
    const double v = static_cast<double>(mantissa) / kPow10[decimals];
    value = negative ? -v : v;
    return true;
}


}  // namespace

double ParseAtof(std::string_view text)
{
    // Fast path: an optional minus, then a digit or a point. from_chars reads such text to the
    // same correctly rounded value as strtod, except hexadecimal ("0x...", which it reads as 0)
    // and values out of range (which it refuses instead of giving inf or 0).
    const char* first = text.data();
    const char* last = first + text.size();
    double plain = 0.0;
    if (ParsePlainDecimal(first, last, plain)) return plain;
    const char* p = first;
    if (p != last && *p == '-') ++p;
    if (p != last && (IsDigit(*p) || *p == '.')) {
        const bool hex = p[0] == '0' && p + 1 != last && (p[1] == 'x' || p[1] == 'X');
        if (!hex) {
            double value = 0.0;
            const auto result = std::from_chars(first, last, value, std::chars_format::general);
            if (result.ec == std::errc()) return value;
            if (result.ec == std::errc::invalid_argument) return 0.0;  // "-." or "."
        }
    }
    return StrtodC(text);
}

int ParseAtoi(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // strtol saturates at LONG_MIN / LONG_MAX; atoi then keeps the low 32 bits. Up to 18
    // digits cannot reach the limit, so only the digits past those are checked.
    constexpr std::uint64_t kLimit = std::uint64_t(INT64_MAX);
    std::uint64_t magnitude = 0;
    const std::size_t unchecked = std::min(text.size(), i + 18);
    for (; i < unchecked && IsDigit(text[i]); ++i) magnitude = magnitude * 10 + unsigned(text[i] - '0');
    bool overflow = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const unsigned digit = unsigned(text[i] - '0');
        if (magnitude > (kLimit + (negative ? 1 : 0) - digit) / 10) overflow = true;
        if (!overflow) magnitude = magnitude * 10 + digit;
    }
    std::int64_t value = 0;
    if (overflow) {
        value = negative ? INT64_MIN : INT64_MAX;
    } else {
        value = negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
    }
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}
