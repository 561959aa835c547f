// Drawing cost of the review window's chart: complete drawings and a paint of a clean bitmap.
#include "Chart.h"
#include "Colors.h"

#include <QApplication>
#include <QImage>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<TChart> reviewChart(int points)
{
    auto chart = std::make_unique<TChart>();
    chart->resize(770, 513);
    chart->View3D = false;
    chart->SetColor(clSilver);
    chart->MarginLeft = chart->MarginTop = chart->MarginRight = chart->MarginBottom = 0;
    chart->BackWall.Brush = {clWhite, TBrushStyle::bsClear};
    TLineSeries& s = chart->AddLineSeries();
    s.SetSeriesColor(clRed);
    s.Pointer().SetVisible(true);
    s.Pointer().SetStyle(TSeriesPointerStyle::psCircle);
    s.Pointer().SetHorizSize(3);
    s.Pointer().SetVertSize(3);
    s.XValues().Order = TChartListOrder::loNone;
    // A closed profile outline: x from 1 to 0 over the upper side and back over the lower side.
    for (int i = 0; i < points; ++i) {
        const double t = 2.0 * M_PI * i / (points - 1);
        const double x = 0.5 + 0.5 * std::cos(t);
        const double y = (t < M_PI ? 0.06 : 0.04) * std::sin(t) * (1.0 - 0.3 * x);
        s.AddPoint(x, y);
    }
    chart->ResetZoom();
    chart->ZoomByPercent(90);
    return chart;
}

void drawChart(benchmark::State& state)
{
    auto chart = reviewChart(static_cast<int>(state.range(0)));
    QImage image(770, 513, QImage::Format_RGB32);
    for (auto _ : state) {
        chart->DrawChart(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void paintCleanBitmap(benchmark::State& state)
{
    auto chart = reviewChart(500);
    int drawings = 0;
    chart->OnAfterDraw = [&](TCustomAxisPanel&) { ++drawings; };
    chart->show();
    for (int i = 0; i < 20 && !chart->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    chart->repaint();
    if (drawings != 1)
        state.SkipWithError("the chart did not paint");
    for (auto _ : state)
        chart->repaint();
    if (drawings != 1)
        state.SkipWithError("a paint drew the chart again instead of copying the bitmap");
}

} // namespace

BENCHMARK(drawChart)->Name("DrawChart")->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(paintCleanBitmap)->Name("PaintCleanBitmap")->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
