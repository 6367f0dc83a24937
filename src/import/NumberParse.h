// Text to numbers exactly as the C library's atof and atoi read them in the "C" locale,
// whatever locale the process runs in (a German session must still read "1.5" as 1.5).
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

// atof: leading white space skipped, an optional sign, then a decimal or hexadecimal number,
// "inf", "infinity" or "nan"; reading stops at the first character that cannot continue the
// number; no number gives 0. Out-of-range values give +-inf or a (sub)normal rounded value.
double ParseAtof(std::string_view text);

// atoi as glibc has it: strtol's value (saturated at the 64-bit limits) cut to an int.
int ParseAtoi(std::string_view text);

namespace number_parse_detail {

// Number of leading ASCII digits among the 8 bytes at p. Each byte is tested on its own (no
// carry crosses bytes): its low 7 bits plus 0x50 reach 0x80 from '0' on, plus 0x46 from ':' on.
inline int DigitRun(const char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    const std::uint64_t low7 = v & 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t digit = (low7 + 0x5050505050505050ULL) & ~(low7 + 0x4646464646464646ULL) & ~v;
    const std::uint64_t nonDigit = ~digit & 0x8080808080808080ULL;
    return nonDigit ? std::countr_zero(nonDigit) / 8 : 8;
}

// Value of the n digits (1 to 8) at p; the bytes after them are shifted out.
inline std::uint64_t DigitsValue(const char* p, int n)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    v -= 0x3030303030303030ULL;  // borrows only run from later bytes into later bytes
    v <<= 8 * (8 - n);           // the first character is the lowest byte; zeros lead
    v = v * 10 + (v >> 8);
    v = (((v & 0x000000FF000000FFULL) * 0x000F424000000064ULL) +
         (((v >> 16) & 0x000000FF000000FFULL) * 0x0000271000000001ULL)) >> 32;
    return v & 0xFFFFFFFFULL;
}

inline constexpr std::uint64_t kPow10Int[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

inline constexpr double kExactPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};

}  // namespace number_parse_detail

// A number read as atof reads it, but with its last step left to do: the value is
// numerator / 10^decimals, that one division being exact-rounded. Splitting the two lets the
// DXF reader's worker thread read the text while the thread that uses the value divides.
struct CAtofParts {
    double numerator;
    int decimals;  // 0 to 7
};

inline double AtofValue(const CAtofParts& parts)
{
    return parts.numerator / number_parse_detail::kExactPow10[parts.decimals];
}

// ParseAtof for text that is followed in memory by at least 8 readable bytes (their values do
// not matter): short plain decimals, most numbers of a real file, are read 8 digits at a time.
// Inline, as the DXF reader calls it for every coordinate.
inline CAtofParts ParseAtofParts(std::string_view text)
{
    // At most 7 digits before and 7 after the point: the digits make an integer below 2^53,
    // to be divided once by an exact power of ten. A negative numerator gives the same
    // quotient as negating the quotient, the rounding being symmetric.
    using namespace number_parse_detail;
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    const int whole = std::min<int>(DigitRun(p), int(end - p));
    if (whole < 8) {
        const char* q = p + whole;
        std::uint64_t mantissa = whole ? DigitsValue(p, whole) : 0;
        int decimals = 0;
        if (q != end && *q == '.') {
            ++q;
            decimals = std::min<int>(DigitRun(q), int(end - q));
            if (decimals > 0 && decimals < 8) mantissa = mantissa * kPow10Int[decimals] + DigitsValue(q, decimals);
            q += decimals;
        }
        const bool continues = q != end && (*q == 'e' || *q == 'E' || *q == 'x' || *q == 'X');
        if (decimals < 8 && whole + decimals > 0 && !continues) {
            const double m = static_cast<double>(mantissa);
            return {negative ? -m : m, decimals};
        }
    }
    return {ParseAtof(text), 0};
}

inline double ParseAtofPadded(std::string_view text) { return AtofValue(ParseAtofParts(text)); }
