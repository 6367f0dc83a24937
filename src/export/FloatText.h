// Fast "%f" text of single-precision corner coordinates: exactly what printf("%f") gives for the
// float widened to double, by integer arithmetic on the float's bits (no locale, no printf).
#pragma once

#include "export/NumberText.h"

#include <bit>
#include <cstdint>

namespace float_text_detail {

inline char* PutSixDigits(char* out, uint32_t value)
{
    for (int i = 5; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + 6;
}

}  // namespace float_text_detail

// Writes double(value) as FormatFixed6 does and returns the end of the text. Needs the same
// room as FormatFixed6; magnitudes of 2^40 and more, infinities and NaN go through it.
inline char* FormatFloatFixed6(char* out, float value)
{
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    const uint32_t biased = (bits >> 23) & 0xFF;
    // value = mantissa * 2^exponent exactly
    const uint64_t mantissa = biased ? ((bits & 0x7FFFFF) | 0x800000) : (bits & 0x7FFFFF);
    const int exponent = (biased ? int(biased) : 1) - 150;
    if (biased == 0xFF || exponent > 16) return FormatFixed6(out, double(value));

    if (bits >> 31) *out++ = '-';  // also for values that round to zero, as printf writes "-0.000000"
    uint64_t integer = 0;
    uint32_t fraction = 0;  // millionths
    if (exponent >= 0) {
        integer = mantissa << exponent;
    } else if (exponent >= -44) {
        // mantissa < 2^24 and the fraction part < 2^44, so rest * 10^6 < 2^64.
        const int shift = -exponent;
        integer = mantissa >> shift;
        const uint64_t rest = (mantissa & ((uint64_t(1) << shift) - 1)) * 1000000;
        uint64_t digits = rest >> shift;
        const uint64_t remainder = rest & ((uint64_t(1) << shift) - 1);
        const uint64_t half = uint64_t(1) << (shift - 1);
        // Ties go to even, as the exact decimal expansion rounds in printf.
        if (remainder > half || (remainder == half && (digits & 1))) ++digits;
        if (digits == 1000000) {
            digits = 0;
            ++integer;
        }
        fraction = static_cast<uint32_t>(digits);
    }
    // Below 2^-21 everything rounds to zero: integer and fraction stay 0.
    out = std::to_chars(out, out + 24, integer).ptr;
    *out++ = '.';
    return float_text_detail::PutSixDigits(out, fraction);
}
