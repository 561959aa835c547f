// "Kontur automatisch verfolgen" on a large and a small scan of a drawn NACA 2412, beside Qt's
// conversion of the same picture to grey, which any approach that read the whole picture would pay;
// and on pictures with no outline, where it must give up quickly.
#include "OutlineDrawing.h"
#include "OutlineTrace.h"
#include "PictureView.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

struct TBenchScan {
    QImage image;
    drawing::TPoint click;
};

QImage ToImage(const scan::TSheet& sheet)
{
    QImage image(sheet.Width, sheet.Height, QImage::Format_RGB888);
    for (int y = 0; y < sheet.Height; ++y)
        std::memcpy(image.scanLine(y), sheet.Rgb.data() + static_cast<std::size_t>(y) * sheet.Width * 3,
                    static_cast<std::size_t>(sheet.Width) * 3);
    return image;
}

/// The section on a scan of the given size; made once per size.
const TBenchScan& Scan(int width, int height, double chord, double line)
{
    static std::map<int, TBenchScan> made;
    auto found = made.find(width);
    if (found == made.end()) {
        drawing::TSection s;
        s.chord = chord;
        s.width = line;
        s.angle = 4.0;
        s.grid = true;
        s.minWidth = width;
        s.minHeight = height;
        s.margin = 0;
        const drawing::TDrawing d = drawing::Draw(s);
        found = made.emplace(width, TBenchScan{ToImage(d.sheet), d.upperEdge}).first;
    }
    return found->second;
}

/// A picture of nothing but the given lines, or of noise.
const TBenchScan& Hostile(const std::string& kind)
{
    static std::map<std::string, TBenchScan> made;
    auto found = made.find(kind);
    if (found != made.end())
        return found->second;
    constexpr int W = 6000, H = 4000;
    scan::TSheet sheet;
    drawing::TPoint click{3000.5, 2000.5};
    if (kind == "noise") {
        sheet.Width = W;
        sheet.Height = H;
        std::uint64_t state = 7;
        for (int k = 0; k < W * H; ++k) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            const auto v = static_cast<std::uint8_t>(state >> 56);
            sheet.Grey.push_back(v);
            sheet.Rgb.insert(sheet.Rgb.end(), 3, v);
        }
    } else {
        drawing::TLine spiral{{}, 3.0, 30};
        for (double a = 200 * 3.141592653589793; a > 0.5; a -= 0.01)
            spiral.points.push_back({3000.3 + 3.0 * a * std::cos(a), 2000.2 + 3.0 * a * std::sin(a)});
        click = spiral.points.front();
        sheet = drawing::Paint(W, H, {spiral});
    }
    return made.emplace(kind, TBenchScan{ToImage(sheet), click}).first->second;
}

void Trace(benchmark::State& state, const TBenchScan& scan, bool mustReachTheEdge)
{
    QImage converted;
    const TPictureBytes picture = PictureViewOf(scan.image, converted);
    const TContourPointArray clicked{{scan.click.x, scan.click.y, 0.0}};
    TTraceResult result;
    for (auto _ : state) {
        result = TraceOutline(picture, clicked, 0.0);
        benchmark::DoNotOptimize(result.Added.data());
    }
    state.counters["points"] = static_cast<double>(result.Added.size());
    if (mustReachTheEdge && result.End != TTraceEnd::TrailingEdge)
        state.SkipWithError("the trace should reach the trailing edge");
    if (!mustReachTheEdge && !result.Added.empty())
        state.SkipWithError("a picture without an outline should leave the contour as it was");
}

void BM_Trace6000(benchmark::State& state) { Trace(state, Scan(6000, 4000, 5000, 5), true); }
void BM_Trace1200(benchmark::State& state) { Trace(state, Scan(1200, 600, 1000, 2), true); }
void BM_TraceNoise(benchmark::State& state) { Trace(state, Hostile("noise"), false); }
void BM_TraceSpiral(benchmark::State& state) { Trace(state, Hostile("spiral"), false); }

void Grey(benchmark::State& state, const QImage& image)
{
    for (auto _ : state) {
        QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        benchmark::DoNotOptimize(grey.constBits());
    }
}

void BM_GreyConversion6000(benchmark::State& state) { Grey(state, Scan(6000, 4000, 5000, 5).image); }
void BM_GreyConversion1200(benchmark::State& state) { Grey(state, Scan(1200, 600, 1000, 2).image); }

BENCHMARK(BM_Trace6000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_GreyConversion6000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_Trace1200)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_GreyConversion1200)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_TraceNoise)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_TraceSpiral)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
