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

inline constexpr double kExactPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A plain decimal, "-12345.678901": an optional minus, then up to 15 digits with at most one
// point among them, and nothing else. Its digits make an integer below 10^15 < 2^53, so the
// value is that integer, exact as a double, divided once by an exact power of ten, which
// rounds correctly. Reads no further than 8 bytes past the end of the text.
inline bool ParsePlainDecimal(std::string_view text, double& numerator, int& exponent)
{
    const char* p = text.data();
    std::size_t length = text.size();
    const bool negative = length > 0 && *p == '-';
    p += negative;
    length -= negative;
    if (length == 0 || length > 16) return false;
#ifdef __SSE2__
    // The 16 bytes at p at once: which are digits and which is the point; then the digits as
    // one 16-digit number, lane i weighing 10^(15 - i), after the digits before the point
    // moved up one lane to close its gap. The last digit then weighs 10^(15 - point), where
    // `point` is the point's lane or, without one, the length.
    alignas(16) static constexpr std::uint8_t kLanesBelow[17][16] = {
        {},
        {255},
        {255, 255},
        {255, 255, 255},
        {255, 255, 255, 255},
        {255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}};
    const __m128i bytes = length <= 8 ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))
                                      : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    const unsigned inText = (1u << length) - 1;
    const unsigned digits = unsigned(_mm_movemask_epi8(isDigit)) & inText;
    const unsigned points = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')))) & inText;
    if ((digits | points) != inText || (points & (points - 1)) != 0 || digits == 0) return false;
    const unsigned point = points ? unsigned(std::countr_zero(points)) : unsigned(length);
    if (point == 16) return false;  // 16 digits
    const __m128i inTextLanes = _mm_load_si128(reinterpret_cast<const __m128i*>(kLanesBelow[length]));
    const __m128i below = _mm_load_si128(reinterpret_cast<const __m128i*>(kLanesBelow[point]));
    const __m128i x = _mm_and_si128(_mm_and_si128(values, isDigit), inTextLanes);
    const __m128i y = _mm_or_si128(_mm_slli_si128(_mm_and_si128(x, below), 1), _mm_andnot_si128(below, x));
    // Pairs of lanes to 16 bits, fours to 32, eights to two 32-bit halves of the number.
    const __m128i pairs = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(y, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
                                        _mm_srli_epi16(y, 8));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010064));  // 100, 1
    const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(0x00012710));  // 10000, 1
    const std::uint64_t high = std::uint32_t(_mm_cvtsi128_si32(eights));
    const std::uint64_t low = std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(eights, 4)));
    const double m = static_cast<double>(static_cast<std::int64_t>(high * 100000000 + low));
    numerator = negative ? -m : m;
    exponent = int(15 - point);
    return true;
#else
    std::uint64_t mantissa = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (p[i] >= '0' && p[i] <= '9') {
            mantissa = mantissa * 10 + unsigned(p[i] - '0');
            ++count;
            decimals += point;
        } else if (p[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 15) return false;
    const double m = static_cast<double>(static_cast<std::int64_t>(mantissa));
    numerator = negative ? -m : m;
    exponent = decimals;
    return true;
#endif
}

}  // namespace number_parse_detail

// A number read as atof reads it, but with its last step left to do: the value is
// numerator / 10^exponent, that one division being exact-rounded. Splitting the two lets the
// DXF reader's worker thread read the text while the thread that uses the value divides.
// A negative numerator gives the same quotient as negating the quotient, the rounding being
// symmetric.
struct CAtofParts {
    double numerator;
    int exponent;  // 0 to 15
};

inline double AtofValue(const CAtofParts& parts)
{
    return parts.numerator / number_parse_detail::kExactPow10[parts.exponent];
}

// ParseAtof for text that is followed in memory by at least 8 readable bytes (their values do
// not matter). Inline, as the DXF reader calls it for every coordinate: plain decimals, most
// numbers of a real file, take the fast path; everything else goes to ParseAtof.
inline CAtofParts ParseAtofParts(std::string_view text)
{
    CAtofParts parts{0.0, 0};
    if (number_parse_detail::ParsePlainDecimal(text, parts.numerator, parts.exponent)) return parts;
    return {ParseAtof(text), 0};
}

inline double ParseAtofPadded(std::string_view text) { return AtofValue(ParseAtofParts(text)); }
