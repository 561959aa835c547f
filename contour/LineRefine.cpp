#include "LineRefine.h"

#include "ProfileCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double Step = 0.5;          ///< sample spacing along the normal, picture pixels
constexpr double Across = 1.0;        ///< spacing of the five parallel normals, picture pixels
constexpr double Margin = 8.0;        ///< sampled beyond the window: the far half of a wide line and paper
constexpr double MaxReach = 4096.0;   ///< a window reaching farther holds many lines anyway; bounds the work
constexpr double MinContrast = 30.0;  ///< brightness levels a line must stand out from the paper
constexpr double NoiseFactor = 6.0;   ///< ... and this many times the paper's grain
constexpr double Tails = 1.5;         ///< beyond the half-contrast edges, the anti-aliased fringe
constexpr double MinMove = 0.01;      ///< a shift below this is no move: a second run changes nothing
constexpr double FaintShare = 1.0 / 3; ///< of the outline's usual contrast, below which a line is too faint
constexpr double WideShare = 3.0;     ///< times the outline's usual width, above which a run is no line
constexpr double SameDirection = 0.99863;  ///< cosine of 3 degrees: a normal not searched again
constexpr std::size_t MaxRepeats = 16;  ///< coincident points looked past for a neighbour
constexpr int MaxHalfSamples = 64;    ///< the centre's stretch holds at most this many samples either side
constexpr double ClearlyNearer = 1.0; ///< pixels by which the chosen of several lines is nearer the preferred offset

/// Bilinear brightness of a picture of layout L whose width and height are at least 2, at (x, y) in
/// the frame of pixel centres: pixel (i, j) is (i, j) here.
template <TPixelLayout L>
class TSampler {
public:
    explicit TSampler(const TPictureBytes& picture) : p_(picture) {}

    [[gnu::always_inline]] double At(double x, double y) const
    {
        const int x0 = std::min(static_cast<int>(x), p_.Width - 2);
        const int y0 = std::min(static_cast<int>(y), p_.Height - 2);
        const double fx = x - x0;
        const double fy = y - y0;
        const std::uint8_t* r0 = p_.Bits + p_.BytesPerLine * y0;
        const std::uint8_t* r1 = r0 + p_.BytesPerLine;
        const double top = Pixel(r0, x0) + (Pixel(r0, x0 + 1) - Pixel(r0, x0)) * fx;
        const double bottom = Pixel(r1, x0) + (Pixel(r1, x0 + 1) - Pixel(r1, x0)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    double Pixel(const std::uint8_t* row, int x) const { return LayoutBrightness<L>(p_, row, x); }

    const TPictureBytes& p_;
};

/// The normal through a point: samples at point + s n + u t for u in -2 .. 2 (five parallel normals).
struct TAxis {
    double x, y;   ///< the point
    double nx, ny; ///< unit normal
    double tx, ty; ///< unit tangent
};

/// Narrows [lo, hi] to the s for which a + s da lies in [0, limit].
void Clip(double a, double da, double limit, double& lo, double& hi)
{
    if (da == 0.0) {
        if (a < 0.0 || a > limit)
            hi = lo - 1.0;
        return;
    }
    double s0 = (0.0 - a) / da;
    double s1 = (limit - a) / da;
    if (s0 > s1)
        std::swap(s0, s1);
    lo = std::max(lo, s0);
    hi = std::min(hi, s1);
}

/// The stretch of the normal on which all five parallel samples lie inside the picture.
void SampleableRange(const TPictureBytes& picture, const TAxis& axis, double& lo, double& hi)
{
    lo = -std::numeric_limits<double>::infinity();
    hi = std::numeric_limits<double>::infinity();
    // The picture is convex, so the outermost of the parallel normals bound the others.
    for (const double u : {-2.0 * Across, 2.0 * Across}) {
        Clip(axis.x + u * axis.tx, axis.nx, picture.Width - 1, lo, hi);
        Clip(axis.y + u * axis.ty, axis.ny, picture.Height - 1, lo, hi);
    }
}

/// Brightness at s along the normal: the mean of the middle three of the five parallel samples, so
/// that grain averages out while a thin stroke running along the normal (a chord line meeting the
/// outline) is dropped.
template <class Sampler>
double ProfileAt(const Sampler& sampler, const TAxis& axis, double s)
{
    const double cx = axis.x + s * axis.nx;
    const double cy = axis.y + s * axis.ny;
    double sum = 0.0;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int i = -2; i <= 2; ++i) {
        const double v = sampler.At(cx + i * Across * axis.tx, cy + i * Across * axis.ty);
        sum += v;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return (sum - low - high) / 3.0;
}

struct TRun {
    int first;
    int last;
};

/// Where the darkness (paper - brightness) over [c - radius, c + radius] reaches half its sum, as a
/// shift from c; the darkness runs linearly between the samples. On a thin line the centroid errs
/// by up to a twelfth of a pixel with the line's place in its pixel; this errs by a twentieth at
/// most. The stretch is symmetric about c, so an error in the paper level adds nothing once the
/// shift is zero. False when the stretch leaves the picture or holds no darkness.
template <class Sampler>
bool MedianShift(const Sampler& sampler, const TAxis& axis, double lo, double hi, double c, double radius,
                 double paper, double& shift)
{
    const int half = static_cast<int>(radius / Step);
    if (half < 1 || half > MaxHalfSamples || c - half * Step < lo || c + half * Step > hi)
        return false;
    double d[2 * MaxHalfSamples + 1];
    const int count = 2 * half + 1;
    double total = 0.0;
    for (int j = 0; j < count; ++j) {
        d[j] = paper - ProfileAt(sampler, axis, c + (j - count / 2) * Step);
        if (j > 0)
            total += (d[j - 1] + d[j]) / 2 * Step;
    }
    if (!(total > 0.0))
        return false;
    double below = 0.0;
    for (int j = 1; j < count; ++j) {
        const double area = (d[j - 1] + d[j]) / 2 * Step;
        if (below + area < total / 2) {
            below += area;
            continue;
        }
        // Within this interval the darkness is d0 + g t; its integral reaches the half at t.
        const double need = total / 2 - below;
        const double d0 = d[j - 1];
        const double g = (d[j] - d0) / Step;
        const double root = std::sqrt(std::max(0.0, d0 * d0 + 2 * g * need));
        double t = d0 + root > 1e-12 ? 2 * need / (d0 + root) : Step * need / area;
        t = std::clamp(t, 0.0, Step);
        shift = (j - 1 - count / 2) * Step + t;
        return true;
    }
    return false;
}

bool Usable(const TPictureBytes& picture)
{
    return picture.Bits != nullptr && picture.Width >= 2 && picture.Height >= 2 &&
           picture.BytesPerLine > 0;
}

/// ProbeLine's search with a sampler of the picture's layout.
template <class Sampler>
TLineProbe Probe(const TPictureBytes& picture, const Sampler& sampler, const TAxis& axis, double halfWidth,
                 double expected)
{
    TLineProbe probe;
    double lo, hi;
    SampleableRange(picture, axis, lo, hi);
    // The point itself must be sampleable; then the picture bounds the range, whatever the window.
    if (!(lo <= 0.0 && 0.0 <= hi))
        return probe;
    const double reach = std::min(halfWidth + Margin, MaxReach);
    const int kLo = static_cast<int>(std::ceil(std::max(-reach, lo) / Step));
    const int kHi = static_cast<int>(std::floor(std::min(reach, hi) / Step));
    if (kHi - kLo < 2)
        return probe;

    const int count = kHi - kLo + 1;
    std::vector<double> b(static_cast<std::size_t>(count));
    for (int k = kLo; k <= kHi; ++k)
        b[static_cast<std::size_t>(k - kLo)] = ProfileAt(sampler, axis, k * Step);
    const auto at = [&](int i) { return b[static_cast<std::size_t>(i)]; };
    const auto sOf = [&](int i) { return (i + kLo) * Step; };

    // The window: samples within the half-width of the point.
    const int wLo = static_cast<int>(std::max<double>(kLo, std::ceil(-halfWidth / Step))) - kLo;
    const int wHi = static_cast<int>(std::min<double>(kHi, std::floor(halfWidth / Step))) - kLo;
    double ink = std::numeric_limits<double>::infinity();
    for (int i = wLo; i <= wHi; ++i)
        ink = std::min(ink, at(i));

    // Paper: first a bright quantile (to a brightness level, from a histogram), then the mean of
    // what is clearly not ink. The grain comes from the spread between the upper quartile and the
    // upper decile: lines cover less than three quarters of the samples, so both are paper, and
    // unlike the spread of the bright samples alone this does not shrink on grain with no line.
    std::array<int, 257> histogram{};
    for (const double v : b)
        ++histogram[static_cast<std::size_t>(std::clamp(v, 0.0, 256.0))];
    int level = 256;
    for (int seen = 0; seen + histogram[static_cast<std::size_t>(level)] <= count / 4; --level)
        seen += histogram[static_cast<std::size_t>(level)];
    const double roughPaper = level;
    int upper = 256;
    for (int seen = 0; seen + histogram[static_cast<std::size_t>(upper)] <= count / 10; --upper)
        seen += histogram[static_cast<std::size_t>(upper)];
    probe.Finding = TLineFinding::NoLine;
    probe.Contrast = roughPaper - ink;
    if (!(probe.Contrast >= MinContrast))
        return probe;
    double sum = 0.0;
    int n = 0;
    for (const double v : b)
        if (v >= roughPaper - probe.Contrast / 4) {
            sum += v;
            ++n;
        }
    const double paper = sum / n;
    // Normal grain puts the upper decile 0.607 standard deviations above the upper quartile (a
    // level of quantisation counts as grain).
    const double grain = std::max(1.0, (upper - roughPaper) / 0.607);
    const double contrast = paper - ink;
    probe.Contrast = contrast;
    if (!(contrast >= MinContrast) || contrast < NoiseFactor * grain)
        return probe;

    // Runs darker than half the contrast; two runs are one line unless paper shows between them.
    const auto dark = [&](int i) { return paper - at(i); };
    std::vector<TRun> runs;
    for (int i = 0; i < count; ++i) {
        if (dark(i) < contrast / 2)
            continue;
        if (!runs.empty()) {
            double gap = std::numeric_limits<double>::infinity();
            for (int j = runs.back().last + 1; j < i; ++j)
                gap = std::min(gap, dark(j));
            if (gap >= contrast / 4) {
                runs.back().last = i;
                continue;
            }
        }
        runs.push_back({i, i});
    }
    // With a preferred offset, the crossing line nearest it is the one, when it is clearly nearer.
    int crossing = -1;
    int crossings = 0;
    double nearest = std::numeric_limits<double>::infinity(), second = nearest;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (runs[r].last < wLo || runs[r].first > wHi)
            continue;
        ++crossings;
        const double d = std::isfinite(expected) ? std::abs((sOf(runs[r].first) + sOf(runs[r].last)) / 2 - expected) : 0.0;
        if (crossing < 0 || d < nearest) {
            second = nearest;
            nearest = d;
            crossing = static_cast<int>(r);
        } else {
            second = std::min(second, d);
        }
    }
    if (crossing < 0)
        return probe;
    if (crossings > 1 && !(second - nearest >= ClearlyNearer)) {
        probe.Finding = TLineFinding::SeveralLines;
        return probe;
    }
    const TRun line = runs[static_cast<std::size_t>(crossing)];
    if (line.first == 0 || line.last == count - 1) {
        probe.Finding = TLineFinding::Unbounded;
        return probe;
    }

    // The half-contrast edges, interpolated between the samples either side of them.
    const double halfDark = contrast / 2;
    const double left = sOf(line.first - 1) +
                        Step * (halfDark - dark(line.first - 1)) / (dark(line.first) - dark(line.first - 1));
    const double right = sOf(line.last) +
                         Step * (dark(line.last) - halfDark) / (dark(line.last) - dark(line.last + 1));
    const double c0 = (left + right) / 2;
    const double halfLine = (right - left) / 2;
    double radius = halfLine + Tails;
    // The stretch about the centre must not reach into a neighbouring line.
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (static_cast<int>(r) == crossing)
            continue;
        const double edge = runs[r].last < line.first ? c0 - sOf(runs[r].last) : sOf(runs[r].first) - c0;
        radius = std::min(radius, edge - Step);
    }
    probe.Width = 2 * halfLine;
    if (radius < halfLine + Step / 2) {
        probe.Finding = TLineFinding::SeveralLines;
        return probe;
    }

    // The centre, taken again about each new estimate until it stands still.
    double c = c0;
    for (int pass = 0; pass < 4; ++pass) {
        double shift = 0.0;
        if (!MedianShift(sampler, axis, lo, hi, c, radius, paper, shift)) {
            probe.Finding = TLineFinding::Unbounded;
            return probe;
        }
        c += shift;
        if (std::abs(shift) < 0.002)
            break;
    }
    if (std::abs(c - c0) > halfLine + Step) {
        probe.Finding = TLineFinding::Unbounded;
        return probe;
    }
    probe.Finding = TLineFinding::Line;
    probe.Offset = c;
    return probe;
}

/// Reports progress now and then during the passes over the points and asks whether to go on.
class TTicker {
public:
    TTicker(const TRefineProgress& progress, std::size_t total) : progress_(progress), total_(total) {}

    /// False once the caller has cancelled.
    bool Tick()
    {
        if (cancelled_)
            return false;
        if (progress_ && ++done_ % 256 == 0)
            cancelled_ = !progress_(std::min(1.0, static_cast<double>(done_) / static_cast<double>(total_)));
        return !cancelled_;
    }
    bool Cancelled() const { return cancelled_; }

private:
    const TRefineProgress& progress_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool cancelled_ = false;
};

/// What the search along one point's normal found.
struct TProbed {
    bool searched = false; ///< false where the outline has no direction at the point
    double nx = 0.0, ny = 0.0; ///< the unit normal searched along
    TLineProbe probe;
};

/// Probes every point (px, py) along the normal of the outline through the direction points
/// (dx, dy): from its two neighbours, or an end's one neighbour. Where `earlier` searched along
/// nearly the same normal, its finding stands.
std::vector<TProbed> ProbeContour(const TPictureBytes& picture, const std::vector<double>& px,
                                  const std::vector<double>& py, const std::vector<double>& dx,
                                  const std::vector<double>& dy, double halfWidth,
                                  const std::vector<TProbed>* earlier, TTicker& ticker)
{
    const std::size_t n = px.size();
    std::vector<TProbed> probed(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!ticker.Tick())
            return {};
        // The nearest neighbour either side that does not coincide with the point; a repeated
        // point has the direction of the outline round it.
        const auto distinct = [&](std::size_t j) { return dx[j] != dx[i] || dy[j] != dy[i]; };
        std::size_t before = i, after = i;
        for (std::size_t j = i, steps = 0; j > 0 && steps < MaxRepeats; --j, ++steps)
            if (distinct(j - 1)) {
                before = j - 1;
                break;
            }
        for (std::size_t j = i + 1, steps = 0; j < n && steps < MaxRepeats; ++j, ++steps)
            if (distinct(j)) {
                after = j;
                break;
            }
        const double tx = dx[after] - dx[before];
        const double ty = dy[after] - dy[before];
        // Not hypot: this runs for every point, and the sum of squares cannot overflow for
        // coordinates that the picture can hold (others give no direction anyway).
        const double length = std::sqrt(tx * tx + ty * ty);
        if (!(length >= 1e-9) || !std::isfinite(length))
            continue;
        TProbed& p = probed[i];
        p.searched = true;
        p.nx = -ty / length;
        p.ny = tx / length;
        if (earlier) {
            const TProbed& e = (*earlier)[i];
            const double cosine = e.nx * p.nx + e.ny * p.ny;
            if (e.searched && cosine > SameDirection) {
                // The centre found lies on the line; along the new normal the line is as far as
                // that centre's projection onto it.
                p.probe = e.probe;
                p.probe.Offset *= cosine;
                continue;
            }
        }
        p.probe = ProbeLine(picture, px[i], py[i], p.nx, p.ny, halfWidth);
    }
    return probed;
}

/// Whether each point's line is the outline's line: one line found, not much fainter than at most
/// points (then it is graph paper or a smudge), not much wider (two lines run together or a blot).
std::vector<bool> Accepted(const std::vector<TProbed>& probed)
{
    std::vector<bool> accepted(probed.size(), false);
    std::vector<double> contrasts, widths;
    for (const TProbed& p : probed)
        if (p.probe.Finding == TLineFinding::Line) {
            contrasts.push_back(p.probe.Contrast);
            widths.push_back(p.probe.Width);
        }
    if (contrasts.empty())
        return accepted;
    std::sort(contrasts.begin(), contrasts.end());
    std::sort(widths.begin(), widths.end());
    // The upper median of the contrast and the lower one of the width: with two points, the
    // stricter of the two sets the measure.
    const double usualContrast = contrasts[contrasts.size() / 2];
    const double usualWidth = widths[(widths.size() - 1) / 2];
    for (std::size_t i = 0; i < probed.size(); ++i) {
        const TLineProbe& p = probed[i].probe;
        accepted[i] = p.Finding == TLineFinding::Line && p.Contrast >= FaintShare * usualContrast &&
                      p.Width <= WideShare * usualWidth;
    }
    return accepted;
}

} // namespace

double RefineHalfWidth(double zoomFactor, int pointRadius)
{
    const double h = 2.0 * pointRadius / zoomFactor;
    return std::isfinite(h) && h > 2.0 ? h : 2.0;
}

TLineProbe ProbeLine(const TPictureBytes& picture, double x, double y, double nx, double ny, double halfWidth,
                     double expected)
{
    const double length = std::hypot(nx, ny);
    if (!Usable(picture) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(halfWidth) ||
        !(length > 0.0) || !std::isfinite(length))
        return TLineProbe{};
    // The samplers index pixels by their centres: continuous (x, y) is (x - 0.5, y - 0.5) there. The
    // offset runs along the normal and is the same in either frame.
    const TAxis axis{x - 0.5, y - 0.5, nx / length, ny / length, -ny / length, nx / length};
    // One dispatch on the layout per point, none per pixel.
    switch (picture.Layout) {
    case TPixelLayout::Mono:
        return Probe(picture, TSampler<TPixelLayout::Mono>(picture), axis, halfWidth, expected);
    case TPixelLayout::MonoLsb:
        return Probe(picture, TSampler<TPixelLayout::MonoLsb>(picture), axis, halfWidth, expected);
    case TPixelLayout::Palette8:
        return Probe(picture, TSampler<TPixelLayout::Palette8>(picture), axis, halfWidth, expected);
    case TPixelLayout::Grey8:
        return Probe(picture, TSampler<TPixelLayout::Grey8>(picture), axis, halfWidth, expected);
    case TPixelLayout::Bgr24:
        return Probe(picture, TSampler<TPixelLayout::Bgr24>(picture), axis, halfWidth, expected);
    case TPixelLayout::Rgb24:
        return Probe(picture, TSampler<TPixelLayout::Rgb24>(picture), axis, halfWidth, expected);
    case TPixelLayout::Bgrx32:
        return Probe(picture, TSampler<TPixelLayout::Bgrx32>(picture), axis, halfWidth, expected);
    }
    return TLineProbe{};
}

namespace {

constexpr double CleanWidth = 1.25;     ///< near the trailing edge, times the usual width one side's line may be
constexpr int SideFit = 4;              ///< clean points a side that give its line near the trailing edge
constexpr double SharpTip = 0.5;        ///< a drawn end at most this far short of where the sides meet is one apex
constexpr double ApexGap = 0.5;         ///< the last point stays this far short of the apex, so that the ends do not meet
constexpr double CapWidths = 4.0;       ///< the window reaches at most this many line widths ...
constexpr double CapFloor = 8.0;        ///< ... but at least this far, picture pixels
constexpr double WidthWindow = 24.0;    ///< the window in which the line's width is learnt
constexpr std::size_t WidthSample = 64; ///< points probed to learn it
constexpr int CrossingRounds = 8;       ///< rounds of taking back moves that made the outline cross itself

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

template <TPixelLayout L>
double BrightnessIn(const TPictureBytes& picture, double x, double y)
{
    // Continuous frame in, pixel centres in the sampler; the edge pixels reach to the border.
    return TSampler<L>(picture).At(std::clamp(x - 0.5, 0.0, picture.Width - 1.0),
                                   std::clamp(y - 0.5, 0.0, picture.Height - 1.0));
}

/// Bilinear brightness at (x, y) in the continuous frame.
double BrightnessAt(const TPictureBytes& picture, double x, double y)
{
    switch (picture.Layout) {
    case TPixelLayout::Mono:
        return BrightnessIn<TPixelLayout::Mono>(picture, x, y);
    case TPixelLayout::MonoLsb:
        return BrightnessIn<TPixelLayout::MonoLsb>(picture, x, y);
    case TPixelLayout::Palette8:
        return BrightnessIn<TPixelLayout::Palette8>(picture, x, y);
    case TPixelLayout::Grey8:
        return BrightnessIn<TPixelLayout::Grey8>(picture, x, y);
    case TPixelLayout::Bgr24:
        return BrightnessIn<TPixelLayout::Bgr24>(picture, x, y);
    case TPixelLayout::Rgb24:
        return BrightnessIn<TPixelLayout::Rgb24>(picture, x, y);
    case TPixelLayout::Bgrx32:
        return BrightnessIn<TPixelLayout::Bgrx32>(picture, x, y);
    }
    return 0.0;
}

/// A straight line through (x, y) with unit direction (dx, dy).
struct TStraight {
    bool ok = false;
    double x = 0.0, y = 0.0, dx = 0.0, dy = 0.0;
};

/// The side near its end (ex, ey): the tangent there of the parabola that fits the points best in
/// the frame of their straight line, or that line itself for two points; directed from the last
/// listed point toward the first, which lies nearest the end.
TStraight Fit(const std::vector<double>& x, const std::vector<double>& y, const std::vector<std::size_t>& at,
              double ex, double ey)
{
    TStraight s;
    if (at.size() < 2)
        return s;
    for (const std::size_t i : at) {
        s.x += x[i] / at.size();
        s.y += y[i] / at.size();
    }
    double xx = 0, xy = 0, yy = 0;
    for (const std::size_t i : at) {
        xx += (x[i] - s.x) * (x[i] - s.x);
        xy += (x[i] - s.x) * (y[i] - s.y);
        yy += (y[i] - s.y) * (y[i] - s.y);
    }
    const double a = 0.5 * std::atan2(2 * xy, xx - yy);
    s.dx = std::cos(a);
    s.dy = std::sin(a);
    if ((x[at.front()] - x[at.back()]) * s.dx + (y[at.front()] - y[at.back()]) * s.dy < 0) {
        s.dx = -s.dx;
        s.dy = -s.dy;
    }
    s.ok = xx + yy >= 1.0;
    if (!s.ok || at.size() < 3)
        return s;
    // v = c0 + c1 t + c2 t^2 across the line, t along it, by least squares (normal equations).
    double m[3][4] = {};
    for (const std::size_t i : at) {
        const double t = (x[i] - s.x) * s.dx + (y[i] - s.y) * s.dy;
        const double v = -(x[i] - s.x) * s.dy + (y[i] - s.y) * s.dx;
        const double p[3] = {1, t, t * t};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[r][c] += p[r] * p[c];
            m[r][3] += p[r] * v;
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (std::abs(m[c][c]) < 1e-12)
            return s;
        for (int r = 0; r < 3; ++r)
            if (r != c) {
                const double f = m[r][c] / m[c][c];
                for (int k = c; k < 4; ++k)
                    m[r][k] -= f * m[c][k];
            }
    }
    const double c0 = m[0][3] / m[0][0], c1 = m[1][3] / m[1][1], c2 = m[2][3] / m[2][2];
    const double te = (ex - s.x) * s.dx + (ey - s.y) * s.dy;
    const double v = c0 + c1 * te + c2 * te * te, slope = c1 + 2 * c2 * te, l = std::hypot(1.0, slope);
    TStraight tangent;
    tangent.ok = std::isfinite(v) && std::isfinite(slope);
    tangent.x = s.x + te * s.dx - v * s.dy;
    tangent.y = s.y + te * s.dy + v * s.dx;
    tangent.dx = (s.dx - slope * s.dy) / l;
    tangent.dy = (s.dy + slope * s.dx) / l;
    return tangent.ok ? tangent : s;
}

/// Where two straight lines meet, as a distance along the first; NaN when they hardly part.
double Meet(const TStraight& a, const TStraight& b)
{
    const double cross = a.dx * b.dy - a.dy * b.dx;
    if (std::abs(cross) < 0.02)
        return std::numeric_limits<double>::quiet_NaN();
    return ((b.x - a.x) * b.dy - (b.y - a.y) * b.dx) / cross;
}

/// How far beyond (x, y) along (bx, by) the centre of the drawn end lies: the last edge where the
/// ink gives way to paper, less half the line's width, searched from `from` (or a little short of
/// (x, y)) on. NaN where the ink does not end in reach.
double DrawnEnd(const TPictureBytes& picture, double x, double y, double bx, double by, double width, double contrast,
                double from)
{
    constexpr double step = 0.25;
    const double back = std::max(3.0 * width, 4.0) + 4.0 + std::max(0.0, -from), ahead = width + 6.0;
    std::vector<double> v, s;
    for (double t = -back; t <= ahead; t += step) {
        s.push_back(t);
        v.push_back(BrightnessAt(picture, x + t * bx, y + t * by));
    }
    std::vector<double> beyond;
    for (std::size_t k = 0; k < v.size(); ++k)
        if (s[k] >= width / 2 + 2.5)
            beyond.push_back(v[k]);
    const double half = Median(beyond) - contrast / 2;
    std::size_t last = v.size();
    for (std::size_t k = 0; k < v.size(); ++k)
        if (v[k] <= half)
            last = k;
    if (last == v.size() || last + 1 == v.size())
        return std::numeric_limits<double>::quiet_NaN();
    const double edge = s[last] + step * (half - v[last]) / (v[last + 1] - v[last]);
    return edge - width / 2;
}

/// The state of the refinement: where each point would go, in continuous picture coordinates.
struct TPlaced {
    std::vector<double> x, y;
    std::vector<bool> placed; ///< moved onto the line (else it stays where it was clicked)
};

/// The trailing edge: the two sides' lines lie within one window there, or have run together.
/// The points from each end up to the first that sees its own line alone go onto the line of
/// their side, which the next clean points of that side give; the ends go to the corners where
/// the drawn base meets the sides, or the first to the apex where the sides meet and the last
/// onto the lower side just short of it. True where the two ends make a trailing edge, so that
/// the outline closes there.
bool TrailingEdge(const TPictureBytes& picture, const std::vector<double>& px, const std::vector<double>& py,
                  const std::vector<TProbed>& probed, const std::vector<bool>& accepted, double halfWidth,
                  TPlaced& r)
{
    const std::size_t n = px.size();
    std::vector<double> widths, contrasts;
    for (std::size_t i = 0; i < n; ++i)
        if (accepted[i]) {
            widths.push_back(probed[i].probe.Width);
            contrasts.push_back(probed[i].probe.Contrast);
        }
    if (n < 6 || widths.empty())
        return false;
    const double width = Median(widths), contrast = Median(contrasts);
    if (std::hypot(px[0] - px[n - 1], py[0] - py[n - 1]) > std::max(2 * halfWidth, 6 * width + 4))
        return false;
    const auto clean = [&](std::size_t i) { return accepted[i] && probed[i].probe.Width <= CleanWidth * width; };
    std::vector<std::size_t> upper, lower;
    for (std::size_t i = 1; i < n / 2 && upper.size() < SideFit; ++i)
        if (clean(i))
            upper.push_back(i);
    for (std::size_t i = n - 2; i > n / 2 && lower.size() < SideFit; --i)
        if (clean(i))
            lower.push_back(i);
    const std::size_t upperFrom = upper.empty() ? n / 2 : upper.front();
    const std::size_t lowerFrom = lower.empty() ? n / 2 : lower.front();
    const TStraight u = Fit(r.x, r.y, upper, px[0], py[0]), l = Fit(r.x, r.y, lower, px[n - 1], py[n - 1]);
    // Sides that run on into each other (a closed curve) rather than toward a common end make no
    // trailing edge.
    const double t = Meet(u, l);
    const double bx0 = u.dx + l.dx, by0 = u.dy + l.dy, bl = std::hypot(bx0, by0);
    if (u.ok && l.ok && !(std::isfinite(t) && bl > 1.0))
        return false;

    // A point of a side: the line nearest the side's line where that is known, else nearest the
    // point; where the lines have run together, the side's line itself.
    const auto onSide = [&](std::size_t i, const TStraight& side) {
        r.placed[i] = false;
        r.x[i] = px[i];
        r.y[i] = py[i];
        const TProbed& p = probed[i];
        if (!p.searched)
            return;
        double expected = 0.0;
        if (side.ok) {
            const double den = p.nx * -side.dy + p.ny * side.dx;
            if (std::abs(den) < 0.5)
                return;
            expected = ((side.x - px[i]) * -side.dy + (side.y - py[i]) * side.dx) / den;
            if (std::abs(expected) > halfWidth)
                return;
        }
        const TLineProbe found = ProbeLine(picture, px[i], py[i], p.nx, p.ny, halfWidth, expected);
        double offset;
        if (found.Finding == TLineFinding::Line && found.Width <= CleanWidth * width &&
            (!side.ok || std::abs(found.Offset - expected) <= std::max(0.75, width / 2)))
            offset = found.Offset;
        else if (side.ok && found.Finding != TLineFinding::NoLine && found.Finding != TLineFinding::OutsidePicture)
            offset = expected;
        else
            return;
        r.x[i] = px[i] + offset * p.nx;
        r.y[i] = py[i] + offset * p.ny;
        r.placed[i] = true;
    };
    for (std::size_t i = 1; i < upperFrom; ++i)
        onSide(i, u);
    for (std::size_t i = lowerFrom + 1; i + 1 < n; ++i)
        onSide(i, l);
    r.placed[0] = r.placed[n - 1] = false;
    r.x[0] = px[0], r.y[0] = py[0], r.x[n - 1] = px[n - 1], r.y[n - 1] = py[n - 1];
    if (!u.ok || !l.ok)
        return true;

    double ax = u.x + t * u.dx, ay = u.y + t * u.dy;
    const double bx = bx0 / bl, by = by0 / bl;
    // The clicked ends tell how far short of where the sides meet the base may lie.
    const double clickedEnd = std::min((px[0] - ax) * bx + (py[0] - ay) * by, (px[n - 1] - ax) * bx + (py[n - 1] - ay) * by);
    const double end = DrawnEnd(picture, ax, ay, bx, by, width, contrast, clickedEnd);
    if (!std::isfinite(end))
        return true;
    const double reach = halfWidth + width;
    const auto put = [&](std::size_t i, double x, double y) {
        if (std::hypot(x - px[i], y - py[i]) > reach)
            return;
        r.x[i] = x;
        r.y[i] = y;
        r.placed[i] = true;
    };
    if (end >= -SharpTip) {
        // One apex: the first point on it; the last on the lower side, short of the first. The
        // sides' fits only roughly fix it: across the bisector the middle of the merged lines a
        // width short of it does better, along it the drawn end (a round join ends half a width
        // beyond the apex; a mitre ends far beyond, and then the sides decide).
        const double along = end <= SharpTip ? end : 0.0;
        const TLineProbe merged = ProbeLine(picture, ax - width * bx, ay - width * by, -by, bx, width);
        if (merged.Finding == TLineFinding::Line && merged.Width <= 3 * width) {
            ax -= merged.Offset * by;
            ay += merged.Offset * bx;
        }
        put(0, ax + along * bx, ay + along * by);
        onSide(n - 1, l);
        const double past = (r.x[n - 1] - ax) * bx + (r.y[n - 1] - ay) * by;
        if (r.placed[n - 1] && past > -ApexGap) {
            const double back = (past + ApexGap) / (l.dx * bx + l.dy * by);
            r.x[n - 1] -= back * l.dx;
            r.y[n - 1] -= back * l.dy;
        }
        return true;
    }
    // The base runs across the bisector; each side meets it where the side has come `end` along it.
    const double tu = end / (u.dx * bx + u.dy * by), tl = end / (l.dx * bx + l.dy * by);
    put(0, ax + tu * u.dx, ay + tu * u.dy);
    put(n - 1, ax + tl * l.dx, ay + tl * l.dy);
    return true;
}

TContourPoint At(const std::vector<double>& x, const std::vector<double>& y, std::size_t i)
{
    return {x[i], y[i], 0.0};
}

/// The pairs (i < j) of segments of the polyline through the points that meet without being
/// neighbours; segment i runs from point i to point i + 1, and when `closed` the last back to point 0.
std::vector<std::pair<std::size_t, std::size_t>> Crossings(const std::vector<double>& x, const std::vector<double>& y,
                                                            bool closed)
{
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    const std::size_t m = x.size();
    const std::size_t segments = closed ? m : m - 1;
    if (m < 4)
        return pairs;
    double length = 0.0, minX = x[0], minY = y[0];
    for (std::size_t i = 0; i < m; ++i) {
        const double dx = x[(i + 1) % m] - x[i], dy = y[(i + 1) % m] - y[i];
        length += std::sqrt(dx * dx + dy * dy);
        minX = std::min(minX, x[i]);
        minY = std::min(minY, y[i]);
    }
    if (!std::isfinite(length) || !(length > 0.0))
        return pairs;
    // Cells of a few average segment lengths, keyed by their place: a cell holds a handful of segments.
    const double cell = 4.0 * length / m;
    std::vector<std::pair<std::uint64_t, std::size_t>> entries;
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t j = (i + 1) % m;
        const auto c0 = static_cast<std::int64_t>((std::min(x[i], x[j]) - minX) / cell);
        const auto c1 = static_cast<std::int64_t>((std::max(x[i], x[j]) - minX) / cell);
        const auto r0 = static_cast<std::int64_t>((std::min(y[i], y[j]) - minY) / cell);
        const auto r1 = static_cast<std::int64_t>((std::max(y[i], y[j]) - minY) / cell);
        for (std::int64_t r = r0; r <= r1; ++r)
            for (std::int64_t c = c0; c <= c1; ++c)
                entries.push_back({static_cast<std::uint64_t>(r) << 32 | static_cast<std::uint64_t>(c), i});
    }
    std::sort(entries.begin(), entries.end());
    for (std::size_t a = 0; a < entries.size(); ++a)
        for (std::size_t b = a + 1; b < entries.size() && entries[b].first == entries[a].first; ++b) {
            const std::size_t i = std::min(entries[a].second, entries[b].second);
            const std::size_t j = std::max(entries[a].second, entries[b].second);
            if (j == i + 1 || (i == 0 && j == m - 1))
                continue;
            if (SegmentsMeet(At(x, y, i), At(x, y, i + 1), At(x, y, j), At(x, y, (j + 1) % m)))
                pairs.push_back({i, j});
        }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

/// Takes back the moves of the points at the ends of segments that meet now and did not before.
/// The outline is closed from its last point back to its first where the two ends lie together.
void NoNewCrossings(const std::vector<double>& px, const std::vector<double>& py, bool closed, TPlaced& r)
{
    const std::size_t m = px.size();
    for (int round = 0; round < CrossingRounds; ++round) {
        bool changed = false;
        for (const auto& [i, j] : Crossings(r.x, r.y, closed)) {
            if (SegmentsMeet(At(px, py, i), At(px, py, i + 1), At(px, py, j), At(px, py, (j + 1) % m)))
                continue;
            for (const std::size_t k : {i, i + 1, j, (j + 1) % m})
                if (r.placed[k]) {
                    r.placed[k] = false;
                    r.x[k] = px[k];
                    r.y[k] = py[k];
                    changed = true;
                }
        }
        if (!changed)
            return;
    }
}

/// The window: as wide as the dots ask for, but no more than a few widths of the line on this
/// picture, learnt from a few points spread over the contour.
double CappedWindow(const TPictureBytes& picture, const std::vector<double>& px, const std::vector<double>& py,
                    double halfWidth)
{
    if (halfWidth <= CapFloor)
        return halfWidth;
    const std::size_t n = px.size();
    const double window = std::min(halfWidth, WidthWindow);
    std::vector<double> widths;
    const std::size_t step = std::max<std::size_t>(1, n / WidthSample);
    for (std::size_t i = 0; i < n; i += step) {
        const std::size_t a = i == 0 ? 0 : i - 1, b = std::min(n - 1, i + 1);
        const TLineProbe p = ProbeLine(picture, px[i], py[i], py[a] - py[b], px[b] - px[a], window);
        if (p.Finding == TLineFinding::Line)
            widths.push_back(p.Width);
    }
    if (widths.empty())
        return window;
    return std::min(halfWidth, std::max(CapFloor, CapWidths * Median(widths)));
}

} // namespace

std::vector<TPointMove> RefineContourOntoLine(const TPictureBytes& picture, const TContourPointArray& points,
                                              double rotationAngle, double zoomFactor, int pointRadius,
                                              const TRefineProgress& progress)
{
    std::vector<TPointMove> moves;
    const std::size_t n = points.size();
    if (n < 2 || !Usable(picture))
        return moves;
    // Degrees to radians as the view transform converts them.
    const double a = rotationAngle / 360.0 * 3.141592653589793 * 2.0;
    const double cosA = std::cos(a);
    const double sinA = std::sin(a);

    // Continuous picture coordinates: the view point turned back by the rotation.
    std::vector<double> px(n), py(n);
    for (std::size_t i = 0; i < n; ++i) {
        px[i] = points[i].x * cosA + points[i].y * sinA;
        py[i] = -points[i].x * sinA + points[i].y * cosA;
    }
    const double halfWidth = CappedWindow(picture, px, py, RefineHalfWidth(zoomFactor, pointRadius));

    // Clicked neighbours can tilt the direction by tens of degrees; the second pass takes it from
    // the neighbours as the first pass placed them, and searches again from the clicked points.
    TTicker ticker(progress, 2 * n);
    const std::vector<TProbed> first = ProbeContour(picture, px, py, px, py, halfWidth, nullptr, ticker);
    if (ticker.Cancelled())
        return moves;
    std::vector<bool> accepted = Accepted(first);
    std::vector<double> qx = px, qy = py;
    for (std::size_t i = 0; i < n; ++i)
        if (accepted[i]) {
            qx[i] += first[i].probe.Offset * first[i].nx;
            qy[i] += first[i].probe.Offset * first[i].ny;
        }
    const std::vector<TProbed> second = ProbeContour(picture, px, py, qx, qy, halfWidth, &first, ticker);
    if (ticker.Cancelled())
        return moves;
    accepted = Accepted(second);

    TPlaced r{px, py, std::vector<bool>(n, false)};
    for (std::size_t i = 0; i < n; ++i)
        if (accepted[i]) {
            r.x[i] += second[i].probe.Offset * second[i].nx;
            r.y[i] += second[i].probe.Offset * second[i].ny;
            r.placed[i] = true;
        }
    const bool closed = TrailingEdge(picture, px, py, second, accepted, halfWidth, r);
    NoNewCrossings(px, py, closed, r);

    for (std::size_t i = 0; i < n; ++i) {
        if (!r.placed[i] || std::hypot(r.x[i] - px[i], r.y[i] - py[i]) < MinMove)
            continue;
        moves.push_back({static_cast<int>(i), r.x[i] * cosA - r.y[i] * sinA, r.x[i] * sinA + r.y[i] * cosA});
    }
    return moves;
}
