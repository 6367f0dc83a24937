// Locale-independent number text for the text writers: exactly what printf("%f") and
// printf("%d") give in the C locale, whatever locale the program runs in.
#pragma once

#include <charconv>
#include <cstring>

// Longest "%f" text of a double: sign, 309 integer digits, point, six decimals.
inline constexpr int kMaxFixed6Length = 1 + 309 + 1 + 6;

// Writes `value` as "%f" writes it (fixed notation, six decimals, "-0.000000", "inf",
// "-inf", "nan", "-nan") and returns the end of the text.
inline char* FormatFixed6(char* out, double value)
{
    return std::to_chars(out, out + kMaxFixed6Length + 8, value, std::chars_format::fixed, 6).ptr;
}

inline char* FormatInt(char* out, long long value) { return std::to_chars(out, out + 24, value).ptr; }
