// Text to numbers exactly as the C library's atof and atoi read them in the "C" locale,
// whatever locale the process runs in (a German session must still read "1.5" as 1.5).
#pragma once

#include <string_view>

// atof: leading white space skipped, an optional sign, then a decimal or hexadecimal number,
// "inf", "infinity" or "nan"; reading stops at the first character that cannot continue the
// number; no number gives 0. Out-of-range values give +-inf or a (sub)normal rounded value.
double ParseAtof(std::string_view text);

// atoi as glibc has it: strtol's value (saturated at the 64-bit limits) cut to an int.
int ParseAtoi(std::string_view text);

// ParseAtof for text that is followed in memory by at least 8 readable bytes (their values do
// not matter): short plain decimals, most numbers of a real file, are read 8 digits at a time.
double ParseAtofPadded(std::string_view text);
