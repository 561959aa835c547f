// Drawing cost of the review window's chart: complete drawings (at device pixel ratios 1 and 2 and far
// zoomed out) and a paint of a clean bitmap, each beside its anchor: the same lines, ellipses, fills
// and texts drawn by a bare QPainter, and a bare widget painting an image of the same size.
#include "Chart.h"
#include "ChartCanvas.h"
#include "Colors.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

/// The same drawing into the bitmap of a screen of device pixel ratio 2.
void drawChartRatio2(benchmark::State& state)
{
    auto chart = reviewChart(static_cast<int>(state.range(0)));
    QImage image(2 * 770, 2 * 513, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        chart->DrawChart(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

/// The review chart after 3,800 wheel-down notches: ranges near 1e300, labels in the general format.
void drawChartFarOut(benchmark::State& state)
{
    auto chart = reviewChart(500);
    for (int i = 0; i < 3800; ++i)
        chart->ZoomByPercent(90);
    QImage image(770, 513, QImage::Format_RGB32);
    for (auto _ : state) {
        chart->DrawChart(image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["x_span"] = chart->BottomAxis().Maximum() - chart->BottomAxis().Minimum();
}

/// What one DrawChart puts on the canvas, recorded so that a bare QPainter can draw the same.
class RecordingCanvas final : public TChartCanvas {
public:
    struct Op {
        enum Kind { Fill, Rect, Ellipse, Line, Text } kind;
        QRect box;
        QLine line;
        QColor pen, brush;
        bool brushClear;
        QString text;
    };
    std::vector<Op> ops;

    explicit RecordingCanvas(QPaintDevice* device) : measure_(QFont(QStringLiteral("Arial"), 8), device) {}
    int TextWidth(const std::string& t) override { return measure_.horizontalAdvance(QString::fromStdString(t)); }
    int TextHeight(const std::string&) override { return measure_.height(); }
    void SetPen(TColor color, int, TPenStyle, TPenMode) override { pen_ = ToQColor(color); }
    void SetBrush(TColor color, TBrushStyle style) override
    {
        brush_ = ToQColor(color);
        clear_ = style == TBrushStyle::bsClear;
    }
    void SetFont(const TChartFont&) override {}
    void SetTextAlign(unsigned align) override { align_ = align; }
    void SetBkMode(BkMode) override {}
    void SetBkColor(TColor) override {}
    void FillRect(const TChartRect& r) override { add(Op::Fill, QRect(r.Left, r.Top, r.Width(), r.Height())); }
    void Rectangle(int l, int t, int r, int b) override { add(Op::Rect, QRect(l, t, r - l - 1, b - t - 1)); }
    void Ellipse(int l, int t, int r, int b) override { add(Op::Ellipse, QRect(l, t, r - l - 1, b - t - 1)); }
    void MoveTo(int x, int y) override { at_ = QPoint(x, y); }
    void LineTo(int x, int y) override
    {
        ops.push_back({Op::Line, {}, QLine(at_, QPoint(x, y)), pen_, brush_, clear_, {}});
        at_ = QPoint(x, y);
    }
    void TextOut(int x, int y, const std::string& t) override
    {
        const QString text = QString::fromStdString(t);
        const int w = measure_.horizontalAdvance(text);
        const int left = (align_ & TaCenter) == TaCenter ? x - w / 2 : (align_ & TaRight) ? x - w : x;
        ops.push_back({Op::Text, QRect(left, y + measure_.ascent(), w, 0), {}, pen_, brush_, clear_, text});
    }
    void ClipRectangle(const TChartRect&) override {}
    void UnClipRectangle() override {}
    TColor ColorToRGB(TColor color) override { return ::ColorToRGB(color); }

private:
    void add(Op::Kind kind, QRect box) { ops.push_back({kind, box, {}, pen_, brush_, clear_, {}}); }
    QFontMetrics measure_;
    QColor pen_, brush_;
    bool clear_ = false;
    unsigned align_ = 0;
    QPoint at_;
};

/// The anchor of DrawChart: the recorded shapes and texts drawn straight with QPainter, without the
/// chart's layout, label search and canvas rules.
void barePainter(benchmark::State& state)
{
    auto chart = reviewChart(static_cast<int>(state.range(0)));
    QImage image(770, 513, QImage::Format_RGB32);
    RecordingCanvas recorded(&image);
    chart->TCustomAxisPanel::DrawChart(recorded, 770, 513);
    QFont font(QStringLiteral("Arial"), 8);
    font.setStyleStrategy(QFont::NoAntialias);
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(font);
        for (const auto& op : recorded.ops) {
            switch (op.kind) {
            case RecordingCanvas::Op::Fill: p.fillRect(op.box, op.brush); break;
            case RecordingCanvas::Op::Line:
                p.setPen(op.pen);
                p.drawLine(op.line);
                break;
            case RecordingCanvas::Op::Rect:
            case RecordingCanvas::Op::Ellipse:
                p.setPen(op.pen);
                p.setBrush(op.brushClear ? QBrush() : QBrush(op.brush));
                if (op.kind == RecordingCanvas::Op::Rect)
                    p.drawRect(op.box);
                else
                    p.drawEllipse(op.box);
                break;
            case RecordingCanvas::Op::Text:
                p.setPen(Qt::black);
                p.drawText(op.box.topLeft(), op.text);
                break;
            }
        }
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["ops"] = static_cast<double>(recorded.ops.size());
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

/// The anchor of a clean paint: a bare widget whose paint copies an image of the chart's size.
class ImageWidget final : public QWidget {
public:
    QImage image{770, 513, QImage::Format_RGB32};
    ImageWidget()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(770, 513);
        image.fill(Qt::gray);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image);
    }
};

void paintBareImage(benchmark::State& state)
{
    ImageWidget widget;
    widget.show();
    for (int i = 0; i < 20 && !widget.windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (auto _ : state)
        widget.repaint();
}

} // namespace

BENCHMARK(barePainter)->Name("BarePainter")->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(drawChartRatio2)->Name("DrawChartRatio2")->Arg(500)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(drawChartFarOut)->Name("DrawChartFarOut")->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(paintBareImage)->Name("PaintBareImage")->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
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
