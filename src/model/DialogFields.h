// Text fields of the settings dialogs, without the widgets: whole numbers and decimal numbers
// checked against a range and written the same way in every locale, and the rule by which an
// editable combo box shows a stored text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A whole number in min..max: optional blanks, an optional sign, decimal digits, optional
// blanks. Anything else, or a value outside the range, is refused (nullopt).
std::optional<int> ParseIntegerField(std::string_view text, int min, int max);

// A finite decimal number in min..max ("36.5", "-90", "1e1"), blanks around it allowed. A
// decimal comma is refused whatever the locale.
std::optional<double> ParseNumberField(std::string_view text, double min, double max);

std::string FormatIntegerField(int value);
// Up to 15 significant digits, no trailing zeros: 36.0 shows as "36", 36.5 as "36.5".
std::string FormatNumberField(double value);

// Truncation toward zero; NaN gives 0 and values beyond the int range saturate, so a stored
// value from a damaged file cannot make the conversion undefined.
int TruncateToInt(double value);

// What the dialog tells the user when a field is refused.
std::string IntegerFieldMessage(int min, int max);
std::string NumberFieldMessage(double min, double max);

// Index of the first entry that begins with `text`, ASCII letters compared without regard to
// case, other bytes exactly; -1 when none does or when `text` is empty.
int FindComboPrefix(const std::vector<std::string>& entries, std::string_view text);

// The text an editable combo box shows for a stored text: the first entry that begins with
// it, else the text unchanged. So "T_Glass" shows as "T_Glass1"; an empty text stays empty.
std::string ComboShownText(const std::vector<std::string>& entries, std::string_view text);

// The byte string to store for a field the dialog shows as UTF-8: the stored bytes when the
// field still shows exactly what they display as (so Shift-JIS text survives an untouched OK),
// else the field's UTF-8 text.
std::string StoredTextFromField(const std::string& stored, const std::string& fieldUtf8);
