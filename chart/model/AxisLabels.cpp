#include "AxisLabels.h"

#include <cmath>
#include <charconv>

namespace {
double timesPowerOfTen(double m, int k)
{
    // Dividing by an exact power of ten rounds once; multiplying by an inexact 10^-k would round twice.
    return k >= 0 ? m * std::pow(10.0, k) : m / std::pow(10.0, -k);
}
} // namespace

double NextLabelStep(double step)
{
    // Zero, negative and non-finite steps have no successor.
    if (!std::isfinite(step) || step <= 0.0)
        return step;
    // Scaling by ten step by step drifts (1e-12 would come back as 1.0000000000000006e-12 and the
    // search would crawl); the decimal exponent found at once keeps every step the exact 1-2-5 value.
    constexpr double tolerance = 1e-9;
    int k = static_cast<int>(std::floor(std::log10(step)));
    double m = step / timesPowerOfTen(1.0, k);
    if (m < 1.0 - tolerance) {
        --k;
        m *= 10.0;
    } else if (m >= 10.0 * (1.0 - tolerance)) {
        ++k;
        m /= 10.0;
    }
    const double next = m < 2.0 * (1.0 - tolerance) ? 2.0 : m < 5.0 * (1.0 - tolerance) ? 5.0 : 10.0;
    return timesPowerOfTen(next, k);
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
