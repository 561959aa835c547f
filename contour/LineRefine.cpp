#include "LineRefine.h"

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
constexpr double SameDirection = 0.99996;  ///< cosine of a quarter degree: a normal found again
constexpr std::size_t MaxRepeats = 16;  ///< coincident points looked past for a neighbour
constexpr int MaxHalfSamples = 64;    ///< the centre's stretch holds at most this many samples either side

/// Bilinear brightness of a picture of layout L whose width and height are at least 2, at (x, y) in
/// the frame of pixel centres: pixel (i, j) is (i, j) here.
template <TPixelLayout L>
class TSampler {
public:
    explicit TSampler(const TPictureBytes& picture) : p_(picture) {}

    double At(double x, double y) const
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
TLineProbe Probe(const TPictureBytes& picture, const Sampler& sampler, const TAxis& axis, double halfWidth)
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

    // Paper: first a bright quantile (to a brightness level, from a histogram), then the mean and
    // grain of what is clearly not ink.
    std::array<int, 257> histogram{};
    for (const double v : b)
        ++histogram[static_cast<std::size_t>(std::clamp(v, 0.0, 256.0))];
    int level = 256;
    for (int seen = 0; seen + histogram[static_cast<std::size_t>(level)] <= count / 4; --level)
        seen += histogram[static_cast<std::size_t>(level)];
    const double roughPaper = level;
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
    double spread = 0.0;
    for (const double v : b)
        if (v >= roughPaper - probe.Contrast / 4)
            spread += std::abs(v - paper);
    // The mean absolute deviation of normal grain is 0.8 of its standard deviation.
    const double grain = 1.2533 * spread / n;
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
    int crossing = -1;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (runs[r].last < wLo || runs[r].first > wHi)
            continue;
        if (crossing >= 0) {
            probe.Finding = TLineFinding::SeveralLines;
            return probe;
        }
        crossing = static_cast<int>(r);
    }
    if (crossing < 0)
        return probe;
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
                                  const std::vector<TProbed>* earlier)
{
    const std::size_t n = px.size();
    std::vector<TProbed> probed(n);
    for (std::size_t i = 0; i < n; ++i) {
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
        const double length = std::hypot(tx, ty);
        if (!(length >= 1e-9) || !std::isfinite(length))
            continue;
        TProbed& p = probed[i];
        p.searched = true;
        p.nx = -ty / length;
        p.ny = tx / length;
        if (earlier) {
            const TProbed& e = (*earlier)[i];
            if (e.searched && e.nx * p.nx + e.ny * p.ny > SameDirection) {
                p = e;
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

TLineProbe ProbeLine(const TPictureBytes& picture, double x, double y, double nx, double ny, double halfWidth)
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
        return Probe(picture, TSampler<TPixelLayout::Mono>(picture), axis, halfWidth);
    case TPixelLayout::MonoLsb:
        return Probe(picture, TSampler<TPixelLayout::MonoLsb>(picture), axis, halfWidth);
    case TPixelLayout::Palette8:
        return Probe(picture, TSampler<TPixelLayout::Palette8>(picture), axis, halfWidth);
    case TPixelLayout::Grey8:
        return Probe(picture, TSampler<TPixelLayout::Grey8>(picture), axis, halfWidth);
    case TPixelLayout::Bgr24:
        return Probe(picture, TSampler<TPixelLayout::Bgr24>(picture), axis, halfWidth);
    case TPixelLayout::Rgb24:
        return Probe(picture, TSampler<TPixelLayout::Rgb24>(picture), axis, halfWidth);
    case TPixelLayout::Bgrx32:
        return Probe(picture, TSampler<TPixelLayout::Bgrx32>(picture), axis, halfWidth);
    }
    return TLineProbe{};
}

std::vector<TPointMove> RefineContourOntoLine(const TPictureBytes& picture, const TContourPointArray& points,
                                              double rotationAngle, double zoomFactor, int pointRadius)
{
    std::vector<TPointMove> moves;
    const std::size_t n = points.size();
    if (n < 2 || !Usable(picture))
        return moves;
    const double halfWidth = RefineHalfWidth(zoomFactor, pointRadius);
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

    // Clicked neighbours can tilt the direction by tens of degrees; the second pass takes it from
    // the neighbours as the first pass placed them, and searches again from the clicked points.
    const std::vector<TProbed> first = ProbeContour(picture, px, py, px, py, halfWidth, nullptr);
    std::vector<bool> accepted = Accepted(first);
    std::vector<double> qx = px, qy = py;
    for (std::size_t i = 0; i < n; ++i)
        if (accepted[i]) {
            qx[i] += first[i].probe.Offset * first[i].nx;
            qy[i] += first[i].probe.Offset * first[i].ny;
        }
    const std::vector<TProbed> second = ProbeContour(picture, px, py, qx, qy, halfWidth, &first);
    accepted = Accepted(second);

    for (std::size_t i = 0; i < n; ++i) {
        const TProbed& p = second[i];
        if (!accepted[i] || std::abs(p.probe.Offset) < MinMove)
            continue;
        const double x = px[i] + p.probe.Offset * p.nx;
        const double y = py[i] + p.probe.Offset * p.ny;
        moves.push_back({static_cast<int>(i), x * cosA - y * sinA, x * sinA + y * cosA});
    }
    return moves;
}
