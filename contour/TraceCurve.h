#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

/// The plane curve maths of the outline trace: points, local parabolas, polylines by arc length.
namespace tracecurve {

constexpr double Step = 2.0; ///< picture pixels between two measured centres of the line

struct V {
    double x = 0.0, y = 0.0;
};
inline V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
inline V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
inline V operator*(double s, V a) { return {s * a.x, s * a.y}; }
inline double Dot(V a, V b) { return a.x * b.x + a.y * b.y; }
inline double Cross(V a, V b) { return a.x * b.y - a.y * b.x; }
inline double Length(V a) { return std::hypot(a.x, a.y); }
inline V Unit(V a)
{
    const double l = Length(a);
    return l > 0.0 ? (1.0 / l) * a : V{1.0, 0.0};
}
inline V Perp(V a) { return {-a.y, a.x}; }
inline V Turn(V a, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return {a.x * c - a.y * s, a.x * s + a.y * c};
}

/// y = a + b x + c x^2 in a frame with origin `o` and x axis `t`.
struct TQuadratic {
    V o, t;
    double a = 0.0, b = 0.0, c = 0.0;
    V At(double x) const { return o + x * t + (a + b * x + c * x * x) * Perp(t); }
    double Local(V p) const { return Dot(p - o, t); }
};

/// The least-squares quadratic through points, in the frame (o, t); a line when the points span
/// too little for a curvature. An anchor is a point the curve must pass through.
TQuadratic FitQuadratic(const V* pts, std::size_t count, V o, V t, const V* anchor = nullptr);
TQuadratic FitQuadratic(const std::vector<V>& pts, V o, V t, const V* anchor = nullptr);

/// Samples that a crossing line or a letter pulled off the curve its neighbours agree on, left out.
std::vector<V> WithoutOutliers(const std::vector<V>& s);

/// The fit's points from local x `fromX` to `toX` (both exclusive), about one a step: where the
/// line cannot be measured, near a trailing edge.
std::vector<V> Extend(const TQuadratic& q, double fromX, double toX);

/// The fit of the line near one end of a run of samples (`atEnd`: near its last sample), in a
/// frame whose x axis points out of the run.
TQuadratic FitEnd(const std::vector<V>& s, bool atEnd, double reach, const V* anchor = nullptr);

/// Arc positions of the points of a polyline.
std::vector<double> ArcOf(const std::vector<V>& line);

/// The point at arc position s of a polyline, on the cubic through the four nearest points.
V AtArc(const std::vector<V>& line, const std::vector<double>& arc, double s);

} // namespace tracecurve
