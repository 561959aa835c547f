#include "OutlineDrawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drawing {
namespace {

constexpr double Pi = 3.141592653589793;
constexpr int Paper = 232;
constexpr int Ink = 30;

/// The share of the unit square centred on the origin where a x + b y <= t, (a, b) a unit vector.
double HalfPlaneArea(double a, double b, double t)
{
    const double p = std::min(std::abs(a), std::abs(b));
    const double q = std::max(std::abs(a), std::abs(b));
    if (p < 1e-12)
        return std::clamp(t / q + 0.5, 0.0, 1.0);
    const double lo = (p + q) / 2, flat = (q - p) / 2;
    if (t <= -lo)
        return 0.0;
    if (t <= -flat)
        return (t + lo) * (t + lo) / (2 * p * q);
    if (t <= flat)
        return (t + flat) / q + p / (2 * q);
    if (t < lo)
        return 1.0 - (lo - t) * (lo - t) / (2 * p * q);
    return 1.0;
}

/// Camber and its slope at x for the four-digit "mpxx" and five-digit "230xx" lines.
void Camber(const std::string& naca, double x, double& yc, double& slope)
{
    yc = slope = 0.0;
    if (naca.size() == 5) {
        const double m = 0.2025, k1 = 15.957;
        if (x < m) {
            yc = k1 / 6 * (x * x * x - 3 * m * x * x + m * m * (3 - m) * x);
            slope = k1 / 6 * (3 * x * x - 6 * m * x + m * m * (3 - m));
        } else {
            yc = k1 * m * m * m / 6 * (1 - x);
            slope = -k1 * m * m * m / 6;
        }
        return;
    }
    const double m = (naca[0] - '0') / 100.0, p = (naca[1] - '0') / 10.0;
    if (m <= 0.0)
        return;
    if (x < p) {
        yc = m / (p * p) * (2 * p * x - x * x);
        slope = 2 * m / (p * p) * (p - x);
    } else {
        yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
        slope = 2 * m / ((1 - p) * (1 - p)) * (p - x);
    }
}

/// Darkens the sheet's ink levels with a line, each pixel by the area the line covers of it
/// (treated as straight across a pixel); where lines overlap, the darker decides.
void Stamp(std::vector<double>& level, int w, int h, const TLine& line)
{
    // Per pixel the nearest stretch of the line decides its coverage.
    std::vector<float> best(level.size(), std::numeric_limits<float>::infinity());
    std::vector<float> cover(level.size(), 0.0f);
    const double r = line.width / 2 + 1.5;
    for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
        const TPoint a = line.points[i], b = line.points[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        if (len2 <= 0.0)
            continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - r)));
        const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + r)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - r)));
        const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + r)));
        const double len = std::sqrt(len2);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                const double lambda = ((cx - a.x) * dx + (cy - a.y) * dy) / len2;
                double nx, ny, d;
                const bool atEnd = lambda < 0.0 || lambda > 1.0;
                if (!atEnd) {
                    nx = -dy / len;
                    ny = dx / len;
                    d = (cx - a.x) * nx + (cy - a.y) * ny;
                } else {
                    const TPoint f = lambda < 0.0 ? a : b;
                    d = std::hypot(cx - f.x, cy - f.y);
                    if (d <= 0.0)
                        continue;
                    nx = (cx - f.x) / d;
                    ny = (cy - f.y) / d;
                }
                const std::size_t k = static_cast<std::size_t>(y) * w + x;
                // An end counts only where no stretch of the line lies across the pixel.
                const float key = static_cast<float>(std::abs(d) + (atEnd ? 1e-3 : 0.0));
                if (key >= best[k])
                    continue;
                best[k] = key;
                cover[k] = static_cast<float>(HalfPlaneArea(nx, ny, line.width / 2 - d) -
                                              HalfPlaneArea(nx, ny, -line.width / 2 - d));
            }
    }
    for (std::size_t k = 0; k < level.size(); ++k)
        if (cover[k] > 0.0f)
            level[k] = std::min(level[k], Paper + (line.ink - Paper) * static_cast<double>(cover[k]));
}

} // namespace

TPoint NacaPoint(const std::string& naca, double x, bool upper, bool blunt)
{
    const double t = std::stoi(naca.substr(naca.size() - 2)) / 100.0;
    const double last = blunt ? -0.1015 : -0.1036;
    const double yt = 5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x + last * x * x * x * x);
    double yc, slope;
    Camber(naca, x, yc, slope);
    const double theta = std::atan(slope), sign = upper ? 1.0 : -1.0;
    return {x - sign * yt * std::sin(theta), yc + sign * yt * std::cos(theta)};
}

TDrawing Draw(const TSection& s, std::uint32_t seed)
{
    // Chord coordinates (y upward) to picture coordinates: chord, turn, then placed with margin.
    const double a = s.angle * Pi / 180, ca = std::cos(a), sa = std::sin(a);
    const auto raw = [&](TPoint p) {
        const double x = s.chord * p.x, y = -s.chord * p.y;
        return TPoint{x * ca - y * sa, x * sa + y * ca};
    };
    // The outline densely: a station every half pixel or finer, cosine-spaced in x.
    const int half = std::max(400, static_cast<int>(2.5 * s.chord));
    std::vector<TPoint> chordOutline;
    for (int i = half; i >= 0; --i)
        chordOutline.push_back(NacaPoint(s.naca, 0.5 * (1 - std::cos(Pi * i / half)), true, s.blunt));
    for (int i = 1; i <= half; ++i)
        chordOutline.push_back(NacaPoint(s.naca, 0.5 * (1 - std::cos(Pi * i / half)), false, s.blunt));
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    std::vector<TPoint> placed;
    for (const TPoint& p : chordOutline) {
        const TPoint q = raw(p);
        placed.push_back(q);
        minX = std::min(minX, q.x);
        minY = std::min(minY, q.y);
        maxX = std::max(maxX, q.x);
        maxY = std::max(maxY, q.y);
    }
    const int w = std::max(s.minWidth, static_cast<int>(std::ceil(maxX - minX)) + 2 * s.margin);
    const int h = std::max(s.minHeight, static_cast<int>(std::ceil(maxY - minY)) + 2 * s.margin);
    // A fraction of a pixel in the placing, so that no test passes by the grid's symmetry.
    const double ox = (w - (maxX - minX)) / 2 - minX + 0.37, oy = (h - (maxY - minY)) / 2 - minY + 0.21;
    const auto place = [&](TPoint p) {
        const TPoint q = raw(p);
        return TPoint{q.x + ox, q.y + oy};
    };

    TDrawing d;
    for (const TPoint& p : placed)
        d.outline.push_back({p.x + ox, p.y + oy});
    d.upperEdge = d.outline.front();
    d.lowerEdge = d.outline.back();

    std::vector<TLine> lines;
    TLine outline{d.outline, s.width, Ink};
    if (s.blunt)
        outline.points.push_back(d.upperEdge); // the base
    if (s.gaps || s.wideGap >= 0.0) {
        // Three gaps on the upper side, near the nose below, and on the lower side.
        TLine broken{{}, s.width, Ink};
        // The lines' round ends take half a width each from a cut: these leave one, two and
        // three line widths of paper, and six at the wide gap.
        const double cuts[4][2] = {{0.25, 2.0}, {0.56, 3.0}, {0.8, 3.9}, {s.wideGap, 7.0}};
        std::vector<double> arc(outline.points.size(), 0.0);
        for (std::size_t i = 1; i < arc.size(); ++i)
            arc[i] = arc[i - 1] + std::hypot(outline.points[i].x - outline.points[i - 1].x,
                                             outline.points[i].y - outline.points[i - 1].y);
        for (std::size_t i = 0; i < arc.size(); ++i) {
            bool cut = false;
            for (const auto& c : cuts)
                if (c[1] > 5.0 || s.gaps)
                    cut = cut || std::abs(arc[i] - c[0] * arc.back()) < c[1] * s.width / 2;
            if (cut) {
                if (broken.points.size() > 1)
                    lines.push_back(broken);
                broken.points.clear();
            } else {
                broken.points.push_back(outline.points[i]);
            }
        }
        lines.push_back(broken);
    } else {
        lines.push_back(outline);
    }
    if (s.chordLine)
        lines.push_back({{place({0, 0}), place({1, 0})}, std::max(1.0, 0.7 * s.width), Ink + 20});
    if (s.camberLine) {
        TLine camber{{}, std::max(1.0, 0.7 * s.width), Ink + 20};
        for (int i = 0; i <= 400; ++i) {
            const double x = 0.5 * (1 - std::cos(Pi * i / 400));
            double yc, slope;
            Camber(s.naca, x, yc, slope);
            camber.points.push_back(place({x, yc}));
        }
        lines.push_back(camber);
    }
    if (s.grid) {
        const double spacing = 59.06; // 5 mm at 300 dpi
        for (double x = 3.3; x < w; x += spacing)
            lines.push_back({{{x, 0}, {x, static_cast<double>(h)}}, 1.2, 165});
        for (double y = 5.7; y < h; y += spacing)
            lines.push_back({{{0, y}, {static_cast<double>(w), y}}, 1.2, 165});
    }
    if (s.lettering) {
        // Letters set against the outline: a stem that touches it from outside, with a bar,
        // at a few places along the upper and lower side.
        for (const double x : {0.3, 0.65}) {
            for (const bool upper : {true, false}) {
                const TPoint on = NacaPoint(s.naca, x, upper, s.blunt);
                const double size = std::max(12.0, 6 * s.width);
                const double dir = upper ? 1.0 : -1.0;
                const TPoint foot{on.x, on.y + dir * s.width / 2 / s.chord};
                const TPoint top{on.x, foot.y + dir * size / s.chord};
                lines.push_back({{place(foot), place(top)}, std::max(1.0, s.width), Ink});
                lines.push_back({{place({top.x - size / 3 / s.chord, top.y}), place({top.x + size / 3 / s.chord, top.y})},
                                 std::max(1.0, s.width), Ink});
            }
        }
    }

    d.sheet = Paint(w, h, lines, seed);
    return d;
}

scan::TSheet Paint(int w, int h, const std::vector<TLine>& lines, std::uint32_t seed)
{
    scan::TSheet sheet;
    std::vector<double> level(static_cast<std::size_t>(w) * h, Paper);
    for (const TLine& line : lines)
        Stamp(level, w, h, line);

    sheet.Width = w;
    sheet.Height = h;
    sheet.Grey.resize(level.size());
    sheet.Rgb.resize(level.size() * 3);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ULL + 7;
    for (std::size_t k = 0; k < level.size(); ++k) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const int g = static_cast<int>((state >> 33) % 17) - 8;
        const double f = (Paper - level[k]) / (Paper - Ink); // 0 paper .. 1 full ink
        sheet.Grey[k] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(level[k])) + g, 0, 255));
        // Cream paper, blue-black ink of the same brightness.
        const double paperRgb[3] = {Paper + 6.0, Paper + 1.0, Paper - 12.0};
        const double inkRgb[3] = {Ink - 8.0, Ink - 6.0, Ink + 40.0};
        for (int c = 0; c < 3; ++c)
            sheet.Rgb[3 * k + c] = static_cast<std::uint8_t>(
                std::clamp(static_cast<int>(std::lround(paperRgb[c] + (inkRgb[c] - paperRgb[c]) * f)) + g, 0, 255));
    }
    return sheet;
}

double DistanceToOutline(const std::vector<TPoint>& outline, TPoint p, double* share)
{
    double best = std::numeric_limits<double>::infinity();
    double bestArc = 0.0, arc = 0.0;
    for (std::size_t i = 0; i + 1 < outline.size(); ++i) {
        const TPoint a = outline[i], b = outline[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        const double len = std::sqrt(len2);
        const double l = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
        const double d = std::hypot(p.x - (a.x + l * dx), p.y - (a.y + l * dy));
        if (d < best) {
            best = d;
            bestArc = arc + l * len;
        }
        arc += len;
    }
    if (share)
        *share = arc > 0 ? bestArc / arc : 0.0;
    return best;
}

} // namespace drawing
