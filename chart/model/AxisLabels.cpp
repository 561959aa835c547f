#include "AxisLabels.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr int lowestExponent = -324; // below the smallest subnormal double
constexpr int highestExponent = 309; // above the largest double

/// The member d x 10^k of the label sequence (d = 1, 2 or 5), as the double nearest to its decimal
/// value, so that the members are the values a user would type.
double exactMember(int d, int k)
{
    // 10^n is exact up to n = 22: one multiplication or division rounds once.
    if (k >= 0 && k <= 22)
        return d * std::pow(10.0, k);
    if (k < 0 && k >= -22)
        return d / std::pow(10.0, -k);
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%de%d", d, k);
    double v = 0.0;
    const auto res = std::from_chars(text, text + n, v);
    if (res.ec == std::errc::result_out_of_range)
        v = k > 0 ? HUGE_VAL : 0.0;
    return v;
}

double sequenceMember(int d, int k)
{
    // Parsing costs; a search over a range near the largest double climbs through every decade.
    static const auto table = [] {
        std::array<std::array<double, 3>, highestExponent - lowestExponent + 1> t{};
        for (int k = lowestExponent; k <= highestExponent; ++k)
            t[static_cast<std::size_t>(k - lowestExponent)] = {exactMember(1, k), exactMember(2, k), exactMember(5, k)};
        return t;
    }();
    if (k < lowestExponent)
        return 0.0;
    if (k > highestExponent)
        return HUGE_VAL;
    return table[static_cast<std::size_t>(k - lowestExponent)][d == 1 ? 0 : d == 2 ? 1 : 2];
}

/// `digits` (an exact integer, at least 19 digits) in the general number format: rounded to 15
/// significant digits with a 16th digit of 5 or more rounding up, trailing zeros dropped, then
/// mantissa, "E", exponent.
std::string generalFormat(std::string digits, const std::string& decimal)
{
    int exponent = static_cast<int>(digits.size()) - 1;
    const bool up = digits[15] >= '5';
    digits.resize(15);
    if (up) {
        int i = 14;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
            digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out(1, digits[0]);
    if (digits.size() > 1)
        out += decimal + digits.substr(1);
    return out + "E" + std::to_string(exponent);
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

double LargestLabelStepAtMost(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return 0.0;
    int k = static_cast<int>(std::floor(std::log10(x)));
    while (k >= lowestExponent && sequenceMember(1, k) > x)
        --k;
    while (sequenceMember(1, k + 1) <= x)
        ++k;
    for (const int d : {5, 2, 1})
        if (sequenceMember(d, k) <= x)
            return sequenceMember(d, k);
    return 0.0;
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
    // Like the platform's formatting, a value with more than 18 integer digits takes the general
    // format: a label of up to 309 digits would push the plot off the control.
    if (integer.size() > maxPatternDigits)
        return out + generalFormat(integer, separators.Decimal);
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
