#pragma once

#include <string>

/// The user's separators for label texts, taken from the locale at drawing time.
struct TNumberSeparators {
    std::string Decimal = ".";
    std::string Thousands = ",";
};

/// The label step after `step` in the sequence 1, 2, 5, 10, 20, 50 ... (and 0.5, 0.2, 0.1 ... downwards).
double NextLabelStep(double step);

/// `value` in the format "#,##0.###": thousands grouping, at least one integer digit, at most three
/// decimals without trailing zeros. A value that rounds to zero has no sign.
std::string FormatAxisValue(double value, const TNumberSeparators& separators);
