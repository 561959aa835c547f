#include "TraceCurve.h"

#include <algorithm>

namespace tracecurve {

TQuadratic FitQuadratic(const V* pts, std::size_t count, V o, V t, const V* anchor)
{
    TQuadratic q{o, t};
    double s[5] = {}, r[3] = {};
    const auto add = [&](V p, double weight) {
        const double x = Dot(p - o, t), y = Dot(p - o, Perp(t));
        double xk = weight;
        for (int k = 0; k < 5; ++k) {
            s[k] += xk;
            if (k < 3)
                r[k] += xk * y;
            xk *= x;
        }
    };
    for (std::size_t i = 0; i < count; ++i)
        add(pts[i], 1.0);
    // A point the curve must pass through weighs as much as all the others together, many times.
    if (anchor)
        add(*anchor, 100.0 * static_cast<double>(count));
    if (count >= 5) {
        const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        if (std::abs(det) > 1e-9 * std::max(1.0, s[4] * s[2] * s[0])) {
            const auto solve = [&](int col) {
                double mm[3][3];
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j)
                        mm[i][j] = j == col ? r[i] : m[i][j];
                return (mm[0][0] * (mm[1][1] * mm[2][2] - mm[1][2] * mm[2][1]) -
                        mm[0][1] * (mm[1][0] * mm[2][2] - mm[1][2] * mm[2][0]) +
                        mm[0][2] * (mm[1][0] * mm[2][1] - mm[1][1] * mm[2][0])) /
                       det;
            };
            q.a = solve(0);
            q.b = solve(1);
            q.c = solve(2);
            return q;
        }
    }
    const double det = s[0] * s[2] - s[1] * s[1];
    if (count >= 2 && std::abs(det) > 1e-12) {
        q.a = (r[0] * s[2] - s[1] * r[1]) / det;
        q.b = (s[0] * r[1] - s[1] * r[0]) / det;
    } else if (count > 0) {
        q.a = r[0] / s[0];
    }
    return q;
}

TQuadratic FitQuadratic(const std::vector<V>& pts, V o, V t, const V* anchor)
{
    return FitQuadratic(pts.data(), pts.size(), o, t, anchor);
}

/// Samples that a crossing line or a letter pulled off the curve its neighbours agree on.
std::vector<V> WithoutOutliers(const std::vector<V>& s)
{
    constexpr int Reach = 3;
    std::vector<V> kept;
    kept.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i < Reach || i + Reach >= s.size()) {
            kept.push_back(s[i]);
            continue;
        }
        V around[2 * Reach];
        std::size_t k = 0;
        for (std::size_t j = i - Reach; j <= i + Reach; ++j)
            if (j != i)
                around[k++] = s[j];
        const V t = Unit(s[i + Reach] - s[i - Reach]);
        const TQuadratic q = FitQuadratic(around, k, s[i], t);
        const V on = q.At(0.0);
        if (Length(on - s[i]) <= 0.2 || Length(s[i + Reach] - s[i - Reach]) > 4 * Reach * Step)
            kept.push_back(s[i]);
    }
    return kept;
}

/// The curve's points from its start `from` (exclusive) to the place at local x `toX` of the fit
/// (exclusive), one a step: where the line cannot be measured, near a trailing edge.
std::vector<V> Extend(const TQuadratic& q, double fromX, double toX)
{
    std::vector<V> out;
    const double span = toX - fromX;
    const int n = static_cast<int>(std::floor(std::abs(span) / Step));
    for (int k = 1; k <= n; ++k) {
        const double x = fromX + span * k / (n + 1);
        out.push_back(q.At(x));
    }
    return out;
}

/// The fit of the line near one end of a run of samples (`atEnd`: near its last sample), in a
/// frame whose x axis points out of the run.
TQuadratic FitEnd(const std::vector<V>& s, bool atEnd, double reach, const V* anchor)
{
    std::vector<V> pts;
    const V o = atEnd ? s.back() : s.front();
    for (std::size_t k = 0; k < s.size(); ++k) {
        const V p = atEnd ? s[s.size() - 1 - k] : s[k];
        if (Length(p - o) > reach && pts.size() >= 6)
            break;
        pts.push_back(p);
    }
    const V far = pts.back();
    const V t = Unit(o - far);
    return FitQuadratic(pts, o, t, anchor);
}

/// Arc positions of the points of a polyline.
std::vector<double> ArcOf(const std::vector<V>& line)
{
    std::vector<double> arc(line.size(), 0.0);
    for (std::size_t i = 1; i < line.size(); ++i)
        arc[i] = arc[i - 1] + Length(line[i] - line[i - 1]);
    return arc;
}

/// The point at arc position s of a polyline, on the cubic through the four nearest points.
V AtArc(const std::vector<V>& line, const std::vector<double>& arc, double s)
{
    const std::size_t n = line.size();
    std::size_t i = static_cast<std::size_t>(std::upper_bound(arc.begin(), arc.end(), s) - arc.begin());
    i = std::clamp<std::size_t>(i, 1, n - 1);
    if (n < 4)
        return line[i - 1] + ((s - arc[i - 1]) / std::max(1e-12, arc[i] - arc[i - 1])) * (line[i] - line[i - 1]);
    std::size_t lo = i >= 2 ? i - 2 : 0;
    lo = std::min(lo, n - 4);
    V out;
    for (std::size_t a = lo; a < lo + 4; ++a) {
        double w = 1.0;
        for (std::size_t b = lo; b < lo + 4; ++b)
            if (b != a)
                w *= (s - arc[b]) / (arc[a] - arc[b]);
        out = out + w * line[a];
    }
    return out;
}

} // namespace tracecurve
