// Text to numbers exactly as the C library's atof and atoi read them in the "C" locale,
// whatever locale the process runs in (a German session must still read "1.5" as 1.5).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// atof: leading white space skipped, an optional sign, then a decimal or hexadecimal number,
// "inf", "infinity" or "nan"; reading stops at the first character that cannot continue the
// number; no number gives 0. Out-of-range values give +-inf or a (sub)normal rounded value.
double ParseAtof(std::string_view text);

// atoi as glibc has it: strtol's value (saturated at the 64-bit limits) cut to an int.
int ParseAtoi(std::string_view text);

namespace number_parse_detail {

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

// Bit i set when the i-th of the `length` (1 to 16) bytes at p is a digit (`digits`) or a
// point (`points`). Reads no further than 8 bytes past p + length.
inline void DigitsAndPoints(const char* p, std::size_t length, unsigned& digits, unsigned& points)
{
#ifdef __SSE2__
    const __m128i bytes = length <= 8 ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))
                                      : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    digits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values)));
    points = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))));
#else
    digits = points = 0;
    for (std::size_t i = 0; i < length; ++i) {
        digits |= unsigned(p[i] >= '0' && p[i] <= '9') << i;
        points |= unsigned(p[i] == '.') << i;
    }
#endif
    const unsigned inText = (1u << length) - 1;
    digits &= inText;
    points &= inText;
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
// not matter). Inline, as the DXF reader calls it for every coordinate.
inline CAtofParts ParseAtofParts(std::string_view text)
{
    // Most numbers of a real file are plain decimals, "-12345.678901": an optional minus, then
    // digits with at most one point, and nothing else. With at most 8 digits before the point
    // and 7 after it, the digits make an integer below 2^53, to be divided once by an exact
    // power of ten. A negative numerator gives the same quotient as negating the quotient,
    // the rounding being symmetric. Everything else goes to ParseAtof.
    using namespace number_parse_detail;
    const char* p = text.data();
    std::size_t length = text.size();
    const bool negative = length > 0 && *p == '-';
    p += negative;
    length -= negative;
    if (length > 0 && length <= 16) {
        unsigned digits = 0, points = 0;
        DigitsAndPoints(p, length, digits, points);
        const unsigned others = ((1u << length) - 1) & ~digits & ~points;
        if (others == 0 && (points & (points - 1)) == 0) {
            const int whole = points ? std::countr_zero(points) : int(length);
            const int decimals = points ? int(length) - whole - 1 : 0;
            if (whole <= 8 && decimals <= 7 && whole + decimals > 0) {
                std::uint64_t mantissa = whole ? DigitsValue(p, whole) : 0;
                if (decimals) mantissa = mantissa * kPow10Int[decimals] + DigitsValue(p + whole + 1, decimals);
                const double m = static_cast<double>(mantissa);
                return {negative ? -m : m, decimals};
            }
        }
    }
    return {ParseAtof(text), 0};
}

inline double ParseAtofPadded(std::string_view text) { return AtofValue(ParseAtofParts(text)); }
