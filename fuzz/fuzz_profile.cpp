// Normalisation and the profile table on arbitrary point lists: the recompute and the file text
// either end in a clean exception carrying one of the program's floating-point messages, or give
// a table of the right length whose every number is finite and whose text lines read back.
#include "FloatErrors.h"
#include "NumberText.h"
#include "ProfileTable.h"
#include "ProfileText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

/// Reads the input as a height and points. The first byte picks the encoding: odd values take
/// raw 64-bit patterns (NaN, infinities, huge and tiny values), even ones 16-bit pixel
/// coordinates, which reach the normalisation's ordinary paths far more often.
double ReadInput(const std::uint8_t* data, std::size_t size, std::vector<TContourPoint>& contour)
{
    const bool raw = data[0] & 1;
    ++data;
    --size;
    if (raw) {
        auto next = [&](double& v) {
            if (size < 8)
                return false;
            std::memcpy(&v, data, 8);
            data += 8;
            size -= 8;
            return true;
        };
        double height = 0;
        next(height);
        TContourPoint p;
        while (next(p.x) && next(p.y))
            contour.push_back(p);
        return height;
    }
    auto next = [&](double& v) {
        if (size < 2)
            return false;
        v = static_cast<std::int16_t>(data[0] | (data[1] << 8));
        data += 2;
        size -= 2;
        return true;
    };
    double height = 0;
    next(height);
    TContourPoint p;
    while (next(p.x) && next(p.y))
        contour.push_back(p);
    return height;
}

bool IsMathMessage(const std::string& m)
{
    return m == "Ungültige Gleitkommaoperation" || m == "Gleitkommadivision durch Null" || m == "Gleitkommaüberlauf";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return -1;
    std::vector<TContourPoint> contour;
    const double height = ReadInput(data, size, contour);

    std::vector<TContourPoint> table;
    std::string text;
    try {
        RecomputeProfileTable(contour, height, true, table);
        text = ProfileText("T", table);
    } catch (const EMathError& error) {
        if (!IsMathMessage(error.what()))
            Fail("unexpected message", error.what());
        return 0;
    }

    const std::size_t n = contour.size();
    if (table.size() != (n > 3 ? n + 1 : n))
        Fail("table length", std::to_string(table.size()) + " for " + std::to_string(n));
    for (const TContourPoint& p : table)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            Fail("non-finite entry");
    if (n > 3 && (table.back().x != 1.0 || table.back().y != 0.0))
        Fail("closing point");

    // The text: the title, then exactly one "x y" line per entry, each reading back finite.
    std::size_t at = text.find('\n');
    if (text.compare(0, at, "T") != 0)
        Fail("title line");
    for (const TContourPoint& p : table) {
        if (at == std::string::npos)
            Fail("missing line");
        const std::size_t end = text.find('\n', at + 1);
        const std::string line = text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        if (line != FloatToText(p.x) + ' ' + FloatToText(p.y))
            Fail("line", line);
        char* rest = nullptr;
        const double x = std::strtod(line.c_str(), &rest);
        const double y = std::strtod(rest, &rest);
        if (*rest != '\0' || !std::isfinite(x) || !std::isfinite(y))
            Fail("line does not read back", line);
        at = end;
    }
    if (at != std::string::npos)
        Fail("extra text");
    return 0;
}
