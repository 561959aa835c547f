#include "FloatErrors.h"

#include <cmath>

namespace fpcheck {

double Checked(double value)
{
    if (std::isnan(value))
        throw EInvalidOp();
    if (std::isinf(value))
        throw EOverflow();
    return value;
}

double Div(double a, double b)
{
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throw EInvalidOp();
        throw EZeroDivide();
    }
    return Checked(a / b);
}

double Sqrt(double a)
{
    if (a < 0.0)
        throw EInvalidOp();
    return Checked(std::sqrt(a));
}

double ArcSin(double a)
{
    if (!(a >= -1.0 && a <= 1.0))
        throw EInvalidOp();
    return std::asin(a);
}

} // namespace fpcheck
