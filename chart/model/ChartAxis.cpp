#include "ChartAxis.h"

#include "ChartCanvas.h"
#include "ChartPanel.h"
#include "ChartSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

TChartAxis::TChartAxis(TCustomAxisPanel& chart, TAxisKind kind) : chart_(chart), kind_(kind)
{
    TickPositions.reserve(MaxTickPositions);
}

void TChartAxis::changed()
{
    chart_.Invalidate();
}

void TChartAxis::SetAutomatic(bool v)
{
    const bool differs = v != automatic_ || v != automaticMinimum_ || v != automaticMaximum_;
    automatic_ = automaticMinimum_ = automaticMaximum_ = v;
    if (differs)
        changed();
}

void TChartAxis::SetAutomaticMinimum(bool v)
{
    const bool old = automaticMinimum_;
    automaticMinimum_ = v;
    if (!v || automaticMaximum_)
        automatic_ = v;
    if (old != v)
        changed();
}

void TChartAxis::SetAutomaticMaximum(bool v)
{
    const bool old = automaticMaximum_;
    automaticMaximum_ = v;
    if (!v || automaticMinimum_)
        automatic_ = v;
    if (old != v)
        changed();
}

void TChartAxis::SetMinimum(double v)
{
    if (v > maximum_)
        throw AxisException("Der Minimalwert einer Achse muß <= Maximum sein");
    if (v != minimum_) {
        minimum_ = v;
        changed();
    }
}

void TChartAxis::SetMaximum(double v)
{
    if (v < minimum_)
        throw AxisException("Der Maximalwert einer Achse muß >= Minimum sein");
    if (v != maximum_) {
        maximum_ = v;
        changed();
    }
}

void TChartAxis::SetRange(double a, double b)
{
    automatic_ = automaticMinimum_ = automaticMaximum_ = false;
    const double lo = std::min(a, b);
    double hi = std::max(a, b);
    if (hi - lo < 1e-10)
        hi = lo + 1e-10;
    // Both ends are written together, so the order checks of the single writers do not apply.
    const bool differs = lo != minimum_ || hi != maximum_;
    minimum_ = lo;
    maximum_ = hi;
    if (differs)
        changed();
}

bool TChartAxis::IsShown() const
{
    if (!chart_.AxisVisible || !Visible)
        return false;
    bool anyActive = false;
    for (int i = 0; i < chart_.SeriesCount(); ++i) {
        const TChartSeries& s = chart_.Series(i);
        if (s.Active()) {
            anyActive = true;
            if (s.UsesAxis(*this))
                return true;
        }
    }
    return !anyActive;
}

namespace {
template <class Pick, class Better>
double dataExtreme(const TCustomAxisPanel& chart, const TChartAxis& axis, Pick pick, Better better)
{
    bool activeUser = false;
    for (int i = 0; i < chart.SeriesCount(); ++i)
        if (chart.Series(i).Active() && chart.Series(i).UsesAxis(axis))
            activeUser = true;
    bool first = true;
    double result = 0.0;
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        const TChartSeries& s = chart.Series(i);
        if ((activeUser && !s.Active()) || s.Count() == 0 || !s.UsesAxis(axis))
            continue;
        const double v = pick(axis.Horizontal() ? s.XValues() : s.YValues());
        if (first || better(v, result))
            result = v;
        first = false;
    }
    return result;
}
} // namespace

double TChartAxis::DataMinimum() const
{
    return dataExtreme(
        chart_, *this, [](const TChartValueList& l) { return l.Lowest(); },
        [](double a, double b) { return a < b; });
}

double TChartAxis::DataMaximum() const
{
    return dataExtreme(
        chart_, *this, [](const TChartValueList& l) { return l.Highest(); },
        [](double a, double b) { return a > b; });
}

void TChartAxis::AdjustRange()
{
    if (automatic_ || automaticMaximum_)
        maximum_ = DataMaximum();
    if (automatic_ || automaticMinimum_)
        minimum_ = DataMinimum();
    RangeMinimum = minimum_;
    RangeMaximum = maximum_;
    RangeSpan = RangeMaximum - RangeMinimum;
}

void TChartAxis::CalcPixelPositions(const TChartRect& plot)
{
    const int origin = Horizontal() ? plot.Left : plot.Top;
    const double extent = Horizontal() ? plot.Width() : plot.Height();
    StartPixel = SaturatedAdd(origin, Nearest(extent * StartPosition / 100.0));
    EndPixel = SaturatedAdd(origin, Nearest(extent * EndPosition / 100.0));
    AxisLength = EndPixel - StartPixel;
    CenterPixel = (StartPixel + EndPixel) / 2;
}

void TChartAxis::ApplyPixelMargins(const TChartRect& plot)
{
    int startMargin = 0;
    int endMargin = 0;
    for (int i = 0; i < chart_.SeriesCount(); ++i) {
        const TChartSeries& s = chart_.Series(i);
        if (!s.Active() || !s.UsesAxis(*this))
            continue;
        const TSeriesMargins m = s.PixelMargins();
        if (Horizontal()) {
            if (automaticMinimum_)
                startMargin = std::max(startMargin, m.Left);
            if (automaticMaximum_)
                endMargin = std::max(endMargin, m.Right);
        } else {
            if (automaticMaximum_)
                startMargin = std::max(startMargin, m.Top);
            if (automaticMinimum_)
                endMargin = std::max(endMargin, m.Bottom);
        }
    }
    const int oldStart = StartPixel;
    const int oldEnd = EndPixel;
    StartPixel += startMargin;
    EndPixel -= endMargin;
    AxisLength = EndPixel - StartPixel;
    const double a = PixelToValue(oldStart);
    const double b = PixelToValue(oldEnd);
    CalcPixelPositions(plot);
    RangeMinimum = std::min(a, b);
    RangeMaximum = std::max(a, b);
    RangeSpan = RangeMaximum - RangeMinimum;
}

int TChartAxis::ValueToPixel(double value) const
{
    if (RangeSpan == 0.0)
        return CenterPixel;
    const double t = (value - RangeMinimum) * AxisLength / RangeSpan;
    if (!(std::fabs(t) < 2147483647.0))
        return CenterPixel;
    const bool fromStart = Horizontal() != Inverted;
    return fromStart ? SaturatedAdd(StartPixel, Nearest(t)) : SaturatedAdd(EndPixel, -static_cast<long long>(Nearest(t)));
}

double TChartAxis::PixelToValue(int pixel) const
{
    if (AxisLength < 1)
        return 0.0;
    const double d = Inverted ? static_cast<double>(EndPixel) - pixel : static_cast<double>(pixel) - StartPixel;
    double v = Horizontal() ? RangeMinimum + d * RangeSpan / AxisLength : RangeMaximum - d * RangeSpan / AxisLength;
    if (std::isfinite(v))
        return v;
    // A range near the largest double: d x span (or the span itself) may overflow where the value does
    // not, and a pixel far outside the plot may lie beyond every double. The readout must get a number:
    // the wider exponent of long double holds the exact course, and the result is cut to the doubles.
    const long double span = static_cast<long double>(RangeMaximum) - RangeMinimum;
    const long double w = Horizontal() ? RangeMinimum + d * span / AxisLength : RangeMaximum - d * span / AxisLength;
    if (std::isnan(w))
        return 0.0;
    constexpr long double largest = std::numeric_limits<double>::max();
    return static_cast<double>(std::clamp(w, -largest, largest));
}

int TChartAxis::MaxLabelCount(TTextMeasure& measure) const
{
    int s = 0;
    if (Horizontal())
        s = std::max(measure.TextWidth(LabelText(RangeMinimum)), measure.TextWidth(LabelText(RangeMaximum)));
    else
        s = measure.TextHeight("W");
    if (s <= 0)
        return 1;
    const int e = LabelsSeparation > 0 ? Nearest(LabelsSeparation * 0.01 * s) : 0;
    return Nearest(static_cast<double>(AxisLength) / (s + e));
}

double TChartAxis::LabelIncrement(int maxLabelCount) const
{
    constexpr double minStep = 1e-12;
    if (maxLabelCount < 1)
        return minStep;
    double step = Increment > 0.0 ? Increment : (std::fabs(RangeSpan) >= 1.0 ? 1.0 : minStep);
    if (LabelsSeparation > 0) {
        // Every step up to span / (count + 1) gives too many labels, so the search may start from the
        // largest such member of the sequence: it ends on the same step in a few passes instead of
        // one pass per step up from 1e-12 (about 900 for a range near the largest double).
        const double skip = LargestLabelStepAtMost(std::fabs(RangeSpan) / (maxLabelCount + 1.0) / 2.0);
        if (skip > step)
            step = skip;
        long long count = static_cast<long long>(maxLabelCount) + 1;
        do {
            const double q = RangeSpan / step;
            if (std::fabs(q) < 2147483647.0) {
                count = Nearest(q);
                if (count > maxLabelCount)
                    step = NextLabelStep(step);
            } else {
                step = NextLabelStep(step);
            }
            // A step that cannot grow any more would never end the search.
        } while (count > maxLabelCount && std::isfinite(step));
    }
    return std::max(step, minStep);
}

double TChartAxis::CalcIncrement(TTextMeasure& measure) const
{
    return LabelIncrement(MaxLabelCount(measure));
}

std::string TChartAxis::LabelText(double value) const
{
    return FormatAxisValue(value, chart_.Separators);
}

std::vector<double> TChartAxis::LabelValues(double i) const
{
    std::vector<double> values;
    if (!(i > 0.0) || !(std::fabs(RangeSpan / i) < 10000.0))
        return values;
    double v = (RangeMinimum == RangeMaximum || !RoundFirstLabel) ? RangeMaximum : std::trunc(RangeMaximum / i) * i;
    // A step below the resolution of v would leave v unchanged; stop instead of looping for ever.
    while (v > RangeMaximum) {
        const double next = v - i;
        if (next == v)
            return values;
        v = next;
    }
    const double low = (RangeMinimum - 1e-12) / 1.000000000001;
    while (v >= low) {
        values.push_back(v);
        const double next = v - i;
        if (next == v)
            break;
        v = next;
    }
    return values;
}

void TChartAxis::CalcRoom(TChartRect& rect, TChartCanvas& canvas)
{
    canvas.SetFont(LabelsFont);
    if (Labels) {
        int size = LabelsSize;
        if (size == 0) {
            if (Horizontal()) {
                size = canvas.TextHeight("W");
            } else {
                // The step of the previous layout's axis length; 0 before the first paint gives the range ends.
                const double i = CalcIncrement(canvas);
                double a = RangeMinimum;
                double b = RangeMaximum;
                if (RoundFirstLabel) {
                    a = std::trunc(RangeMinimum / i) * i;
                    b = std::trunc(RangeMaximum / i) * i;
                }
                size = std::max(canvas.TextWidth(LabelText(a)), canvas.TextWidth(LabelText(b))) +
                       canvas.TextWidth(" ");
            }
            // However long the labels, half of the extent stays for the plot; what is longer is cut
            // off at the control's edge.
            size = std::min(size, std::max(0, (Horizontal() ? rect.Height() : rect.Width()) / 2));
        }
        switch (kind_) {
        case TAxisKind::Bottom: rect.Bottom -= size; LabelsPosition = rect.Bottom; break;
        case TAxisKind::Top: rect.Top += size; LabelsPosition = rect.Top; break;
        case TAxisKind::Left: rect.Left += size; LabelsPosition = rect.Left; break;
        case TAxisKind::Right: rect.Right -= size; LabelsPosition = rect.Right; break;
        case TAxisKind::Depth: break;
        }
    }
    int ticks = (AxisPen->Visible ? AxisPen->Width : 0) + (Ticks->Visible ? TickLength : 0);
    if (MinorTicks->Visible)
        ticks = std::max(ticks, MinorTickLength());
    switch (kind_) {
    case TAxisKind::Bottom: rect.Bottom -= ticks; break;
    case TAxisKind::Top: rect.Top += ticks; break;
    case TAxisKind::Left: rect.Left += ticks; break;
    case TAxisKind::Right: rect.Right -= ticks; break;
    case TAxisKind::Depth: break;
    }
}

void TChartAxis::addTick(int p)
{
    if (TickPositions.size() < MaxTickPositions)
        TickPositions.push_back(p);
}

void TChartAxis::drawLabel(TChartCanvas& canvas, double value, int fontHeight)
{
    const int p = ValueToPixel(value);
    if (!LabelsOnAxis && !(p > StartPixel && p < EndPixel))
        return;
    if (!TickOnLabelsOnly)
        addTick(p);
    if (!Labels)
        return;
    if (TickOnLabelsOnly)
        addTick(p);
    const std::string text = LabelText(value);
    switch (kind_) {
    case TAxisKind::Bottom:
        canvas.SetTextAlign(TChartCanvas::TaCenter | TChartCanvas::TaTop);
        canvas.TextOut(p, LabelsPosition, text);
        break;
    case TAxisKind::Top:
        canvas.SetTextAlign(TChartCanvas::TaCenter | TChartCanvas::TaBottom);
        canvas.TextOut(p, LabelsPosition, text);
        break;
    case TAxisKind::Left:
        canvas.SetTextAlign(TChartCanvas::TaRight | TChartCanvas::TaTop);
        canvas.TextOut(LabelsPosition, p - fontHeight / 2, text);
        break;
    case TAxisKind::Right:
        canvas.SetTextAlign(TChartCanvas::TaLeft | TChartCanvas::TaTop);
        canvas.TextOut(LabelsPosition, p - fontHeight / 2, text);
        break;
    case TAxisKind::Depth: break;
    }
}

void TChartAxis::drawTick(TChartCanvas& canvas, int p, int offset, int length)
{
    // offset and length count away from the plot; negative values point into it.
    switch (kind_) {
    case TAxisKind::Bottom:
        canvas.MoveTo(p, AxisPosition + offset);
        canvas.LineTo(p, AxisPosition + offset + length);
        break;
    case TAxisKind::Top:
        canvas.MoveTo(p, AxisPosition - offset);
        canvas.LineTo(p, AxisPosition - offset - length);
        break;
    case TAxisKind::Left:
        canvas.MoveTo(AxisPosition - offset, p);
        canvas.LineTo(AxisPosition - offset - length, p);
        break;
    case TAxisKind::Right:
        canvas.MoveTo(AxisPosition + offset, p);
        canvas.LineTo(AxisPosition + offset + length, p);
        break;
    case TAxisKind::Depth: break;
    }
}

void TChartAxis::drawMinorTicks(TChartCanvas& canvas)
{
    const int n = MinorTickCount;
    const std::size_t count = TickPositions.size();
    if (n < 1 || count == 0)
        return;
    canvas.SetPen(canvas.ColorToRGB(MinorTicks->Color), MinorTicks->Width, MinorTicks->Style, TPenMode::pmCopy);
    auto draw = [&](int p) {
        if (p > StartPixel && p < EndPixel)
            drawTick(canvas, p, 1, MinorTickLength);
    };
    for (std::size_t k = 1; k < count; ++k) {
        const int a = TickPositions[k - 1];
        const int b = TickPositions[k];
        for (int j = 1; j <= n; ++j)
            draw(b - Nearest(static_cast<double>(b - a) / (n + 1) * j));
    }
    if (count >= 2) {
        const double d = static_cast<double>(TickPositions[1] - TickPositions[0]) / (n + 1);
        for (int j = 1; j <= n; ++j) {
            draw(TickPositions.front() - Nearest(d * j));
            draw(TickPositions.back() + Nearest(d * j));
        }
    }
}

void TChartAxis::Draw(TChartCanvas& canvas)
{
    const TChartRect& plot = chart_.PlotRect;
    canvas.SetFont(LabelsFont);
    const double increment = CalcIncrement(canvas);
    const int across = Nearest((Horizontal() ? plot.Height() : plot.Width()) * PositionPercent / 100.0);
    switch (kind_) {
    case TAxisKind::Bottom: AxisPosition = plot.Bottom - across; break;
    case TAxisKind::Top: AxisPosition = plot.Top + across; break;
    case TAxisKind::Left: AxisPosition = plot.Left + across; break;
    case TAxisKind::Right: AxisPosition = plot.Right - across; break;
    case TAxisKind::Depth: return;
    }

    TickPositions.clear();
    if (increment > 0.0 && RangeMaximum >= RangeMinimum) {
        canvas.SetBrush(chart_.Color(), TBrushStyle::bsClear);
        canvas.SetBkMode(TChartCanvas::BkMode::Transparent);
        const int fontHeight = canvas.TextHeight("W");
        for (double v : LabelValues(increment))
            drawLabel(canvas, v, fontHeight);
    }

    if (AxisPen->Visible) {
        canvas.SetPen(canvas.ColorToRGB(AxisPen->Color), AxisPen->Width, AxisPen->Style, TPenMode::pmCopy);
        if (Horizontal()) {
            canvas.MoveTo(StartPixel, AxisPosition);
            canvas.LineTo(EndPixel, AxisPosition);
        } else {
            canvas.MoveTo(AxisPosition, StartPixel);
            canvas.LineTo(AxisPosition, EndPixel);
        }
    }

    if (Ticks->Visible) {
        canvas.SetPen(canvas.ColorToRGB(Ticks->Color), Ticks->Width, Ticks->Style, TPenMode::pmCopy);
        for (int p : TickPositions)
            drawTick(canvas, p, 1, TickLength);
    }

    if (Grid->Visible) {
        canvas.SetBrush(chart_.Color(), TBrushStyle::bsClear);
        canvas.SetBkMode(TChartCanvas::BkMode::Transparent);
        const TColor color = Grid->Color == clUseSeriesColor ? chartcolor::Gray : Grid->Color;
        canvas.SetPen(canvas.ColorToRGB(color), Grid->Width, Grid->Style, TPenMode::pmCopy);
        auto line = [&](int p) {
            if (Horizontal()) {
                canvas.MoveTo(p, plot.Top);
                canvas.LineTo(p, plot.Bottom);
            } else {
                canvas.MoveTo(plot.Left, p);
                canvas.LineTo(plot.Right, p);
            }
        };
        if (GridCentered) {
            for (std::size_t k = 1; k < TickPositions.size(); ++k)
                line(Nearest((TickPositions[k - 1] + TickPositions[k]) * 0.5));
        } else {
            for (int p : TickPositions)
                line(p);
        }
        canvas.SetBkMode(TChartCanvas::BkMode::Opaque);
    }

    if (TicksInner->Visible && TickInnerLength != 0) {
        canvas.SetPen(canvas.ColorToRGB(TicksInner->Color), TicksInner->Width, TicksInner->Style, TPenMode::pmCopy);
        for (int p : TickPositions)
            drawTick(canvas, p, -1, -TickInnerLength);
    }

    if (MinorTicks->Visible)
        drawMinorTicks(canvas);
}

bool TChartAxis::Clicked(int x, int y) const
{
    if (!IsShown())
        return false;
    const int lo = std::min(AxisPosition, LabelsPosition) - 3;
    const int hi = std::max(AxisPosition, LabelsPosition) + 3;
    const int along = Horizontal() ? x : y;
    const int across = Horizontal() ? y : x;
    return along >= StartPixel && along <= EndPixel && across >= lo && across <= hi;
}
