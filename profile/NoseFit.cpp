#include "NoseFit.h"

#include <Eigen/QR>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double Reach = 0.2;        ///< the form is fitted to the points this far from the nose, in chords,
constexpr std::size_t Fewest = 12;   ///< and to at least this many: 7 coefficients, 2 for the frame, 3 spare
constexpr std::size_t Most = 200;    ///< denser clicks pin the nose by themselves
constexpr int Degree = 4;            ///< of each side's polynomial in the root of x
constexpr double Evidence = 10.0;    ///< the squared misfit must drop this many times against the spline's frame
constexpr double Farthest = 0.01;    ///< farther from the spline's leading edge is no better estimate, in chords
constexpr double AheadWeight = 100.0; ///< on the square of a point's x ahead of the leading edge
constexpr double Infinite = std::numeric_limits<double>::infinity();

/// The squared misfit of the form's best fit to knots [first, last] in the frame whose leading
/// edge is (x0, y0) and whose trailing edge is (1, 0); infinite where the sides cannot be told.
/// `split`: the first knot past the leading edge.
double Misfit(const std::vector<TCurveSpline::TKnot>& knots, std::size_t first, std::size_t last, double x0, double y0,
              std::size_t& split)
{
    const double cx = 1.0 - x0, cy = -y0, chord = std::hypot(cx, cy);
    const double ux = cx / chord / chord, uy = cy / chord / chord;
    const std::size_t m = last - first + 1;
    // Sized for the most points there may be, so that no call of the search allocates.
    using TColumn = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, Most, 1>;
    using TMatrix = Eigen::Matrix<double, Eigen::Dynamic, 2 * Degree - 1, 0, Most, 2 * Degree - 1>;
    TColumn xs(m), ys(m);
    std::size_t nose = 0;
    for (std::size_t i = 0; i < m; ++i) {
        const double px = knots[first + i].x - x0, py = knots[first + i].y - y0;
        xs[i] = ux * px + uy * py;
        ys[i] = ux * py - uy * px;
        nose = xs[i] < xs[nose] ? i : nose;
    }
    // Near the leading edge a point's side is the sign of its y; the nearest point takes the side
    // of that of its neighbours whose sign it shares.
    if (nose == 0 || nose + 1 == m || (ys[nose - 1] > 0.0) == (ys[nose + 1] > 0.0))
        return Infinite;
    const std::size_t past = (ys[nose] > 0.0) == (ys[nose - 1] > 0.0) ? nose + 1 : nose;
    if (past < Degree || m - past < Degree)
        return Infinite;
    // y = a u + b2 u^2 + ... + b4 u^4 on each side, u the root of x, negative before the edge.
    TMatrix a = TMatrix::Zero(static_cast<Eigen::Index>(m), 2 * Degree - 1);
    double ahead = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        const auto row = static_cast<Eigen::Index>(i);
        const double root = std::sqrt(std::max(xs[row], 0.0)), u = i < past ? -root : root;
        ahead += xs[row] < 0.0 ? AheadWeight * xs[row] * xs[row] : 0.0;
        a(row, 0) = u;
        double power = u;
        for (int j = 2; j <= Degree; ++j) {
            power *= u;
            a(row, (i < past ? 1 : Degree) + j - 2) = power;
        }
    }
    const Eigen::Matrix<double, 2 * Degree - 1, 1> c = a.colPivHouseholderQr().solve(ys);
    split = first + past;
    return (a * c - ys).squaredNorm() + ahead;
}

} // namespace

std::optional<TNoseFrame> NoseFrame(const std::vector<TCurveSpline::TKnot>& knots, std::size_t nose)
{
    // The window: the knots within Reach of the nose in x, at least the Fewest nearest, in one
    // run round it.
    if (knots.size() < Fewest || nose >= knots.size())
        return std::nullopt;
    const auto within = [&](double reach) {
        return static_cast<std::size_t>(std::count_if(knots.begin(), knots.end(), [&](const auto& k) { return k.x <= reach; }));
    };
    double reach = Reach;
    std::size_t inside = within(reach);
    if (inside < Fewest) {
        std::vector<double> xs;
        xs.reserve(knots.size());
        for (const TCurveSpline::TKnot& k : knots)
            xs.push_back(k.x);
        std::nth_element(xs.begin(), xs.begin() + (Fewest - 1), xs.end());
        reach = xs[Fewest - 1];
        inside = within(reach);
    }
    std::size_t first = nose, last = nose;
    while (first > 0 && knots[first - 1].x <= reach)
        --first;
    while (last + 1 < knots.size() && knots[last + 1].x <= reach)
        ++last;
    if (inside != last - first + 1 || inside > Most)
        return std::nullopt;
    // A corner there is drawn, not round.
    for (std::size_t i = first; i < last; ++i)
        if (knots[i].s == knots[i + 1].s)
            return std::nullopt;

    const auto misfit = [&](double x, double y) {
        std::size_t unused = 0;
        return std::hypot(x, y) > Farthest ? Infinite : Misfit(knots, first, last, x, y, unused);
    };
    // A coarse look round the spline's leading edge, for the valley, then the simplex down it.
    struct TVertex {
        double x, y, f;
    };
    TVertex best{0.0, 0.0, misfit(0.0, 0.0)};
    const double spline = best.f;
    if (!std::isfinite(spline) || !(spline > 0.0))
        return std::nullopt;
    constexpr double Step = 0.0005;
    for (int i = -2; i <= 2; ++i)
        for (int j = -20; j <= 20; ++j)
            if (const double f = misfit(2 * i * Step, j * Step); f < best.f)
                best = {2 * i * Step, j * Step, f};
    std::array<TVertex, 3> v{best, TVertex{best.x + Step, best.y, misfit(best.x + Step, best.y)},
                             TVertex{best.x, best.y + Step, misfit(best.x, best.y + Step)}};
    for (int it = 0; it < 400; ++it) {
        std::sort(v.begin(), v.end(), [](const TVertex& p, const TVertex& q) { return p.f < q.f; });
        if (std::max(std::hypot(v[1].x - v[0].x, v[1].y - v[0].y), std::hypot(v[2].x - v[0].x, v[2].y - v[0].y)) < 1e-8)
            break;
        const double cx = 0.5 * (v[0].x + v[1].x), cy = 0.5 * (v[0].y + v[1].y);
        const auto at = [&](double t) {
            const double x = cx + t * (v[2].x - cx), y = cy + t * (v[2].y - cy);
            return TVertex{x, y, misfit(x, y)};
        };
        const TVertex reflected = at(-1.0);
        if (reflected.f < v[0].f) {
            const TVertex expanded = at(-2.0);
            v[2] = expanded.f < reflected.f ? expanded : reflected;
        } else if (reflected.f < v[1].f) {
            v[2] = reflected;
        } else if (const TVertex contracted = at(0.5); contracted.f < v[2].f) {
            v[2] = contracted;
        } else {
            for (std::size_t n = 1; n < 3; ++n) {
                v[n].x = 0.5 * (v[0].x + v[n].x);
                v[n].y = 0.5 * (v[0].y + v[n].y);
                v[n].f = misfit(v[n].x, v[n].y);
            }
        }
    }
    best = *std::min_element(v.begin(), v.end(), [](const TVertex& p, const TVertex& q) { return p.f < q.f; });
    if (!(spline >= Evidence * best.f))
        return std::nullopt;
    TNoseFrame frame{best.x, best.y, 0};
    Misfit(knots, first, last, best.x, best.y, frame.split);
    return frame;
}
