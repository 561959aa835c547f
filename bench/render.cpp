// Composing the view of a large scan, and the paint of the overlay, on a headless main window.
#include "Canvas.h"
#include "MainViewPaint.h"
#include "Unit1.h"

#include <QApplication>
#include <QImage>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

/// A scan-like picture: paper grain over a smooth shade, every row different.
QImage Scan(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = static_cast<uchar>(200 + (seed >> 28) + (x + y) % 40);
        }
    }
    return image;
}

/// The main window at its outer size of 1190 x 876, with the timer stopped.
std::unique_ptr<TForm1> Window()
{
    ResetUnit1State();
    auto form = std::make_unique<TForm1>();
    form->FormCreate();
    form->Timer1->stop();
    form->show();
    QCoreApplication::processEvents();
    return form;
}

void BM_RenderView(benchmark::State& state)
{
    const auto form = Window();
    const int width = static_cast<int>(state.range(0));
    *SourceImage = Scan(width, width * 2 / 3 + (width == 1000 ? 33 : 0)); // 6000 x 4000, 1000 x 700
    View.ZoomFactor = 1.157625;
    View.ZoomLevel = 105;
    View.RotationAngle = 5;
    for (auto _ : state) {
        form->RenderView();
        benchmark::DoNotOptimize(ViewImage->constBits());
    }
    state.counters["view_w"] = ViewImage->width();
    state.counters["view_h"] = ViewImage->height();
}
BENCHMARK(BM_RenderView)->Arg(6000)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void ContourOf(int n)
{
    ContourPoints.clear();
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        ContourPoints.push_back({600.0 + 450.0 * std::cos(a), 400.0 + 150.0 * std::sin(a), 0.0});
    }
    Hit.HotPointIndex = n / 2;
    Hit.HotSegmentIndex = -1;
    CursorDotVisible = true;
    View.CursorPos = {300, 300};
    EditMode = AppendAtEnd;
}

// What every timer tick does: the repaint of the client area through the window's paint event.
void BM_FormPaint(benchmark::State& state)
{
    const auto form = Window();
    *SourceImage = Scan(1000, 700);
    form->RenderView();
    ContourOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        form->Client->repaint();
}
BENCHMARK(BM_FormPaint)->Arg(500)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The same paint into an image, without the window system's part of a repaint.
void BM_PaintToImage(benchmark::State& state)
{
    const auto form = Window();
    *SourceImage = Scan(1000, 700);
    form->RenderView();
    ContourOf(static_cast<int>(state.range(0)));
    QImage client(form->Client->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        Canvas canvas(&client);
        PaintMainView(*form, canvas);
    }
}
BENCHMARK(BM_PaintToImage)->Arg(500)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports every window operation it lacks; those lines bury the figures.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
