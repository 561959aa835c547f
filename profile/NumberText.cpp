#include "NumberText.h"

#include "FloatErrors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

struct TDecimal {
    char digits[16] = {}; ///< d1 .. dk, no trailing zeros
    int count = 0;        ///< k
    int exponent = 0;     ///< E with magnitude = 0.d1d2...dk * 10^E
};

/// Writes `magnitude` (finite, > 0) with `precision` digits after the point in scientific form:
/// correctly rounded from the exact binary value.
std::string_view Scientific(double magnitude, int precision, char* buffer, std::size_t size)
{
    const auto result = std::to_chars(buffer, buffer + size, magnitude, std::chars_format::scientific, precision);
    return {buffer, static_cast<std::size_t>(result.ptr - buffer)};
}

/// The first 16 significant digits of the exact value, truncated, and the exponent of the first.
void ExactLeadingDigits(double magnitude, char (&digits)[16], int& exponent10)
{
    // 21 significant digits, correctly rounded, give the truncated 16 unless rounding carried
    // into the 16th, which leaves digits 17 to 21 all '0'; only then look at every digit.
    char buffer[1100];
    std::string_view text = Scientific(magnitude, 20, buffer, sizeof buffer);
    if (text.substr(17, 5) == "00000") {
        // A double's exact expansion has at most 767 significant digits.
        text = Scientific(magnitude, 800, buffer, sizeof buffer);
    }
    digits[0] = text[0];
    for (int i = 1; i < 16; ++i)
        digits[i] = text[static_cast<std::size_t>(i) + 1];
    const std::size_t e = text.find('e');
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent10);
}

TDecimal RoundTo15(double magnitude)
{
    char exact[16];
    int exponent10 = 0;
    ExactLeadingDigits(magnitude, exact, exponent10);

    TDecimal d;
    for (int i = 0; i < 15; ++i)
        d.digits[i] = exact[i];
    d.exponent = exponent10 + 1;
    if (exact[15] >= '5') {
        int i = 14;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits[0] = '1';
            ++d.exponent;
        }
    }
    d.count = 15;
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

} // namespace

std::string FloatToText(double value, std::string_view separator)
{
    if (!std::isfinite(value))
        throw EInvalidOp();
    if (value == 0.0)
        return "0";

    const TDecimal d = RoundTo15(std::fabs(value));
    // The top few doubles round up past the largest double (1.79769313486231|57E308); their text
    // would read back as an infinity.
    if (d.exponent == 309 && std::string_view(d.digits, 15) > "179769313486231")
        throw EOverflow();
    std::string text;
    text.reserve(24);
    if (value < 0.0)
        text += '-';

    const int k = d.count;
    const int e = d.exponent;
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            text += '0';
            text += separator;
            text.append(static_cast<std::size_t>(-e), '0');
            text.append(d.digits, static_cast<std::size_t>(k));
        } else if (k <= e) {
            text.append(d.digits, static_cast<std::size_t>(k));
            text.append(static_cast<std::size_t>(e - k), '0');
        } else {
            text.append(d.digits, static_cast<std::size_t>(e));
            text += separator;
            text.append(d.digits + e, static_cast<std::size_t>(k - e));
        }
    } else {
        text += d.digits[0];
        if (k > 1) {
            text += separator;
            text.append(d.digits + 1, static_cast<std::size_t>(k - 1));
        }
        text += 'E';
        text += std::to_string(e - 1);
    }
    return text;
}
