// "Stützpunkte auf die Linie setzen" on a large scan: 1,000 points round an outline, beside Qt's
// conversion of the same picture to grey, which any approach that read the whole picture would pay;
// and 100,000 points at zooms and dot sizes whose windows range from 8 to 80,000 pixels.
#include "LineRefine.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;
constexpr double CentreX = 3000.0, CentreY = 2000.0, RadiusX = 2600.0, RadiusY = 1500.0;

/// Cream paper with grain and a 3-pixel dark outline round an ellipse, 24 bits a pixel.
const QImage& Scan()
{
    static const QImage scan = [] {
        QImage image(Width, Height, QImage::Format_BGR888);
        std::uint32_t seed = 2412;
        for (int y = 0; y < Height; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < Width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = static_cast<int>(seed >> 28) - 8;
                // Distance from the ellipse, to first order: enough for a line of even width.
                const double u = (x - CentreX) / RadiusX, v = (y - CentreY) / RadiusY;
                const double f = u * u + v * v - 1.0;
                const double g = 2.0 * std::hypot(u / RadiusX, v / RadiusY);
                const double ink = std::clamp(2.0 - std::abs(f / g), 0.0, 1.0);
                const int level = static_cast<int>(230 - 190 * ink) + grain;
                row[3 * x] = static_cast<uchar>(std::clamp(level - 6, 0, 255));
                row[3 * x + 1] = static_cast<uchar>(std::clamp(level, 0, 255));
                row[3 * x + 2] = static_cast<uchar>(std::clamp(level + 4, 0, 255));
            }
        }
        return image;
    }();
    return scan;
}

/// 1,000 points round the outline, each clicked up to 3 pixels off it.
TContourPointArray Clicks()
{
    TContourPointArray points;
    for (int i = 0; i < 1000; ++i) {
        const double a = 6.283185307179586 * i / 1000;
        const double off = 3.0 * std::sin(i * 2.399);
        const double nx = std::cos(a) / RadiusX, ny = std::sin(a) / RadiusY;
        const double n = std::hypot(nx, ny);
        points.push_back({CentreX + RadiusX * std::cos(a) + off * nx / n, CentreY + RadiusY * std::sin(a) + off * ny / n, 0.0});
    }
    return points;
}

void BM_RefineOntoLine(benchmark::State& state)
{
    const QImage& scan = Scan();
    TPictureBytes picture;
    picture.Bits = scan.constBits();
    picture.Width = scan.width();
    picture.Height = scan.height();
    picture.BytesPerLine = scan.bytesPerLine();
    picture.Layout = TPixelLayout::Bgr24;
    const TContourPointArray points = Clicks();
    std::size_t moved = 0;
    for (auto _ : state) {
        const auto moves = RefineContourOntoLine(picture, points, 0.0, 1.0, 4);
        moved = moves.size();
        benchmark::DoNotOptimize(moves.data());
    }
    state.counters["moved"] = static_cast<double>(moved);
    if (moved < 990)
        state.SkipWithError("most points should have found the outline");
}

/// 100,000 points round the outline, each up to 2 pixels off it, the offset turning slowly enough
/// that the neighbours give the outline's direction.
TContourPointArray ManyClicks()
{
    TContourPointArray points;
    constexpr int count = 100000;
    for (int i = 0; i < count; ++i) {
        const double a = 6.283185307179586 * i / count;
        const double off = 2.0 * std::sin(i * 0.003);
        const double nx = std::cos(a) / RadiusX, ny = std::sin(a) / RadiusY;
        const double n = std::hypot(nx, ny);
        points.push_back({CentreX + RadiusX * std::cos(a) + off * nx / n, CentreY + RadiusY * std::sin(a) + off * ny / n, 0.0});
    }
    return points;
}

/// Any zoom and dot size: the window the dots ask for grows as 1 / zoom, the work must not.
void BM_RefineManyPoints(benchmark::State& state)
{
    const QImage& scan = Scan();
    TPictureBytes picture;
    picture.Bits = scan.constBits();
    picture.Width = scan.width();
    picture.Height = scan.height();
    picture.BytesPerLine = scan.bytesPerLine();
    picture.Layout = TPixelLayout::Bgr24;
    static const TContourPointArray points = ManyClicks();
    const double zoom = state.range(0) / 1000.0;
    const int radius = static_cast<int>(state.range(1));
    std::size_t moved = 0;
    for (auto _ : state) {
        const auto moves = RefineContourOntoLine(picture, points, 0.0, zoom, radius);
        moved = moves.size();
        benchmark::DoNotOptimize(moves.data());
    }
    state.counters["moved"] = static_cast<double>(moved);
}

void BM_GreyConversion(benchmark::State& state)
{
    const QImage& scan = Scan();
    for (auto _ : state) {
        QImage grey = scan.convertToFormat(QImage::Format_Grayscale8);
        benchmark::DoNotOptimize(grey.constBits());
    }
}

BENCHMARK(BM_RefineOntoLine)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
// Zoom in thousandths: 0.001, 0.2 and 1.
BENCHMARK(BM_RefineManyPoints)
    ->ArgNames({"zoom_milli", "radius"})
    ->ArgsProduct({{1, 200, 1000}, {4, 40}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_GreyConversion)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
