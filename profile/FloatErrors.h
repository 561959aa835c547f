#pragma once

#include <stdexcept>

/// Floating-point errors, raised explicitly where the hardware would trap: a NaN or an infinity
/// never leaves an arithmetic step of the profile code. Catch `EMathError` to take all three.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// 0/0, the square root of a negative number, an arcsine outside [-1, 1].
class EInvalidOp final : public EMathError {
public:
    EInvalidOp() : EMathError("Ungültige Gleitkommaoperation") {}
};

/// A non-zero value divided by zero.
class EZeroDivide final : public EMathError {
public:
    EZeroDivide() : EMathError("Gleitkommadivision durch Null") {}
};

/// A finite computation whose result does not fit a double.
class EOverflow final : public EMathError {
public:
    EOverflow() : EMathError("Gleitkommaüberlauf") {}
};

namespace fpcheck {

/// Passes a result on if it is finite; a NaN raises EInvalidOp, an infinity EOverflow.
/// Valid as long as every operand was itself checked, since then no infinity or NaN can
/// have come from an operand.
double Checked(double value);

/// a / b with the errors a trapping divider would raise.
double Div(double a, double b);

/// The square root; a negative operand raises EInvalidOp.
double Sqrt(double a);

/// The arcsine; an operand outside [-1, 1] raises EInvalidOp.
double ArcSin(double a);

} // namespace fpcheck
