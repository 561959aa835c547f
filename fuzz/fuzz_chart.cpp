// The chart's axes, zoom, pan, wheel and labels driven through absurd ranges the way the review window
// drives them (its equal-scale adjustment included), against the rules that keep the plot usable:
// - a zoom or wheel step beyond the doubles is refused with "Gleitkommaüberlauf" (a NaN with
//   "Ungültige Gleitkommaoperation") and changes no axis;
// - no zoom, pan or wheel step leaves an axis it changed with a range outside the doubles;
// - a mouse move never raises, and every pixel in and around the control reads as a finite number;
// - no label is longer than "-999,999,999,999,999,999", and the plot keeps half of the control;
// - every drawing ends (the fuzzer's timeout catches a label search that does not).
//
// Input: width and height (2 bytes each), a point count (1 byte) and that many x, y pairs (8-byte
// doubles), then operations: an opcode byte and its operands, until the input ends.
#include "ChartCanvas.h"
#include "ChartPanel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;

    bool Empty() const { return size == 0; }
    template <class T>
    T Take()
    {
        T v{};
        const std::size_t n = std::min(sizeof v, size);
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    /// Any finite double: the program's data and the review window's arithmetic never hold others.
    double Finite()
    {
        const double v = Take<double>();
        return std::isfinite(v) ? v : 0.0;
    }
    int Coordinate() { return Take<std::int16_t>() % 3000; }
};

/// Measures text as a fixed-size font would (7 pixels a character, 13 high) and keeps the longest label.
class MeasuringCanvas final : public TChartCanvas {
public:
    std::size_t longest = 0;

    int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 13; }
    void TextOut(int, int, const std::string& text) override { longest = std::max(longest, text.size()); }
    void SetPen(TColor, int, TPenStyle, TPenMode) override {}
    void SetBrush(TColor, TBrushStyle) override {}
    void SetFont(const TChartFont&) override {}
    void SetTextAlign(unsigned) override {}
    void SetBkMode(BkMode) override {}
    void SetBkColor(TColor) override {}
    void FillRect(const TChartRect&) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void ClipRectangle(const TChartRect&) override {}
    void UnClipRectangle() override {}
    TColor ColorToRGB(TColor color) override { return color; }
};

bool ProgramMessage(const std::string& m)
{
    return m == "Gleitkommaüberlauf" || m == "Ungültige Gleitkommaoperation" ||
           m == "Der Minimalwert einer Achse muß <= Maximum sein" ||
           m == "Der Maximalwert einer Achse muß >= Minimum sein";
}

struct AxisState {
    bool automatic;
    double minimum, maximum;
    bool operator==(const AxisState& o) const
    {
        // Bitwise, so that a NaN that stays a NaN counts as unchanged.
        return automatic == o.automatic && std::memcmp(&minimum, &o.minimum, sizeof minimum) == 0 &&
               std::memcmp(&maximum, &o.maximum, sizeof maximum) == 0;
    }
};

/// The review window's chart: margins 0, one line series with 3 x 3 circle markers, and its
/// zoom handlers with the pending-rescale flag and the equal-scale adjustment.
class ReviewChart final : public TCustomAxisPanel {
public:
    int width = 770;
    int height = 513;
    int tag = 0;
    TLineSeries* series = nullptr;

    ReviewChart()
    {
        View3D = false;
        MarginLeft = MarginTop = MarginRight = MarginBottom = 0;
        series = &AddLineSeries();
        series->Pointer().SetVisible(true);
        series->Pointer().SetStyle(TSeriesPointerStyle::psCircle);
        series->Pointer().SetHorizSize(3);
        series->Pointer().SetVertSize(3);
        series->XValues().Order = TChartListOrder::loNone;
        OnZoom = [this](TCustomAxisPanel&) {
            if (tag == 0)
                tag = 1;
        };
        OnUndoZoom = [this](TCustomAxisPanel&) {
            tag = 2;
            ZoomByPercent(90.0);
        };
        OnAfterDraw = [this](TCustomAxisPanel&) {
            if (tag == 1 || tag == 2) {
                tag = 0;
                const double a = static_cast<double>(PlotHeight()) / static_cast<double>(PlotWidth());
                const double s = BottomAxis().Maximum() - BottomAxis().Minimum();
                const double c = (LeftAxis().Minimum() + LeftAxis().Maximum()) / 2.0;
                LeftAxis().SetMinimum(c - a * s / 2.0);
                LeftAxis().SetMaximum(c + a * s / 2.0);
                Repaint();
            }
        };
    }

    std::array<AxisState, 4> Axes()
    {
        std::array<AxisState, 4> s{};
        for (int i = 0; i < 4; ++i)
            s[static_cast<std::size_t>(i)] = {Axis(i).Automatic(), Axis(i).Minimum(), Axis(i).Maximum()};
        return s;
    }

    /// The paints the window would run: drawing until no repaint is pending (the adjustment asks once).
    void Paint()
    {
        for (int pass = 0; pass < 4 && Dirty; ++pass) {
            Dirty = false;
            MeasuringCanvas canvas;
            DrawChart(canvas, width, height);
            if (canvas.longest > 24)
                Fail("label longer than 24 characters");
            if (width >= 40 && (PlotWidth() < width / 2 - 6))
                Fail("plot narrower than half the control", std::to_string(PlotWidth()));
            if (height >= 40 && (PlotHeight() < height / 2 - 6))
                Fail("plot lower than half the control", std::to_string(PlotHeight()));
        }
    }

    void CheckReadout()
    {
        for (const int x : {-700, -1, 0, width / 2, width - 1, width + 700})
            if (!std::isfinite(series->PixelToXValue(x)) || !std::isfinite(series->PixelToYValue(x)))
                Fail("a pixel reads as no number", std::to_string(x));
    }
};

/// Runs one zoom or wheel step: it either succeeds with every axis it changed inside the doubles, or
/// is refused with a floating-point message and changes nothing.
template <class Step>
void RangeStep(ReviewChart& chart, Step step, bool fromReset = false)
{
    const auto before = chart.Axes();
    try {
        step();
    } catch (const ChartException& e) {
        if (!ProgramMessage(e.what()))
            Fail("unexpected message", e.what());
        // A reset restores the saved scales before its handler's zoom is refused.
        if (!fromReset && chart.Axes() != before)
            Fail("a refused step changed an axis", e.what());
        return;
    }
    const auto after = chart.Axes();
    for (int i = 0; i < 4; ++i) {
        const AxisState& a = after[static_cast<std::size_t>(i)];
        if (!(a == before[static_cast<std::size_t>(i)]) && !a.automatic && !IsFiniteRange(a.minimum, a.maximum))
            Fail("a step left an axis outside the doubles", std::to_string(i));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    ReviewChart chart;
    chart.width = 1 + in.Take<std::uint16_t>() % 2000;
    chart.height = 1 + in.Take<std::uint16_t>() % 2000;
    const int points = in.Take<std::uint8_t>() % 17;
    for (int i = 0; i < points && !in.Empty(); ++i) {
        const double x = in.Finite();
        chart.series->AddPoint(x, in.Finite());
    }
    // What every recompute ends with.
    RangeStep(chart, [&] { chart.ResetZoom(); }, true);

    for (int op = 0; op < 64 && !in.Empty(); ++op) {
        switch (in.Take<std::uint8_t>() % 10) {
        case 0: { // wheel-down notches over the chart, up to a few thousand
            const int notches = 1 + in.Take<std::uint8_t>() * 16;
            for (int i = 0; i < notches; ++i) {
                const auto before = chart.Axes();
                RangeStep(chart, [&] { chart.ZoomByPercent(90.0); });
                if (chart.Axes() == before)
                    break;
            }
            break;
        }
        case 1: { // any percentage
            const double percent = in.Finite();
            RangeStep(chart, [&] { chart.ZoomByPercent(percent); });
            break;
        }
        case 2: { // a range set from code, far beyond anything the data give
            const int axis = in.Take<std::uint8_t>() % 4;
            const double a = in.Finite();
            const double b = in.Finite();
            chart.Axis(axis).SetRange(a, b);
            break;
        }
        case 3: { // a mouse zoom (or reset) by a dragged rectangle
            const int x0 = in.Coordinate(), y0 = in.Coordinate(), x1 = in.Coordinate(), y1 = in.Coordinate();
            chart.Paint();
            RangeStep(chart, [&] {
                chart.ChartMouseDown(TChartMouseButton::mbLeft, x0, y0);
                chart.ChartMouseMove(x1, y1);
                chart.ChartMouseUp(TChartMouseButton::mbLeft, x1, y1);
            }, true);
            break;
        }
        case 4: { // a pan with the right button: mouse moves only, so nothing may be raised
            const int x0 = in.Coordinate(), y0 = in.Coordinate(), x1 = in.Coordinate(), y1 = in.Coordinate();
            chart.Paint();
            const auto before = chart.Axes();
            try {
                chart.ChartMouseDown(TChartMouseButton::mbRight, x0, y0);
                chart.ChartMouseMove(x1, y1);
                chart.ChartMouseUp(TChartMouseButton::mbRight, x1, y1);
            } catch (const std::exception& e) {
                Fail("a pan raised", e.what());
            }
            const auto after = chart.Axes();
            for (int i = 0; i < 4; ++i) {
                const AxisState& a = after[static_cast<std::size_t>(i)];
                if (!(a == before[static_cast<std::size_t>(i)]) && !IsFiniteRange(a.minimum, a.maximum))
                    Fail("a pan left an axis outside the doubles", std::to_string(i));
            }
            break;
        }
        case 5: {
            const bool up = in.Take<std::uint8_t>() & 1;
            RangeStep(chart, [&] { chart.ChartMouseWheel(up); });
            break;
        }
        case 6:
            RangeStep(chart, [&] { chart.ResetZoom(); }, true);
            break;
        case 7: { // a mouse move over (or beside) the chart
            const int x = in.Coordinate(), y = in.Coordinate();
            try {
                chart.ChartMouseMove(x, y);
            } catch (const std::exception& e) {
                Fail("a mouse move raised", e.what());
            }
            break;
        }
        case 8: { // a wished label step, tiny or huge
            TChartAxis& axis = in.Take<std::uint8_t>() & 1 ? chart.LeftAxis() : chart.BottomAxis();
            axis.Increment = std::fabs(in.Finite());
            break;
        }
        default:
            chart.width = 1 + in.Take<std::uint16_t>() % 2000;
            chart.height = 1 + in.Take<std::uint16_t>() % 2000;
            chart.Invalidate();
            break;
        }
        try {
            chart.Paint();
        } catch (const ChartException& e) {
            // The adjustment's own writers may refuse an order the arithmetic could not keep.
            if (!ProgramMessage(e.what()))
                Fail("unexpected message while drawing", e.what());
        }
        chart.CheckReadout();
    }
    return 0;
}
