// Composing the view of a large scan, and the paint of the overlay, on a headless main window,
// each beside a natural anchor measured in the same run: Qt's own drawImage of the same picture
// and transform, a bare QPainter overlay of the same shapes, memcpy of the same bytes.
#include "QtBenchMain.h"
#include "Canvas.h"
#include "ExCanvasTools.h"
#include "MainViewPaint.h"
#include "Services.h"
#include "Unit1.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

/// Seconds per iteration of each anchor, for the ratio printed beside the figure it anchors.
std::map<std::string, double>& Anchors()
{
    static std::map<std::string, double> anchors;
    return anchors;
}

/// Times the loop body by the clock, for the ratio to an anchor; the benchmark's own timing stays.
class LoopClock {
public:
    LoopClock() : start_(std::chrono::steady_clock::now()) {}
    double SecondsPerIteration(const benchmark::State& state) const
    {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        return state.iterations() ? s / static_cast<double>(state.iterations()) : 0.0;
    }

private:
    std::chrono::steady_clock::time_point start_;
};

void SetAnchor(const std::string& name, const benchmark::State& state, const LoopClock& clock)
{
    Anchors()[name] = clock.SecondsPerIteration(state);
}

void ShowRatio(const char* counter, const std::string& anchor, benchmark::State& state, const LoopClock& clock)
{
    const auto found = Anchors().find(anchor);
    if (found != Anchors().end() && found->second > 0)
        state.counters[counter] = clock.SecondsPerIteration(state) / found->second;
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

void PictureOf(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    *SourceImage = Scan(width, width * 2 / 3 + (width == 1000 ? 33 : 0)); // 6000 x 4000, 1000 x 700
    View.ZoomFactor = 1.157625;
    View.ZoomLevel = 105;
    View.RotationAngle = 5;
}

// Anchor: Qt's drawImage of the whole picture under the same transform into an image of the view's size.
void BM_QtDrawImage(benchmark::State& state)
{
    const auto form = Window();
    PictureOf(state);
    QImage view(form->frameGeometry().size(), QImage::Format_RGB32);
    LoopClock clock;
    for (auto _ : state) {
        view.fill(Qt::gray);
        QPainter painter(&view);
        SetCanvasWorldTransform(painter, View.ZoomFactor, View.RotationAngle, View.ViewOriginX, View.ViewOriginY);
        painter.drawImage(0, 0, *SourceImage);
    }
    SetAnchor("drawImage/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_QtDrawImage)->Arg(6000)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_RenderView(benchmark::State& state)
{
    const auto form = Window();
    PictureOf(state);
    LoopClock clock;
    for (auto _ : state) {
        form->RenderView();
        benchmark::DoNotOptimize(ViewImage->constBits());
    }
    state.counters["view_w"] = ViewImage->width();
    state.counters["view_h"] = ViewImage->height();
    ShowRatio("x_qt_drawImage", "drawImage/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_RenderView)->Arg(6000)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

/// An outline of n points round an ellipse inside the client area, dots touching at 10,000;
/// the hot point, the cursor dot and the rubber band drawn too.
void ContourOf(int n)
{
    ContourPoints.clear();
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        ContourPoints.push_back({600.0 + 450.0 * std::cos(a), 400.0 + 250.0 * std::sin(a) * (1.0 - 0.3 * std::cos(a)), 0.0});
    }
    Hit.HotPointIndex = n / 2;
    Hit.HotSegmentIndex = -1;
    CursorDotVisible = true;
    View.CursorPos = {300, 300};
    EditMode = AppendAtEnd;
}

std::unique_ptr<TForm1> PaintedWindow(int points)
{
    auto form = Window();
    *SourceImage = Scan(1000, 700);
    form->RenderView();
    ContourOf(points);
    return form;
}

// Anchor: the client's bytes copied once, the least any paint of the view can cost.
void BM_MemcpyClient(benchmark::State& state)
{
    const auto form = PaintedWindow(0);
    const QSize size = form->Client->size();
    std::vector<std::uint32_t> from(static_cast<std::size_t>(size.width()) * size.height(), 0x808080u);
    std::vector<std::uint32_t> to(from.size());
    LoopClock clock;
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
    }
    SetAnchor("memcpy", state, clock);
}
BENCHMARK(BM_MemcpyClient)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// Anchor: the same shapes through a bare QPainter (no canvas, pen and brush set once per colour).
void BM_BareOverlay(benchmark::State& state)
{
    const auto form = PaintedWindow(static_cast<int>(state.range(0)));
    QImage client(form->Client->size(), QImage::Format_RGB32);
    const int r = View.PointRadius;
    LoopClock clock;
    for (auto _ : state) {
        QPainter p(&client);
        p.drawImage(0, 0, *ViewImage);
        QPen red(QColor(255, 0, 0));
        red.setCapStyle(Qt::FlatCap);
        p.setPen(red);
        p.setBrush(ToQColor(clBtnFace));
        std::vector<QPoint> at;
        at.reserve(ContourPoints.size());
        for (const TContourPoint& pt : ContourPoints) {
            const TClientPoint c = ViewToClient(View, pt.x, pt.y);
            at.emplace_back(c.x, c.y);
            p.drawEllipse(QRect(c.x - r, c.y - r, 2 * r - 1, 2 * r - 1));
        }
        for (std::size_t i = 1; i < at.size(); ++i)
            p.drawLine(at[i - 1], at[i]);
        p.setPen(Qt::black);
        p.setBrush(QColor(255, 0, 0));
        p.drawEllipse(QRect(View.CursorPos.x - r, View.CursorPos.y - r, 2 * r - 1, 2 * r - 1));
    }
    SetAnchor("bare/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_BareOverlay)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// What a timer tick with a change does: the repaint of the client area through the window's paint event.
void BM_FormPaint(benchmark::State& state)
{
    const auto form = PaintedWindow(static_cast<int>(state.range(0)));
    LoopClock clock;
    for (auto _ : state)
        form->Client->repaint();
    if (state.range(0) == 0)
        ShowRatio("x_memcpy", "memcpy", state, clock);
    else
        ShowRatio("x_bare_qpainter", "bare/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_FormPaint)->Arg(0)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The fast paint into an image, without the window system's part of a repaint.
void BM_PaintToImage(benchmark::State& state)
{
    const auto form = PaintedWindow(static_cast<int>(state.range(0)));
    QImage client(form->Client->size(), QImage::Format_RGB32);
    TMainViewPainter painter;
    LoopClock clock;
    for (auto _ : state)
        painter.Paint(*form, client);
    ShowRatio("x_bare_qpainter", "bare/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_PaintToImage)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The reference drawing, every shape through the canvas, as the paint was before.
void BM_PaintThroughCanvas(benchmark::State& state)
{
    const auto form = PaintedWindow(static_cast<int>(state.range(0)));
    QImage client(form->Client->size(), QImage::Format_RGB32);
    LoopClock clock;
    for (auto _ : state) {
        Canvas canvas(&client);
        PaintMainView(*form, canvas);
    }
    ShowRatio("x_bare_qpainter", "bare/" + std::to_string(state.range(0)), state, clock);
}
BENCHMARK(BM_PaintThroughCanvas)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

/// The real services but for the cursor, which the benchmark moves.
class MovingCursor final : public platform::Services {
public:
    QPoint cursor;
    bool KeyHeld(platform::Key) override { return false; }
    QPoint CursorPos() override { return cursor; }
    bool Confirm(QWidget*, const QString&) override { return false; }
    std::optional<QString> OpenFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }
    void ShowError(const QString&) override {}
    QString ProgramDirectory() override { return {}; }
};

// A mouse move over a contour of 100,000 points (about a pixel apart, all on the client) and
// the repaint that shows it: the hit test of the move, then the paint of every dot and segment.
void BM_MouseMoveAndPaint(benchmark::State& state)
{
    const auto form = PaintedWindow(static_cast<int>(state.range(0)));
    EditMode = Idle;
    MovingCursor services;
    platform::Install(&services);
    const QPoint origin = form->Client->mapToGlobal(QPoint(0, 0));
    int step = 0;
    for (auto _ : state) {
        const int x = 560 + (step & 15);
        const int y = 420 + ((step >> 4) & 15);
        ++step;
        services.cursor = origin + QPoint(x, y);
        form->FormMouseMove(Qt::NoButton, x, y);
        form->Client->repaint();
    }
    platform::Install(nullptr);
    if (Hit.HotPointIndex != -1)
        state.SkipWithError("the cursor touched the outline");
}
BENCHMARK(BM_MouseMoveAndPaint)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qtbench::Prepare();
    QApplication application(argc, argv);
    return qtbench::Run(argc, argv);
}
