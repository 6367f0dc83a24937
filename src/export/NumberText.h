// Locale-independent number text for the text writers: exactly what printf("%f") and
// printf("%d") give in the C locale, whatever locale the program runs in.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>

// Longest "%f" text of a double: sign, 309 integer digits, point, six decimals.
inline constexpr int kMaxFixed6Length = 1 + 309 + 1 + 6;

// Writes `value` as "%f" writes it (fixed notation, six decimals, "-0.000000", "inf",
// "-inf", "nan", "-nan") and returns the end of the text.
inline char* FormatFixed6(char* out, double value)
{
    // Below 2^43, value x 10^6 is below 2^63: it is computed exactly in integers from the bits
    // (value = m x 2^e, so value x 10^6 = m x 15625 x 2^(e+6)) and rounded half to even, as
    // printf rounds. Larger values and non-finite ones take the general conversion.
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7FF;
    if (biased >= 1023 + 43) return std::to_chars(out, out + kMaxFixed6Length + 8, value, std::chars_format::fixed, 6).ptr;
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t m = biased ? fraction | (std::uint64_t(1) << 52) : fraction;
    const int shift = 1075 - (biased ? biased : 1) - 6;  // at least 4 in this range
    const unsigned __int128 n = static_cast<unsigned __int128>(m) * 15625;  // below 2^67
    std::uint64_t scaled = 0;
    if (shift < 100) {
        scaled = static_cast<std::uint64_t>(n >> shift);
        const unsigned __int128 rest = n & ((static_cast<unsigned __int128>(1) << shift) - 1);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        if (rest > half || (rest == half && (scaled & 1))) ++scaled;
    }
    char* p = out;
    if (bits >> 63) *p++ = '-';
    p = std::to_chars(p, p + 24, scaled / 1000000).ptr;
    *p = '.';
    std::uint32_t decimals = static_cast<std::uint32_t>(scaled % 1000000);
    for (int i = 6; i >= 1; --i, decimals /= 10) p[i] = static_cast<char>('0' + decimals % 10);
    return p + 7;
}

inline char* FormatInt(char* out, long long value) { return std::to_chars(out, out + 24, value).ptr; }
