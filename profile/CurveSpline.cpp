#include "CurveSpline.h"

#include <cmath>
#include <utility>

namespace {

/// Derivatives of one stretch of knots k[0 .. m-1] (m >= 2) in x and y: continuous second
/// derivative inside, zero third derivative on the first and the last piece. Tridiagonal, solved
/// by elimination, whose factors depend on the knots' spacing only and so serve both coordinates;
/// the eliminated right-hand sides wait in the knots' derivatives. `c` is scratch of size m.
void StretchDerivatives(TCurveSpline::TKnot* k, std::size_t m, std::vector<double>& c)
{
    if (m == 2) {
        const double h = k[1].s - k[0].s;
        k[0].dx = k[1].dx = (k[1].x - k[0].x) / h;
        k[0].dy = k[1].dy = (k[1].y - k[0].y) / h;
        return;
    }
    // Row 0: x'0 + x'1 = 2 d0 (a parabola on the first piece).
    double hPrev = k[1].s - k[0].s;
    double dxPrev = (k[1].x - k[0].x) / hPrev, dyPrev = (k[1].y - k[0].y) / hPrev;
    c[0] = 1.0;
    k[0].dx = 2.0 * dxPrev;
    k[0].dy = 2.0 * dyPrev;
    for (std::size_t i = 1; i + 1 < m; ++i) {
        const double h = k[i + 1].s - k[i].s, inverse = 1.0 / h;
        const double dx = (k[i + 1].x - k[i].x) * inverse, dy = (k[i + 1].y - k[i].y) * inverse;
        const double scale = 1.0 / (2.0 * (hPrev + h) - h * c[i - 1]);
        c[i] = hPrev * scale;
        k[i].dx = (3.0 * (h * dxPrev + hPrev * dx) - h * k[i - 1].dx) * scale;
        k[i].dy = (3.0 * (h * dyPrev + hPrev * dy) - h * k[i - 1].dy) * scale;
        hPrev = h;
        dxPrev = dx;
        dyPrev = dy;
    }
    const std::size_t last = m - 1;
    k[last].dx = (2.0 * dxPrev - k[last - 1].dx) / (1.0 - c[last - 1]);
    k[last].dy = (2.0 * dyPrev - k[last - 1].dy) / (1.0 - c[last - 1]);
    for (std::size_t i = last; i-- > 0;) {
        k[i].dx -= c[i] * k[i + 1].dx;
        k[i].dy -= c[i] * k[i + 1].dy;
    }
}

} // namespace

TCurveSpline::TCurveSpline(const std::vector<TContourPoint>& points, const std::vector<std::size_t>& corners)
{
    knots_.reserve(points.size() + corners.size());
    double s = 0.0;
    std::size_t nextCorner = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0)
            s += std::sqrt((points[i].x - points[i - 1].x) * (points[i].x - points[i - 1].x) +
                           (points[i].y - points[i - 1].y) * (points[i].y - points[i - 1].y));
        knots_.push_back({s, points[i].x, points[i].y, 0.0, 0.0});
        if (nextCorner < corners.size() && corners[nextCorner] == i) {
            knots_.push_back(knots_.back());
            ++nextCorner;
        }
    }
    Solve();
}

void TCurveSpline::Solve()
{
    std::vector<double> c(knots_.size());
    std::size_t start = 0;
    for (std::size_t i = 1; i <= knots_.size(); ++i) {
        // A stretch ends at the last knot or where the next knot repeats this one's s (a corner).
        if (i == knots_.size() || knots_[i].s == knots_[i - 1].s) {
            const std::size_t m = i - start;
            if (m >= 2)
                StretchDerivatives(&knots_[start], m, c);
            start = i;
        }
    }
}

void TCurveSpline::Reparameterise(std::vector<double>& s)
{
    for (std::size_t i = 0; i < knots_.size(); ++i)
        std::swap(knots_[i].s, s[i]);
    Solve();
}

TCurveSpline::TPoint TCurveSpline::At(std::size_t piece, double s) const
{
    const TKnot& a = knots_[piece];
    const TKnot& b = knots_[piece + 1];
    const double h = b.s - a.s, t = (s - a.s) / h, t2 = t * t, t3 = t2 * t;
    const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t, h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
    const double d00 = 6 * t2 - 6 * t, d10 = 3 * t2 - 4 * t + 1, d11 = 3 * t2 - 2 * t;
    const double e00 = 12 * t - 6, e10 = 6 * t - 4, e11 = 6 * t - 2;
    TPoint p;
    p.x = h00 * a.x + h10 * h * a.dx + h01 * b.x + h11 * h * b.dx;
    p.y = h00 * a.y + h10 * h * a.dy + h01 * b.y + h11 * h * b.dy;
    p.dx = (d00 * (a.x - b.x)) / h + d10 * a.dx + d11 * b.dx;
    p.dy = (d00 * (a.y - b.y)) / h + d10 * a.dy + d11 * b.dy;
    p.ddx = (e00 * (a.x - b.x) / h + e10 * a.dx + e11 * b.dx) / h;
    p.ddy = (e00 * (a.y - b.y) / h + e10 * a.dy + e11 * b.dy) / h;
    return p;
}

std::size_t TCurveSpline::PieceAt(double s, std::size_t hint) const
{
    std::size_t piece = hint;
    while (piece + 2 < knots_.size() && knots_[piece + 1].s <= s)
        ++piece;
    // A corner's zero-length piece is never the answer.
    while (piece > 0 && knots_[piece + 1].s == knots_[piece].s)
        --piece;
    return piece;
}

void TCurveSpline::ToFrame(double ox, double oy, double ux, double uy, double scale)
{
    for (TKnot& k : knots_) {
        const double x = k.x - ox, y = k.y - oy, dx = k.dx, dy = k.dy;
        k.s *= scale;
        k.x = scale * (ux * x + uy * y);
        k.y = scale * (ux * y - uy * x);
        k.dx = ux * dx + uy * dy;
        k.dy = ux * dy - uy * dx;
    }
}
