#pragma once

#include <string>
#include <string_view>

/// The general number format: 15 significant digits (a 16th digit of 5 or more rounds away
/// from zero), trailing zeros dropped, fixed notation for magnitudes from 0.0001 up to below
/// 10^15, otherwise mantissa "E" exponent (1E15, -1.23E-5). Zero of either sign is "0".
/// `separator` is the decimal separator; the .dat file always uses '.'.
/// Infinities and NaN have no text here; they raise EInvalidOp. A finite value whose rounding
/// lies beyond the largest double (the values from 1.797693134862315E308 up) raises EOverflow.
std::string FloatToText(double value, std::string_view separator = ".");
