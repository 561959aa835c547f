#include "XfoilPaneling.h"

#include "CurveSpline.h"
#include "NoseFit.h"
#include "ProfileCheck.h"
#include "ProfileText.h"
#include "XfoilText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

// Panel spacing, in chord fractions. XFOIL's own 160 nodes on NACA 2412 run from 0.0018 at the
// nose to 0.0165 at mid-chord and 0.0084 at the trailing edge; these constants give about that,
// and with them XFOIL's viscous solution converges on its own four-digit sections.
constexpr double CurvatureWeight = 0.12;  ///< spacing ~ 1 / (1 + weight * curvature)
constexpr double SmoothingLength = 0.012; ///< curvature is averaged over about this arc length
constexpr double EndSpacing = 0.5;        ///< trailing edge and corners, relative to the plain spacing
constexpr double Growth = 0.25;           ///< a panel is at most this much longer than the one before
constexpr int GridSteps = 4000;           ///< samples of the curve for the spacing
constexpr std::size_t MostStretches = 40; ///< more corners than this are a zig-zag, not an outline
constexpr double CornerContrast = 2.0;    ///< a corner turns this many times more than its neighbours
constexpr double ProgramsClosingLine = 0.02; ///< a closing line this long spans a stretch nobody clicked
constexpr double NoseSpeedRatio = 4.0;    ///< sparse clicks round a round nose stay within 2.5

double TurnDegrees(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / std::numbers::pi;
}

TXfoilOutline Raw(std::vector<TContourPoint> points, std::size_t through, TRawReason reason, int line = 0)
{
    TXfoilOutline outline;
    outline.Points = std::move(points);
    outline.Through = through;
    outline.Reason = reason;
    outline.ReasonLine = line;
    return outline;
}

/// The index of the point farthest from the midpoint of the first and the last: the nose.
std::size_t FarthestFromEnds(const std::vector<TContourPoint>& points)
{
    const double tx = 0.5 * (points.front().x + points.back().x), ty = 0.5 * (points.front().y + points.back().y);
    std::size_t far = 0;
    double farthest = -1.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double d = (points[i].x - tx) * (points[i].x - tx) + (points[i].y - ty) * (points[i].y - ty);
        if (d > farthest) {
            farthest = d;
            far = i;
        }
    }
    return far;
}

/// Where on the curve the distance to `te` has its greatest local maximum near knot `near`: the
/// leading edge, where the tangent is normal to the line to the trailing edge. -1 if none inside.
double LeadingEdge(const TCurveSpline& curve, double tx, double ty, std::size_t near)
{
    const auto& k = curve.Knots();
    auto dist2 = [&](double x, double y) { return (x - tx) * (x - tx) + (y - ty) * (y - ty); };
    auto slope = [&](const TCurveSpline::TPoint& p) { return (p.x - tx) * p.dx + (p.y - ty) * p.dy; };
    double best = -1.0, bestS = -1.0;
    const std::size_t first = near >= 4 ? near - 4 : 0, last = std::min(near + 4, k.size() - 1);
    double before = 0.0; // the distance's slope arriving at the piece's start
    bool haveBefore = false;
    for (std::size_t i = first; i < last; ++i) {
        const double a = k[i].s, b = k[i + 1].s;
        if (!(b > a))
            continue;
        const TCurveSpline::TPoint pa = curve.At(i, a), pb = curve.At(i, b);
        const double fa = slope(pa), fb = slope(pb);
        // A corner (or a knot) where the distance stops rising.
        if (haveBefore && before >= 0.0 && fa <= 0.0 && dist2(k[i].x, k[i].y) > best) {
            best = dist2(k[i].x, k[i].y);
            bestS = a;
        }
        if (fa > 0.0 && fb < 0.0) {
            double lo = a, hi = b;
            for (int it = 0; it < 80 && hi > lo; ++it) {
                const double mid = 0.5 * (lo + hi);
                if (mid <= lo || mid >= hi)
                    break;
                (slope(curve.At(i, mid)) > 0.0 ? lo : hi) = mid;
            }
            const TCurveSpline::TPoint p = curve.At(i, lo);
            if (dist2(p.x, p.y) > best) {
                best = dist2(p.x, p.y);
                bestS = lo;
            }
        }
        before = fb;
        haveBefore = true;
    }
    return bestS;
}

/// Finds the leading edge near knot `near` and moves the curve into XFOIL's frame: the leading
/// edge to (0, 0), the trailing edge's midpoint (tx, ty) to (1, 0). The leading edge's parameter
/// there; -1 where there is none (the curve is left as it was).
double ToXfoilFrame(TCurveSpline& curve, double tx, double ty, std::size_t near)
{
    const double le = LeadingEdge(curve, tx, ty, near);
    if (!(le > 0.0 && le < curve.Length()))
        return -1.0;
    const TCurveSpline::TPoint nose = curve.At(curve.PieceAt(le, 0), le);
    const double chord = std::hypot(tx - nose.x, ty - nose.y);
    if (!(chord > 0.0) || !std::isfinite(chord))
        return -1.0;
    curve.ToFrame(nose.x, nose.y, (tx - nose.x) / chord, (ty - nose.y) / chord, 1.0 / chord);
    return le / chord;
}

/// Parameters by which a round nose is nearly a polynomial: the signed square root of x in
/// XFOIL's frame, negative before the leading edge (before knot `split`). About the nose x grows
/// with the square of the distance from it, so its root runs evenly round the nose, where the
/// chord length of sparse clicks cuts the corner. Empty where x does not grow strictly away from the nose on both sides,
/// or where the root stalls along a stretch that is nearly upright (a flat front, a blunt base):
/// a piece's chord per step of the root more than NoseSpeedRatio times its neighbour's.
std::vector<double> NoseParameters(const TCurveSpline& curve, std::size_t split)
{
    const auto& k = curve.Knots();
    std::vector<double> u(k.size());
    double speedBefore = 0.0; // of the piece before, 0 after a corner
    for (std::size_t i = 0; i < k.size(); ++i) {
        const double root = std::sqrt(std::max(k[i].x, 0.0));
        u[i] = i < split ? -root : root;
        if (i == 0)
            continue;
        if (k[i].s == k[i - 1].s) {
            if (u[i] != u[i - 1])
                return {};
            speedBefore = 0.0;
            continue;
        }
        if (!(u[i] > u[i - 1]))
            return {};
        const double dx = k[i].x - k[i - 1].x, dy = k[i].y - k[i - 1].y;
        const double speed = std::sqrt(dx * dx + dy * dy) / (u[i] - u[i - 1]);
        if (speedBefore > 0.0 && (speed > NoseSpeedRatio * speedBefore || speedBefore > NoseSpeedRatio * speed))
            return {};
        speedBefore = speed;
    }
    const double first = u[0];
    for (double& v : u)
        v -= first;
    return u;
}

/// The parameters of XfoilNodes points along the curve. `fixed` holds the parameters of the points
/// that must be nodes (ascending, the ends first and last); `bunched` says which of them get
/// trailing-edge spacing. Spacing is planned on arc length, measured along a fine grid.
std::vector<double> NodeStations(const TCurveSpline& curve, const std::vector<double>& fixed, const std::vector<bool>& bunched)
{
    const double length = curve.Length();
    std::vector<double> t, s, curvature;
    std::vector<std::size_t> start(fixed.size()); // first grid index of each stretch, the last: size
    std::size_t piece = 0;
    double px = 0.0, py = 0.0;
    for (std::size_t f = 0; f + 1 < fixed.size(); ++f) {
        const double a = fixed[f], b = fixed[f + 1];
        const int steps = std::max(16, static_cast<int>(std::lround(GridSteps * (b - a) / length)));
        start[f] = t.size();
        for (int j = 0; j <= steps; ++j) {
            const double tj = j == steps ? b : a + (b - a) * j / steps;
            piece = curve.PieceAt(tj, piece);
            const TCurveSpline::TPoint p = curve.At(piece, tj);
            const double speed = std::hypot(p.dx, p.dy);
            s.push_back(t.empty() ? 0.0 : s.back() + std::sqrt((p.x - px) * (p.x - px) + (p.y - py) * (p.y - py)));
            t.push_back(tj);
            px = p.x;
            py = p.y;
            curvature.push_back(speed > 0.0 ? std::fabs(p.dx * p.ddy - p.dy * p.ddx) / (speed * speed * speed) : 0.0);
        }
    }
    start.back() = t.size();

    // Curvature averaged both ways with an exponential window, so that spacing follows the bend
    // of the outline, not the wiggle of one piece.
    const std::size_t n = s.size();
    std::vector<double> smooth(curvature);
    for (std::size_t j = 1; j < n; ++j) {
        const double a = std::exp(-(s[j] - s[j - 1]) / SmoothingLength);
        smooth[j] = a * smooth[j - 1] + (1.0 - a) * smooth[j];
    }
    for (std::size_t j = n - 1; j-- > 0;) {
        const double a = std::exp(-(s[j + 1] - s[j]) / SmoothingLength);
        smooth[j] = a * smooth[j + 1] + (1.0 - a) * smooth[j];
    }

    std::vector<double> h(n);
    auto spacing = [&](double plain) {
        for (std::size_t j = 0; j < n; ++j)
            h[j] = plain / (1.0 + CurvatureWeight * smooth[j]);
        for (std::size_t f = 0; f < fixed.size(); ++f) {
            if (!bunched[f])
                continue;
            // A stretch's first grid point, and the previous stretch's last one at the same place.
            const std::size_t j = f + 1 < fixed.size() ? start[f] : n - 1;
            h[j] = std::min(h[j], EndSpacing * plain);
            if (j > 0 && f + 1 < fixed.size())
                h[j - 1] = std::min(h[j - 1], EndSpacing * plain);
        }
        // Neighbouring panels within 1 + Growth of each other: the spacing may grow by at most
        // Growth per unit of arc length.
        for (std::size_t j = 1; j < n; ++j)
            h[j] = std::min(h[j], h[j - 1] + Growth * (s[j] - s[j - 1]));
        for (std::size_t j = n - 1; j-- > 0;)
            h[j] = std::min(h[j], h[j + 1] + Growth * (s[j + 1] - s[j]));
        double panels = 0.0;
        for (std::size_t j = 1; j < n; ++j)
            panels += 0.5 * (1.0 / h[j - 1] + 1.0 / h[j]) * (s[j] - s[j - 1]);
        return panels;
    };
    // The plain spacing that gives XfoilNodes - 1 panels in all: no less than the even one, since
    // every panel is at most that long; the bracket is doubled until it holds the answer.
    double lo = s.back() / (XfoilNodes - 1), hi = 2.0 * lo;
    for (int it = 0; it < 60 && spacing(hi) > XfoilNodes - 1; ++it) {
        lo = hi;
        hi *= 2.0;
    }
    for (int it = 0; it < 30; ++it) {
        const double mid = std::sqrt(lo * hi);
        (spacing(mid) > XfoilNodes - 1 ? lo : hi) = mid;
    }
    spacing(hi);

    // Panels per stretch, in proportion to its share, at least one each.
    const std::size_t stretches = fixed.size() - 1;
    std::vector<double> share(stretches, 0.0);
    for (std::size_t f = 0; f < stretches; ++f)
        for (std::size_t j = start[f] + 1; j < start[f + 1]; ++j)
            share[f] += 0.5 * (1.0 / h[j - 1] + 1.0 / h[j]) * (s[j] - s[j - 1]);
    double total = 0.0;
    for (const double w : share)
        total += w;
    if (!(total > 0.0) || !std::isfinite(total))
        return {};
    std::vector<int> count(stretches);
    int given = 0;
    for (std::size_t f = 0; f < stretches; ++f) {
        count[f] = std::max(1, static_cast<int>(share[f] / total * (XfoilNodes - 1)));
        given += count[f];
    }
    while (given != XfoilNodes - 1) {
        // The stretch whose panels are longest (or shortest) gets (or gives) one.
        const bool more = given < XfoilNodes - 1;
        std::size_t pick = stretches;
        for (std::size_t f = 0; f < stretches; ++f) {
            if (!more && count[f] == 1)
                continue;
            if (pick == stretches || (more ? share[f] / count[f] > share[pick] / count[pick]
                                           : share[f] / count[f] < share[pick] / count[pick]))
                pick = f;
        }
        if (pick == stretches)
            break;
        count[pick] += more ? 1 : -1;
        given += more ? 1 : -1;
    }

    std::vector<double> nodes;
    nodes.reserve(XfoilNodes);
    for (std::size_t f = 0; f < stretches; ++f) {
        nodes.push_back(fixed[f]);
        double w = 0.0;
        std::size_t j = start[f] + 1;
        for (int i = 1; i < count[f]; ++i) {
            const double target = share[f] * i / count[f];
            for (; j < start[f + 1]; ++j) {
                const double step = 0.5 * (1.0 / h[j - 1] + 1.0 / h[j]) * (s[j] - s[j - 1]);
                if (w + step >= target && step > 0.0) {
                    nodes.push_back(t[j - 1] + (target - w) / step * (t[j] - t[j - 1]));
                    break;
                }
                w += step;
            }
        }
    }
    nodes.push_back(fixed.back());
    return nodes;
}

/// The greatest distance between the curve and the straight segment between the knots of each
/// piece.
double Deviation(const TCurveSpline& curve)
{
    const auto& k = curve.Knots();
    double most = 0.0;
    for (std::size_t i = 0; i + 1 < k.size(); ++i) {
        const double h = k[i + 1].s - k[i].s;
        if (!(h > 0.0))
            continue;
        const double length = std::sqrt((k[i + 1].x - k[i].x) * (k[i + 1].x - k[i].x) + (k[i + 1].y - k[i].y) * (k[i + 1].y - k[i].y));
        if (!(length > 0.0))
            continue;
        const double ux = (k[i + 1].x - k[i].x) / length, uy = (k[i + 1].y - k[i].y) / length;
        // Half-way: where a cubic through two points strays farthest from their segment, unless
        // its ends turn opposite ways (a wiggle), which a spline through an outline rarely has.
        const TCurveSpline::TPoint p = curve.At(i, k[i].s + 0.5 * h);
        most = std::max(most, std::fabs((p.x - k[i].x) * uy - (p.y - k[i].y) * ux));
    }
    return most;
}

bool AllFinite(const std::vector<TContourPoint>& points)
{
    return std::all_of(points.begin(), points.end(), [](const TContourPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

std::string Fixed(double value, int decimals, std::string_view separator)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("?");
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

} // namespace

TXfoilOutline XfoilOutline(const std::vector<TContourPoint>& table, std::optional<bool> selfCrossing)
{
    const std::vector<std::size_t> entries = XfoilEntries(table);
    std::vector<TContourPoint> points;
    points.reserve(entries.size());
    for (const std::size_t i : entries)
        points.push_back(table[i]);
    const bool closed = points.size() > 1 && SameLine(points.front(), points.back());
    const std::size_t distinct = closed ? points.size() - 1 : points.size();
    if (table.size() <= 3 || distinct < FewestSplinePoints || !AllFinite(points))
        return Raw(std::move(points), distinct, TRawReason::TooFew);

    // The ring closes by itself: the closing point, the first again, is left out while it is tested.
    if (!selfCrossing) {
        const TContourPoint closing = points.back();
        if (closed)
            points.pop_back();
        selfCrossing = CrossesItself(points);
        if (closed)
            points.push_back(closing);
    }
    if (*selfCrossing)
        return Raw(std::move(points), distinct, TRawReason::SelfCrossing);
    // Turns below half the corner limit are all alike to the rules below: they are 0 here, which
    // spares the arc tangent for nearly every point of a long outline.
    const double gentle = std::cos(SharpTurnLimit / CornerContrast * std::numbers::pi / 180.0);
    std::vector<double> turns(points.size(), 0.0);
    std::size_t sharpest = 0;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const TContourPoint &a = points[i - 1], &b = points[i], &d = points[i + 1];
        const double dot = (b.x - a.x) * (d.x - b.x) + (b.y - a.y) * (d.y - b.y);
        const double lengths2 = ((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y)) * ((d.x - b.x) * (d.x - b.x) + (d.y - b.y) * (d.y - b.y));
        if (dot > 0.0 && dot * dot > gentle * gentle * lengths2)
            continue;
        turns[i] = TurnDegrees(a, b, d);
        sharpest = turns[i] > turns[sharpest] ? i : sharpest;
    }
    if (turns[sharpest] > GreatestSplineTurn)
        return Raw(std::move(points), distinct, TRawReason::ZigZag, static_cast<int>(entries[sharpest]) + 2);
    // A corner is a sharp turn between stretches that turn little: a kink the user drew. Sparse
    // clicks round the nose turn sharply too, but so do their neighbours; the nose is round.
    const std::size_t noseIndex = FarthestFromEnds(points);
    std::vector<std::size_t> corners;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const bool atNose = i + 1 >= noseIndex && i <= noseIndex + 1;
        if (!atNose && turns[i] > SharpTurnLimit && turns[i] >= CornerContrast * std::max(turns[i - 1], turns[i + 1]))
            corners.push_back(i);
    }
    // Where the last click lies well forward of the trailing edge, the line from it to the
    // closing point is the program's, not a drawn surface: it stays straight.
    const std::size_t lastClick = points.size() - 2;
    if (closed && entries.back() == table.size() - 1 && lastClick > 0 &&
        std::hypot(points.back().x - points[lastClick].x, points.back().y - points[lastClick].y) > ProgramsClosingLine &&
        (corners.empty() || corners.back() != lastClick))
        corners.push_back(lastClick);
    if (corners.size() + 1 > MostStretches)
        return Raw(std::move(points), distinct, TRawReason::TooManyCorners);

    TCurveSpline curve(points, corners);
    // Coordinates near the end of the doubles overflow in the spline; such points stay as they are.
    const auto finiteKnots = [&] {
        return std::all_of(curve.Knots().begin(), curve.Knots().end(), [](const TCurveSpline::TKnot& k) {
            return std::isfinite(k.s) && std::isfinite(k.x) && std::isfinite(k.y) && std::isfinite(k.dx) && std::isfinite(k.dy);
        });
    };
    if (!finiteKnots())
        return Raw(std::move(points), distinct, TRawReason::NoCurve);
    const double tx = 0.5 * (points.front().x + points.back().x), ty = 0.5 * (points.front().y + points.back().y);
    const auto& knots = curve.Knots();
    // The nose's knot: its index among the points plus the corners' extra knots before it.
    const std::size_t far = noseIndex + static_cast<std::size_t>(std::lower_bound(corners.begin(), corners.end(), noseIndex) - corners.begin());
    double leS = ToXfoilFrame(curve, tx, ty, far);
    if (leS < 0.0)
        return Raw(std::move(points), distinct, TRawReason::NoLeadingEdge);
    if (!finiteKnots())
        return Raw(std::move(points), distinct, TRawReason::NoCurve);
    // Where sparse clicks round a tight nose fit a classical nose clearly better in another
    // frame, the curve goes there: the spline's leading edge lies anywhere between them.
    std::size_t split = static_cast<std::size_t>(
        std::partition_point(knots.begin(), knots.end(), [&](const TCurveSpline::TKnot& k) { return k.s < leS; }) - knots.begin());
    bool moved = false;
    if (const std::optional<TNoseFrame> nose = NoseFrame(knots, far)) {
        const double chord = std::hypot(1.0 - nose->x, nose->y);
        curve.ToFrame(nose->x, nose->y, (1.0 - nose->x) / chord, -nose->y / chord, 1.0 / chord);
        split = nose->split;
        moved = true;
    }
    // Laid anew by the nose's parameters the curve moves its leading edge a little, and with it
    // the frame; the parameters need not follow it, the nose's shape hardly changes.
    bool found = false;
    if (std::vector<double> u = NoseParameters(curve, split); !u.empty()) {
        curve.Reparameterise(u);
        if (const double le = ToXfoilFrame(curve, 1.0, 0.0, far); le >= 0.0) {
            leS = le;
            found = true;
        } else {
            curve.Reparameterise(u); // the chord length again
        }
        if (!finiteKnots())
            return Raw(std::move(points), distinct, TRawReason::NoCurve);
    }
    // The nose's frame puts the leading edge off the chord-length curve: find it on the curve.
    if (moved && !found && (leS = ToXfoilFrame(curve, 1.0, 0.0, far)) < 0.0)
        return Raw(std::move(points), distinct, TRawReason::NoLeadingEdge);
    std::vector<double> fixed{0.0};
    std::vector<bool> bunched{true};
    std::vector<TContourPoint> exact{closed ? TContourPoint{1.0, 0.0, 0.0} : TContourPoint{knots.front().x, knots.front().y, 0.0}};
    bool leAdded = false;
    auto addLe = [&] {
        fixed.push_back(leS);
        bunched.push_back(false);
        exact.push_back({0.0, 0.0, 0.0});
        leAdded = true;
    };
    for (std::size_t i = 1; i + 1 < knots.size(); ++i) {
        if (knots[i].s != knots[i + 1].s)
            continue;
        if (!leAdded && leS < knots[i].s)
            addLe();
        // A corner at the leading edge is the leading edge.
        if (leAdded && fixed.back() == knots[i].s)
            continue;
        if (!leAdded && leS == knots[i].s) {
            addLe();
            continue;
        }
        fixed.push_back(knots[i].s);
        bunched.push_back(true);
        exact.push_back({knots[i].x, knots[i].y, 0.0});
    }
    if (!leAdded)
        addLe();
    fixed.push_back(curve.Length());
    bunched.push_back(true);
    exact.push_back(closed ? TContourPoint{1.0, 0.0, 0.0} : TContourPoint{knots.back().x, knots.back().y, 0.0});

    const std::vector<double> stations = NodeStations(curve, fixed, bunched);
    TXfoilOutline outline;
    outline.Points.reserve(stations.size());
    std::size_t piece = 0, nextFixed = 0;
    for (const double s : stations) {
        if (nextFixed < fixed.size() && s == fixed[nextFixed]) {
            outline.Points.push_back(exact[nextFixed++]);
            continue;
        }
        piece = curve.PieceAt(s, piece);
        const TCurveSpline::TPoint p = curve.At(piece, s);
        outline.Points.push_back({p.x, p.y, 0.0});
    }
    std::vector<TContourPoint> written(outline.Points.begin(), outline.Points.end() - (closed ? 1 : 0));
    if (outline.Points.size() != XfoilNodes || !AllFinite(outline.Points) || CrossesItself(written))
        return Raw(std::move(points), distinct, TRawReason::NoCurve);
    outline.Paneled = true;
    outline.Through = distinct;
    outline.Corners = static_cast<int>(fixed.size()) - 3;
    outline.Deviation = Deviation(curve);
    return outline;
}

std::string XfoilFileText(std::string_view title, const TXfoilOutline& outline)
{
    return ProfileText(title, outline.Points);
}

std::vector<std::string> XfoilCheckLines(const TXfoilOutline& outline, bool fromText, std::string_view separator)
{
    std::vector<std::string> lines;
    if (fromText)
        lines.push_back("Für XFOIL: Der Text ist von Hand geändert; „Für XFOIL speichern“ nimmt die Punkte aus dem Text.");
    const std::string asThey = "; „Für XFOIL speichern“ schreibt die Punkte, wie sie sind.";
    switch (outline.Reason) {
    case TRawReason::None: {
        std::string line = "Für XFOIL: " + std::to_string(outline.Points.size()) + " Punkte auf einer glatten Kurve durch alle " +
                           std::to_string(outline.Through) + " Punkte, Nase bei 0 0, Hinterkante bei 1 0";
        if (outline.Corners > 0)
            line += outline.Corners == 1 ? "; 1 Ecke bleibt Ecke" : "; " + std::to_string(outline.Corners) + " Ecken bleiben Ecken";
        lines.push_back(line);
        lines.push_back("Größter Abstand zwischen geklicktem Umriss und geschriebener Kurve: " +
                        Fixed(100.0 * outline.Deviation, 3, separator) + " % der Sehne (an den Punkten selbst 0)");
        break;
    }
    case TRawReason::TooFew:
        lines.push_back("Für XFOIL: " + std::to_string(outline.Through) + " Punkte sind zu wenige für eine glatte Kurve (ab " +
                        std::to_string(FewestSplinePoints) + ")" + asThey);
        break;
    case TRawReason::SelfCrossing:
        lines.push_back("Für XFOIL: Durch einen Umriss, der sich selbst kreuzt, führt keine glatte Kurve" + asThey);
        break;
    case TRawReason::ZigZag:
        lines.push_back("Für XFOIL: Ein Knick über " + Fixed(GreatestSplineTurn, 0, separator) + "° (Zeile " +
                        std::to_string(outline.ReasonLine) + ") lässt keine glatte Kurve zu" + asThey);
        break;
    case TRawReason::TooManyCorners:
        lines.push_back("Für XFOIL: Mehr als " + std::to_string(MostStretches - 1) + " Ecken lassen keine glatte Kurve zu" + asThey);
        break;
    case TRawReason::NoLeadingEdge:
        lines.push_back("Für XFOIL: Keine Nase zwischen den Enden des Umrisses gefunden" + asThey);
        break;
    case TRawReason::NoCurve:
        lines.push_back("Für XFOIL: Durch diese Punkte führt keine brauchbare Kurve (sie kreuzte sich selbst oder "
                        "überschritte den Zahlenbereich)" + asThey);
        break;
    }
    return lines;
}
