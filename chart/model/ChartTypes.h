#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

/// A colour as 0x00BBGGRR, a system colour (high bit set) or one of the chart's special values.
using TColor = std::uint32_t;

/// "Use the series colour" as a point or brush colour.
inline constexpr TColor clUseSeriesColor = 0x20000000;
/// A point of this colour is not drawn.
inline constexpr TColor clNone = 0x1FFFFFFF;

/// The plain colours the chart needs, kept apart from the platform's names so that the model stays toolkit-free.
namespace chartcolor {
inline constexpr TColor Black = 0x000000;
inline constexpr TColor White = 0xFFFFFF;
inline constexpr TColor Red = 0x0000FF;
inline constexpr TColor Gray = 0x808080;
inline constexpr TColor Silver = 0xC0C0C0;
inline constexpr TColor BtnFace = 0x80000000 | 15;
inline constexpr TColor BtnShadow = 0x80000000 | 16;
inline constexpr TColor BtnHighlight = 0x80000000 | 20;
} // namespace chartcolor

/// Failures of the chart with the program's own message text (UTF-8).
class ChartException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A range that would not fit a double: refused before anything changes.
class EChartOverflow : public ChartException {
public:
    EChartOverflow() : ChartException("Gleitkommaüberlauf") {}
};

/// A range computed from a NaN (a percentage or value that is not a number).
class EChartInvalidOp : public ChartException {
public:
    EChartInvalidOp() : ChartException("Ungültige Gleitkommaoperation") {}
};

/// Whether an axis may show lo .. hi: both ends and the span are finite doubles.
inline bool IsFiniteRange(double lo, double hi)
{
    return std::isfinite(lo) && std::isfinite(hi) && std::isfinite(hi - lo);
}

/// Raises the floating-point error that a range outside the doubles stands for.
inline void CheckFiniteRange(double lo, double hi)
{
    if (std::isnan(lo) || std::isnan(hi))
        throw EChartInvalidOp();
    if (!IsFiniteRange(lo, hi))
        throw EChartOverflow();
}

/// Failures of an axis' range writers.
class AxisException : public ChartException {
public:
    using ChartException::ChartException;
};

/// A rectangle whose right and bottom edges are exclusive, in client pixels.
struct TChartRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool operator==(const TChartRect&) const = default;
};

enum class TPenStyle { psSolid, psDot, psClear };
enum class TPenMode { pmCopy, pmNotXor };
enum class TBrushStyle { bsSolid, bsClear };

struct TChartPen {
    bool Visible = true;
    TColor Color = chartcolor::Black;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    bool operator==(const TChartPen&) const = default;
};

struct TChartBrush {
    TColor Color = chartcolor::White;
    TBrushStyle Style = TBrushStyle::bsSolid;
    bool operator==(const TChartBrush&) const = default;
};

struct TChartFont {
    std::string Name = "Arial";
    int Size = 8; ///< points
    TColor Color = chartcolor::Black;
    bool operator==(const TChartFont&) const = default;
};

/// Rounds to the nearest integer, halves to even, saturated into the 32-bit range (NaN gives 0).
inline int Nearest(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (r <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

/// Sums two pixel coordinates without leaving the 32-bit range.
inline int SaturatedAdd(long long a, long long b)
{
    const long long s = a + b;
    if (s > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (s < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(s);
}
