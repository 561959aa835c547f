#pragma once

#include <cstddef>
#include <string>

/// The user's separators for label texts, taken from the locale at drawing time.
struct TNumberSeparators {
    std::string Decimal = ".";
    std::string Thousands = ",";
};

/// The largest member of the label step sequence not above `x` (0 when there is none).
double LargestLabelStepAtMost(double x);

/// The label step after `step` in the sequence 1, 2, 5, 10, 20, 50 ... (and 0.5, 0.2, 0.1 ... downwards).
double NextLabelStep(double step);

/// The most integer digits the label pattern writes; larger values take the general number format.
inline constexpr std::size_t maxPatternDigits = 18;

/// `value` in the format "#,##0.###": thousands grouping, at least one integer digit, at most three
/// decimals without trailing zeros. A value that rounds to zero has no sign. A value of more than
/// 18 integer digits is written in the general number format instead (15 significant digits,
/// mantissa, "E", exponent: "1.5E20").
std::string FormatAxisValue(double value, const TNumberSeparators& separators);
