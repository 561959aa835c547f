#include "OutlineTrace.h"

#include "LineRefine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double Step = 2.0;          ///< picture pixels between two measured centres
constexpr double GapWidths = 3.0;     ///< a gap up to this many line widths is bridged
constexpr double MaxTurning = 1.7 * Pi; ///< an outline turns by little more than half a turn
constexpr double SharpEdge = 1.0;     ///< a lower corner nearer the first point than this is the apex
constexpr double Bunching = 0.85;     ///< share of cosine spacing in the stations along each side

struct V {
    double x = 0.0, y = 0.0;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
V operator*(double s, V a) { return {s * a.x, s * a.y}; }
double Dot(V a, V b) { return a.x * b.x + a.y * b.y; }
double Cross(V a, V b) { return a.x * b.y - a.y * b.x; }
double Length(V a) { return std::hypot(a.x, a.y); }
V Unit(V a)
{
    const double l = Length(a);
    return l > 0.0 ? (1.0 / l) * a : V{1.0, 0.0};
}
V Perp(V a) { return {-a.y, a.x}; }
V Turn(V a, double angle)
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
/// too little for a curvature.
TQuadratic FitQuadratic(const V* pts, std::size_t count, V o, V t, const V* anchor = nullptr)
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

TQuadratic FitQuadratic(const std::vector<V>& pts, V o, V t, const V* anchor = nullptr)
{
    return FitQuadratic(pts.data(), pts.size(), o, t, anchor);
}

/// The measured line: its width and contrast where the trace took hold of it.
struct TLineLook {
    double width = 1.0;
    double contrast = 0.0;
};

/// What one run along the line found.
struct TFollowed {
    std::vector<V> samples;
    TTraceEnd why = TTraceEnd::Gap;
    V direction; ///< at the last sample
    double turning = 0.0;
};

class TTracer {
public:
    TTracer(const TPictureBytes& picture, double rotationAngle)
        : p_(picture), cosA_(std::cos(rotationAngle / 360.0 * Pi * 2.0)),
          sinA_(std::sin(rotationAngle / 360.0 * Pi * 2.0))
    {
        // Every path along a line of this picture is shorter than this, twice over.
        budget_ = 4.0 * (picture.Width + picture.Height) + 100.0;
    }

    V ToPicture(const TContourPoint& p) const { return {p.x * cosA_ + p.y * sinA_, -p.x * sinA_ + p.y * cosA_}; }
    TContourPoint ToView(V p) const { return {p.x * cosA_ - p.y * sinA_, p.x * sinA_ + p.y * cosA_, 0.0}; }
    V ViewDirection(V d) const { return {d.x * cosA_ - d.y * sinA_, d.x * sinA_ + d.y * cosA_}; }

    TLineProbe Probe(V at, V normal, double halfWidth) const
    {
        return ProbeLine(p_, at.x, at.y, normal.x, normal.y, halfWidth);
    }

    bool Inside(V q, double margin) const
    {
        return q.x >= margin && q.y >= margin && q.x <= p_.Width - margin && q.y <= p_.Height - margin;
    }

    /// Bilinear brightness in the continuous frame; -1 outside the picture.
    double Brightness(V q) const
    {
        const double u = q.x - 0.5, v = q.y - 0.5;
        if (!(u >= 0.0 && v >= 0.0 && u <= p_.Width - 1 && v <= p_.Height - 1))
            return -1.0;
        const int x0 = std::min(static_cast<int>(u), p_.Width - 2);
        const int y0 = std::min(static_cast<int>(v), p_.Height - 2);
        const double fx = u - x0, fy = v - y0;
        const double a = PixelBrightnessAt(p_, x0, y0), b = PixelBrightnessAt(p_, x0 + 1, y0);
        const double c = PixelBrightnessAt(p_, x0, y0 + 1), d = PixelBrightnessAt(p_, x0 + 1, y0 + 1);
        const double top = a + (b - a) * fx, bottom = c + (d - c) * fx;
        return top + (bottom - top) * fy;
    }

    /// Whether a probe found the traced line where it was expected.
    bool Holds(const TLineProbe& probe, const TLineLook& look, double maxOffset) const
    {
        return probe.Finding == TLineFinding::Line && std::abs(probe.Offset) <= maxOffset &&
               probe.Width <= 1.6 * look.width + 1.0 && probe.Contrast >= 0.4 * look.contrast;
    }

    /// Whether no other line touches the line at c (direction t) within the probe's reach along
    /// it: a chord line or a letter that meets the outline there pulls the measured centre its way.
    bool Alone(V c, V t, const TLineLook& look) const
    {
        const V n = Perp(t);
        const double away = 0.5 * look.width + 3.0;
        double b[6], paper = 0.0;
        int k = 0;
        for (const double u : {-2.0, 0.0, 2.0})
            for (const double side : {-1.0, 1.0}) {
                b[k] = Brightness(c + u * t + side * away * n);
                paper = std::max(paper, b[k]);
                ++k;
            }
        for (const double v : b)
            if (v >= 0.0 && v < paper - 0.5 * look.contrast)
                return false;
        return true;
    }

    double HalfWidth(const TLineLook& look) const { return std::max(2.0, 0.5 * look.width + 1.5); }

    /// Follows the line from `start` (on its centre) along `t`, turning on as it turned. Stops
    /// where the line is lost for more than three line widths, where `ahead` says no, or where
    /// it would cross `fence` (a polyline).
    template <class TAhead>
    TFollowed Follow(V start, V t, const TLineLook& look, const std::vector<V>& fence, TAhead ahead) const
    {
        TFollowed f;
        V p = start;
        t = Unit(t);
        double turn = 0.0;
        const double hw = HalfWidth(look);
        const double maxOffset = std::max(0.6, 0.3 * look.width);
        // Beyond a gap the probe must reach a little into the line again.
        const int gapSteps = static_cast<int>(std::ceil((GapWidths * look.width + Step + 2.0) / Step));
        // A line that meets the outline hides it from the probe over its width and a few pixels
        // either side; that stretch is skipped as well, but it is no gap in the outline.
        const int skipSteps = gapSteps + static_cast<int>(std::ceil(10.0 / Step));
        double travelled = 0.0;
        while (true) {
            bool found = false;
            TTraceEnd failure = TTraceEnd::Gap;
            V q = p, d = t;
            // Once there are a few samples, the curve through them predicts the line's way on;
            // one sample pulled aside by a crossing line then does not lead the trace astray.
            const std::size_t m = f.samples.size();
            TQuadratic course;
            bool gentle = false;
            if (m >= 6) {
                const std::size_t recent = std::min<std::size_t>(m, 8);
                course = FitQuadratic(f.samples.data() + (m - recent), recent, p, Unit(p - f.samples[m - 6]));
                // Round a small nose a parabola through 16 pixels of arc misleads; step by step
                // the turn does better there.
                gentle = std::abs(2 * course.c) < 1.0 / 60;
            }
            int paperSteps = 0;
            for (int k = 1; k <= skipSteps && paperSteps < gapSteps && !found; ++k) {
                if (gentle) {
                    const double x = k * Step;
                    q = course.At(x) - (course.a) * Perp(course.t);
                    d = Unit(course.t + (course.b + 2 * course.c * x) * Perp(course.t));
                } else {
                    d = Turn(d, turn);
                    q = q + Step * d;
                }
                if (!Inside(q, 1.0)) {
                    if (k == 1 || failure == TTraceEnd::Gap)
                        failure = TTraceEnd::PictureEdge;
                    break;
                }
                // Early on the clicked direction may be rough: a wider window, a looser hold.
                const double slack = f.samples.size() < 3 ? 2.0 : 0.0;
                const TLineProbe probe = Probe(q, Perp(d), hw + slack);
                // Farther ahead the prediction is less sure.
                if (Holds(probe, look, maxOffset + slack + 0.3 * (k - 1)) && Alone(q + probe.Offset * Perp(d), d, look)) {
                    const V c = q + probe.Offset * Perp(d);
                    const V nt = Unit(c - p);
                    // The chord turns from step to step by what the curvature turns it; after a
                    // bridged gap the old turn stands.
                    if (k == 1 && !f.samples.empty())
                        turn = std::clamp(std::atan2(Cross(t, nt), Dot(t, nt)), -0.8, 0.8);
                    if (!fence.empty() && CrossesFence(p, c, fence)) {
                        f.why = TTraceEnd::Crossing;
                        f.direction = t;
                        return f;
                    }
                    f.turning += std::atan2(Cross(t, nt), Dot(t, nt));
                    travelled += Length(c - p);
                    t = nt;
                    p = c;
                    f.samples.push_back(c);
                    found = true;
                } else if (probe.Finding == TLineFinding::NoLine) {
                    ++paperSteps;
                } else {
                    paperSteps = 0;
                }
                if (!found && (k == 1 || failure == TTraceEnd::Gap)) {
                    if (probe.Finding == TLineFinding::NoLine)
                        failure = TTraceEnd::Gap;
                    else if (probe.Finding == TLineFinding::OutsidePicture ||
                             (probe.Finding == TLineFinding::Unbounded && !Inside(q, hw + 10.0)))
                        failure = TTraceEnd::PictureEdge;
                    else
                        failure = TTraceEnd::Junction;
                }
            }
            if (!found) {
                f.why = failure;
                f.direction = t;
                return f;
            }
            if (std::abs(f.turning) > MaxTurning || travelled > budget_) {
                f.why = TTraceEnd::NotAnOutline;
                f.direction = t;
                return f;
            }
            if (!ahead(p, t)) {
                f.why = TTraceEnd::TrailingEdge;
                f.direction = t;
                return f;
            }
        }
    }

    static bool CrossesFence(V a, V b, const std::vector<V>& fence)
    {
        for (std::size_t i = 0; i + 1 < fence.size(); ++i) {
            const V c = fence[i], d = fence[i + 1];
            const double d1 = Cross(b - a, c - a), d2 = Cross(b - a, d - a);
            const double d3 = Cross(d - c, a - c), d4 = Cross(d - c, b - c);
            if (((d1 < 0) != (d2 < 0)) && ((d3 < 0) != (d4 < 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0)
                return true;
        }
        return false;
    }

    /// The line's look at a point on it, probed across `normal`; false when no line is there.
    bool Look(V at, V normal, double halfWidth, V& centre, TLineLook& look) const
    {
        const TLineProbe probe = Probe(at, normal, halfWidth);
        if (probe.Finding != TLineFinding::Line)
            return false;
        centre = at + probe.Offset * Unit(normal);
        look.width = std::max(1.0, probe.Width);
        look.contrast = probe.Contrast;
        return true;
    }

    /// The branches of dark line crossing a circle about `s`: their directions.
    std::vector<V> Branches(V s, double radius, double width) const
    {
        std::vector<V> branches;
        const int n = std::max(64, static_cast<int>(std::ceil(2 * Pi * radius / 0.5)));
        std::vector<double> b(static_cast<std::size_t>(n));
        std::vector<double> seen;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * Pi * i / n;
            b[static_cast<std::size_t>(i)] = Brightness(s + radius * V{std::cos(a), std::sin(a)});
            if (b[static_cast<std::size_t>(i)] >= 0.0)
                seen.push_back(b[static_cast<std::size_t>(i)]);
        }
        if (seen.size() < static_cast<std::size_t>(n / 2))
            return branches;
        std::sort(seen.begin(), seen.end());
        const double paper = seen[seen.size() * 3 / 4];
        const double contrast = paper - seen.front();
        if (contrast < 30.0)
            return branches;
        const double level = paper - contrast / 2;
        const auto dark = [&](int i) {
            const double v = b[static_cast<std::size_t>((i % n + n) % n)];
            return v >= 0.0 && v < level;
        };
        // Start the walk round the circle at a light sample, so that no run is cut in two.
        int first = 0;
        while (first < n && dark(first))
            ++first;
        if (first == n)
            return branches;
        for (int i = first + 1; i <= first + n; ++i) {
            if (!dark(i))
                continue;
            int j = i;
            while (j + 1 <= first + n && dark(j + 1))
                ++j;
            const double across = 2 * Pi * radius * (j - i + 1) / n;
            if (across <= 2.5 * width + 3.0) {
                const double a = 2 * Pi * (i + j) / 2.0 / n;
                branches.push_back({std::cos(a), std::sin(a)});
            }
            i = j;
        }
        return branches;
    }

    double Budget() const { return budget_; }
    int Width() const { return p_.Width; }
    int Height() const { return p_.Height; }

private:
    const TPictureBytes& p_;
    double cosA_, sinA_;
    double budget_ = 0.0;
};

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
TQuadratic FitEnd(const std::vector<V>& s, bool atEnd, double reach, const V* anchor = nullptr)
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

/// Where a side of `count` stations puts its station k (0 .. count): cosine spacing, which
/// bunches at both ends, blended with even spacing.
double Station(int k, int count)
{
    const double x = static_cast<double>(k) / count;
    return (1 - Bunching) * x + Bunching * (1 - std::cos(Pi * x)) / 2;
}

} // namespace

TTraceResult TraceOutline(const TPictureBytes& picture, const TContourPointArray& points, double rotationAngle,
                          int pointCount)
{
    TTraceResult result;
    if (points.empty())
        return result;
    const TTracer tracer(picture, rotationAngle);
    const std::size_t n = points.size();
    std::vector<V> clicked(n);
    for (std::size_t i = 0; i < n; ++i)
        clicked[i] = tracer.ToPicture(points[i]);
    const V s0 = clicked.front();
    const V last = clicked.back();
    {
        const TContourPoint v = tracer.ToView(last);
        result.StopX = v.x;
        result.StopY = v.y;
    }
    if (picture.Bits == nullptr || picture.Width < 2 || picture.Height < 2)
        return result;

    // The traced part: from the last point along the line, then the samples.
    std::vector<V> traced{last};
    TLineLook look;
    std::vector<V> fence; // the contour's points before the last, which the trace may not cross
    V t;
    double farthest = 0.0;
    double mergeReach = 0.0; ///< where the lines leaving the first point have parted
    for (const V& c : clicked)
        farthest = std::max(farthest, Length(c - s0));

    if (n == 1) {
        // The line's width: the narrowest of the runs across the point in eight directions.
        double width = std::numeric_limits<double>::infinity();
        for (int k = 0; k < 8; ++k) {
            const TLineProbe p = tracer.Probe(s0, {std::cos(k * Pi / 8), std::sin(k * Pi / 8)}, 3.0);
            if (p.Finding == TLineFinding::Line)
                width = std::min(width, p.Width);
        }
        if (!std::isfinite(width))
            return result;
        width = std::max(1.0, width);
        // The branch that leaves towards the upper left on the screen, taken where the lines
        // leaving the point have parted.
        std::vector<V> chosen;
        V branch;
        mergeReach = 0.0;
        bool found = false;
        for (double radius = std::max(4.0, 3.0 * width); radius < 0.5 * std::max(picture.Width, picture.Height) && !found;
             radius *= 1.6) {
            std::vector<V> leftward;
            for (const V& d : tracer.Branches(s0, radius, width))
                if (tracer.ViewDirection(d).x < 0.0)
                    leftward.push_back(d);
            if (leftward.empty())
                continue;
            const auto upper = std::min_element(leftward.begin(), leftward.end(), [&](V a, V b) {
                return tracer.ViewDirection(a).y < tracer.ViewDirection(b).y;
            });
            // The lines have parted where paper of two line widths shows between the branches.
            bool parted = leftward.size() >= 2;
            for (const V& d : leftward)
                if (&d != &*upper && Length(d - *upper) * radius < 3.0 * width + 3.0)
                    parted = false;
            V centre;
            TLineLook l;
            const V at = s0 + radius * *upper;
            if (!tracer.Look(at, Perp(*upper), 1.5 * width + 2.0, centre, l) || l.width > 1.5 * width + 1.0)
                continue;
            if (chosen.empty() || parted) {
                chosen = {centre};
                branch = *upper;
                look = l;
                // Within this distance of the point the line beside takes part in every probe.
                for (const V& d : leftward)
                    if (&d != &*upper)
                        mergeReach = std::max(mergeReach, (2.0 * l.width + 3.0) / std::max(0.05, Length(d - *upper)));
            }
            found = parted;
            if (radius > 40.0 * width && !chosen.empty())
                break;
        }
        if (chosen.empty())
            return result;
        // Back towards the first point until the lines merge, then on to the nose.
        const V b = chosen.front();
        const TFollowed back = tracer.Follow(b, -1.0 * branch, look, {}, [&](V p, V d) {
            return Dot(s0 - p, d) > Step && Length(s0 - p) > look.width;
        });
        if (back.why == TTraceEnd::NotAnOutline)
            return result;
        traced.assign(back.samples.rbegin(), back.samples.rend());
        traced.push_back(b);
        t = branch;
    } else {
        std::size_t before = n - 2;
        while (before > 0 && Length(clicked[before] - last) < 1e-9)
            --before;
        t = Unit(last - clicked[before]);
        V centre;
        if (Length(last - clicked[before]) < 1e-9 || !tracer.Look(last, Perp(t), 4.0, centre, look)) {
            result.End = TTraceEnd::NoLine;
            return result;
        }
        fence.assign(clicked.begin(), clicked.end() - 1);
        traced = {last};
    }

    // Forward over the nose and back along the lower side; near the first point again, the
    // lines merge (sharp edge) or the base joins (blunt edge), and the trace stops there.
    for (const V& c : traced)
        farthest = std::max(farthest, Length(c - s0));
    const TFollowed on = tracer.Follow(traced.back(), t, look, fence, [&](V p, V d) {
        farthest = std::max(farthest, Length(p - s0));
        // Past the first point nothing of the outline is left.
        return !(Length(p - s0) < 0.25 * farthest && Dot(d, s0 - p) <= 0.0);
    });
    // A line that runs straight out of the picture is a grid's or a frame's, not an outline.
    const V end = on.samples.empty() ? traced.back() : on.samples.back();
    const bool atPictureEdge = on.why == TTraceEnd::PictureEdge || !tracer.Inside(end, 3.0 * look.width + 20.0);
    if (on.why == TTraceEnd::NotAnOutline || (atPictureEdge && on.why != TTraceEnd::TrailingEdge && std::abs(on.turning) < 0.5)) {
        result.End = TTraceEnd::NotAnOutline;
        return result;
    }
    traced.insert(traced.end(), on.samples.begin(), on.samples.end());
    traced = WithoutOutliers(traced);
    const V stop = traced.back();

    // Near the trailing edge the other side's line pulls the measured centre towards it; such
    // samples give way to the curve fitted to the clear ones beyond.
    const double clear = 2.0 * look.width + 3.0;
    const double edgeZone = 0.2 * farthest + 20.0 * look.width;
    std::size_t nose = 0;
    for (std::size_t i = 0; i < traced.size(); ++i)
        if (Length(traced[i] - s0) > Length(traced[nose] - s0))
            nose = i;
    std::vector<bool> crowded(traced.size(), false);
    std::vector<double> fromEdge(traced.size());
    for (std::size_t i = 0; i < traced.size(); ++i)
        fromEdge[i] = Length(traced[i] - s0);
    for (std::size_t i = 0; i < traced.size(); ++i) {
        if (fromEdge[i] > edgeZone || (n >= 2 && i == 0))
            continue;
        if (fromEdge[i] < mergeReach) {
            crowded[i] = true;
            continue;
        }
        for (std::size_t j = i < nose ? nose : 0; j < (i < nose ? traced.size() : nose); ++j)
            if (std::abs(fromEdge[j] - fromEdge[i]) < clear && Dot(traced[j] - traced[i], traced[j] - traced[i]) < clear * clear) {
                crowded[i] = true;
                break;
            }
    }
    std::size_t from = 0, to = traced.size();
    while (n == 1 && from + 1 < nose && crowded[from])
        ++from;
    while (to > nose + 2 && crowded[to - 1])
        --to;
    std::vector<V> kept;
    if (n == 1) {
        // From the first point to the clear upper line.
        const std::vector<V> body(traced.begin() + static_cast<std::ptrdiff_t>(from), traced.begin() + static_cast<std::ptrdiff_t>(to));
        const TQuadratic q = FitEnd(body, false, std::max(30.0, 0.08 * farthest), &s0);
        kept.push_back(s0);
        const std::vector<V> start = Extend(q, q.Local(s0), 0.0);
        kept.insert(kept.end(), start.begin(), start.end());
    }
    kept.insert(kept.end(), traced.begin() + static_cast<std::ptrdiff_t>(from), traced.begin() + static_cast<std::ptrdiff_t>(to));

    // The end: the lower line carried on to where it meets the base through the first point
    // (perpendicular to the edge's bisector); at a sharp edge that is the apex itself.
    bool reachedEnd = false;
    bool sharp = false;
    if (kept.size() >= 6 && farthest > 0.0 && Length(stop - s0) < 0.25 * farthest) {
        TQuadratic lower = FitEnd(kept, true, std::max(30.0, 0.08 * farthest));
        const V upperDirection = Unit(kept[std::min<std::size_t>(kept.size() - 1, n >= 2 ? 1 : 8)] - s0);
        const V base = Perp(Unit(upperDirection - 1.0 * lower.t));
        // Newton along the fitted curve to the base line.
        const auto meet = [&](const TQuadratic& q) {
            double x = q.Local(s0);
            for (int it = 0; it < 20; ++it) {
                const double f = Cross(base, q.At(x) - s0);
                const double g = Cross(base, (q.At(x + 1e-3) - q.At(x - 1e-3))) / 2e-3;
                if (std::abs(g) < 1e-12)
                    break;
                x -= f / g;
            }
            return x;
        };
        double x = meet(lower);
        V corner = lower.At(x);
        if (std::isfinite(x) && x > 0.0 && x <= edgeZone && Length(corner - s0) <= 0.05 * farthest + 3.0 * look.width) {
            // Carried on this far, a curve misses the apex by a little: a sharp edge's lower
            // line is the one through the apex.
            sharp = Length(corner - s0) < std::max(SharpEdge, 0.03 * x);
            if (sharp) {
                lower = FitEnd(kept, true, std::max(30.0, 0.08 * farthest), &s0);
                x = lower.Local(s0);
                corner = s0;
            }
            const std::vector<V> end = Extend(lower, 0.0, x);
            kept.insert(kept.end(), end.begin(), end.end());
            kept.push_back(corner);
            reachedEnd = true;
        }
    }
    if (!reachedEnd && to < traced.size())
        kept.insert(kept.end(), traced.begin() + static_cast<std::ptrdiff_t>(to), traced.end());
    traced = kept;

    // Stations over the whole contour, the clicked part included, so that a continued trace
    // spaces its points as one trace from the first point would.
    std::vector<V> whole(clicked.begin(), clicked.end() - 1);
    const std::size_t tracedFrom = whole.size();
    whole.insert(whole.end(), traced.begin(), traced.end());
    const std::vector<double> arc = ArcOf(whole);
    const double tracedStart = arc[tracedFrom];
    const double total = arc.back();
    std::vector<double> stations;
    if (reachedEnd) {
        std::size_t nose = 0;
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (Length(whole[i] - s0) > Length(whole[nose] - s0))
                nose = i;
        // The nose station goes exactly where the outline lies farthest from the trailing edge:
        // that point sets the chord when the profile is normalised, and a pixel off along the
        // arc there turns the chord by a tenth of a degree.
        double lo = arc[nose > 0 ? nose - 1 : 0], hi = arc[std::min(nose + 1, whole.size() - 1)];
        for (int it = 0; it < 60; ++it) {
            const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
            if (Length(AtArc(whole, arc, a) - s0) < Length(AtArc(whole, arc, b) - s0))
                lo = a;
            else
                hi = b;
        }
        const double noseArc = (lo + hi) / 2;
        const int half = std::max(2, pointCount / 2);
        for (int k = 1; k <= half; ++k)
            stations.push_back(noseArc * Station(k, half));
        for (int k = 1; k <= half; ++k)
            stations.push_back(noseArc + (total - noseArc) * Station(k, half));
        if (sharp)
            stations.pop_back();
    } else {
        const double spacing = std::max(2.0, 2.05 * farthest / std::max(2, pointCount));
        for (double s = tracedStart + spacing; s < total - 0.5 * spacing; s += spacing)
            stations.push_back(s);
        if (total > tracedStart + 1e-6)
            stations.push_back(total);
    }
    for (const double s : stations) {
        if (s <= tracedStart + 1e-6)
            continue;
        const V p = s >= total ? whole.back() : AtArc(whole, arc, s);
        result.Added.push_back(tracer.ToView(p));
    }
    result.End = reachedEnd ? TTraceEnd::TrailingEdge : on.why;
    const TContourPoint v = tracer.ToView(stop);
    result.StopX = v.x;
    result.StopY = v.y;
    return result;
}

std::string TraceStopSentence(const TTraceResult& result)
{
    char where[64];
    std::snprintf(where, sizeof where, "(%.0f; %.0f)", result.StopX, result.StopY);
    const std::string at = where;
    switch (result.End) {
    case TTraceEnd::TrailingEdge:
        return {};
    case TTraceEnd::NoLine:
        return "Kontur nicht verfolgt: Am letzten Punkt " + at + " ist keine gezeichnete Linie zu finden.";
    case TTraceEnd::Gap:
        return "Verfolgung bei " + at + " angehalten: Die Linie bricht dort ab, die Lücke ist breiter als drei Linienbreiten.";
    case TTraceEnd::PictureEdge:
        return "Verfolgung bei " + at + " angehalten: Die Linie läuft dort aus dem Bild.";
    case TTraceEnd::Junction:
        return "Verfolgung bei " + at + " angehalten: Dort treffen sich Linien, und es ist nicht zu entscheiden, wie die Kontur weiterläuft.";
    case TTraceEnd::Crossing:
        return "Verfolgung bei " + at + " angehalten: Weiter würde die Kontur ihre vorhandenen Punkte kreuzen.";
    case TTraceEnd::NotAnOutline:
        return "Kontur nicht verfolgt: Die Linie ab " + at + " windet sich stärker oder läuft weiter, als eine Profilkontur es kann.";
    }
    return {};
}

void EditorAppendPoints(const TEditorModel& model, const std::vector<TContourPoint>& points)
{
    if (points.empty())
        return;
    if (model.History)
        model.History->CloseStep();
    for (const TContourPoint& p : points) {
        if (model.History)
            model.History->Append(model.Points, p.x, p.y);
        else
            AppendContourPoint(model.Points, p.x, p.y);
    }
    if (model.History)
        model.History->CloseStep();
    model.ProfileDirty = true;
    model.ProfileSaved = false;
}
