#include "OutlineTrace.h"

#include "LineRefine.h"
#include "TraceCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

using namespace tracecurve;

constexpr double Pi = 3.141592653589793;
constexpr double GapWidths = 3.0;     ///< a gap up to this many line widths is bridged
constexpr double MaxTurning = 1.7 * Pi; ///< an outline turns by little more than half a turn
constexpr double SharpEdge = 1.0;     ///< a lower corner nearer the first point than this is the apex
constexpr double Bunching = 0.85;     ///< share of cosine spacing in the stations along each side

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
        // The clicked point may lie beside the line; the trace goes on from the line.
        traced = {centre};
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
