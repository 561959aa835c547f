#include "AxisLabels.h"

#include <cmath>
#include <charconv>
#include <cstdio>

namespace {
/// The member d x 10^k of the label sequence (d = 1, 2 or 5), as the double nearest to it, so that the
/// sequence's members are the values a user would type.
double sequenceMember(int d, int k)
{
    // 10^n is exact up to n = 22: one multiplication or division rounds once.
    if (k >= 0 && k <= 22)
        return d * std::pow(10.0, k);
    if (k < 0 && k >= -22)
        return d / std::pow(10.0, -k);
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%de%d", d, k);
    double v = 0.0;
    std::from_chars(text, text + n, v);
    if (v == 0.0 && k > 0)
        v = HUGE_VAL; // beyond the largest double
    return v;
}
} // namespace

double NextLabelStep(double step)
{
    // Zero, negative and non-finite steps have no successor.
    if (!std::isfinite(step) || step <= 0.0)
        return step;
    // The successor is the smallest member of the 1-2-5 sequence above the step. Comparing with the
    // members themselves, never with a rescaled step, keeps every boundary exact: no rounding of the
    // step can make a member look smaller than itself, and 1.9999999999 stays below 2.
    int k = static_cast<int>(std::floor(std::log10(step)));
    while (sequenceMember(1, k) > step)
        --k;
    while (sequenceMember(1, k + 1) <= step)
        ++k;
    for (const int d : {2, 5})
        if (sequenceMember(d, k) > step)
            return sequenceMember(d, k);
    return sequenceMember(1, k + 1);
}

std::string FormatAxisValue(double value, const TNumberSeparators& separators)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    char buf[400]; // the largest double has 309 integer digits
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 3);
    const std::string digits(buf, res.ptr);
    const std::size_t dot = digits.find('.');
    std::string integer = digits.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    const bool zero = integer.find_first_not_of('0') == std::string::npos && fraction.empty();

    std::string out;
    if (value < 0 && !zero)
        out += '-';
    const std::size_t n = integer.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separators.Thousands;
        out += integer[i];
    }
    if (!fraction.empty())
        out += separators.Decimal + fraction;
    return out;
}
