// The number format on every 64-bit pattern, against an independent reading of the text:
// it parses back to the value rounded half away from zero to 15 significant digits, it keeps
// to the fixed / exponent grammar, the separator is the only thing a separator changes, and a
// non-finite value raises "Ungültige Gleitkommaoperation" and one whose rounding passes the largest
// double "Gleitkommaüberlauf" instead of getting a text.
#include "FloatErrors.h"
#include "NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, double value, const std::string& text)
{
    std::fprintf(stderr, "%s: value %.17g (%a) gave \"%s\"\n", what, value, value, text.c_str());
    std::abort();
}

/// The 15-digit rounding of |value| as a decimal string "d.ddddddddddddddE<exp>", from glibc's
/// exact expansion (a double has at most 767 significant digits), and its decimal exponent.
std::string Reference(double magnitude, int& exponent)
{
    static char exact[1200];
    std::snprintf(exact, sizeof exact, "%.800e", magnitude);
    char digits[16];
    digits[0] = exact[0];
    std::memcpy(digits + 1, exact + 2, 15);
    exponent = std::atoi(std::strchr(exact, 'e') + 1);
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    std::string text(1, digits[0]);
    text += '.';
    text.append(digits + 1, 14);
    text += 'E' + std::to_string(exponent);
    return text;
}

void CheckGrammar(double value, const std::string& text, int exponent)
{
    std::size_t i = 0;
    if (text[i] == '-')
        ++i;
    if (std::signbit(value) != (i == 1))
        Fail("sign", value, text);
    const std::size_t mantissaStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t intDigits = i - mantissaStart;
    if (intDigits == 0 || (intDigits > 1 && text[mantissaStart] == '0'))
        Fail("integer part", value, text);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == fracStart || text[i - 1] == '0')
            Fail("fraction digits (none, or a trailing zero)", value, text);
    }
    const bool scientific = i < text.size() && text[i] == 'E';
    if (scientific) {
        ++i;
        if (i < text.size() && text[i] == '-')
            ++i;
        const std::size_t expStart = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == expStart || (i - expStart > 1 && text[expStart] == '0'))
            Fail("exponent digits", value, text);
        if (intDigits != 1 || text[mantissaStart] == '0')
            Fail("mantissa of one leading digit", value, text);
    }
    if (i != text.size())
        Fail("stray characters", value, text);
    // Fixed notation exactly for rounded magnitudes from 0.0001 up to below 10^15.
    const bool fixedRange = exponent >= -4 && exponent <= 14;
    if (fixedRange == scientific)
        Fail("notation", value, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return -1;
    std::uint64_t bits;
    std::memcpy(&bits, data, 8);
    double value;
    std::memcpy(&value, &bits, 8);

    if (!std::isfinite(value)) {
        try {
            const std::string text = FloatToText(value);
            Fail("non-finite value got a text", value, text);
        } catch (const EInvalidOp& error) {
            if (std::string(error.what()) != "Ungültige Gleitkommaoperation")
                Fail("message", value, error.what());
        }
        return 0;
    }

    int exponent = 0;
    const std::string reference = Reference(std::fabs(value), exponent);
    const double expected = std::copysign(std::strtod(reference.c_str(), nullptr), value);
    // Where the rounding passes the largest double there is no readable text: an overflow.
    if (!std::isfinite(expected)) {
        try {
            const std::string text = FloatToText(value);
            Fail("text beyond the largest double", value, text);
        } catch (const EOverflow& error) {
            if (std::string(error.what()) != "Gleitkommaüberlauf")
                Fail("message", value, error.what());
        }
        return 0;
    }

    const std::string text = FloatToText(value);
    for (const char* word : {"nan", "NAN", "inf", "INF", "Nan", "Inf"})
        if (text.find(word) != std::string::npos)
            Fail("non-number text", value, text);
    if (value == 0.0) {
        if (text != "0")
            Fail("zero", value, text);
        return 0;
    }

    CheckGrammar(value, text, exponent);

    const double parsed = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(parsed))
        Fail("reads back as an infinity", value, text);
    if (parsed != expected)
        Fail(("not the 15-digit rounding " + reference).c_str(), value, text);
    // Half a unit of the 15th digit, and the parse's own half unit in the last place.
    const long double unit15 = std::pow(10.0L, exponent - 14);
    const long double error = std::fabs(static_cast<long double>(parsed) - static_cast<long double>(value));
    if (error > 0.5L * unit15 + std::fabs(std::nextafter(parsed, 0.0) - parsed))
        Fail("read back too far from the value", value, text);

    std::string comma = text;
    for (char& c : comma)
        if (c == '.')
            c = ',';
    if (FloatToText(value, ",") != comma)
        Fail("separator", value, FloatToText(value, ","));
    return 0;
}
