#include "ChartSeries.h"

#include "ChartAxis.h"
#include "ChartCanvas.h"
#include "ChartPanel.h"

#include <algorithm>

TChartSeries::TChartSeries()
{
    xValues_.OnChange = [this] { Repaint(); };
    yValues_.OnChange = [this] { Repaint(); };
}

void TChartSeries::Repaint()
{
    if (chart_)
        chart_->Invalidate();
}

void TChartSeries::SetSeriesColor(TColor c)
{
    if (c != seriesColor_) {
        seriesColor_ = c;
        Repaint();
    }
}

void TChartSeries::SetActive(bool a)
{
    if (a != active_) {
        active_ = a;
        Repaint();
    }
}

int TChartSeries::AddPoint(double x, double y, const std::string& label, TColor color)
{
    xValues_.PendingValue = x;
    yValues_.PendingValue = y;
    if (OnBeforeAdd && !OnBeforeAdd(*this))
        return -1;
    const int index = xValues_.AppendValue(x);
    yValues_.InsertValueAt(index, y);
    colors_.insert(colors_.begin() + index, color);
    labels_.insert(labels_.begin() + index, label);
    if (OnAfterAdd)
        OnAfterAdd(*this, index);
    if (active_)
        Repaint();
    return index;
}

void TChartSeries::ClearPoints()
{
    xValues_.RemoveAll();
    yValues_.RemoveAll();
    colors_.clear();
    labels_.clear();
    if (OnClearValues)
        OnClearValues(*this);
    if (active_)
        Repaint();
}

TColor TChartSeries::PointColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(colors_.size()))
        return seriesColor_;
    const TColor c = colors_[static_cast<std::size_t>(index)];
    return c == clUseSeriesColor ? seriesColor_ : c;
}

void TChartSeries::SetPointColor(int index, TColor color)
{
    TColor& c = colors_.at(static_cast<std::size_t>(index));
    if (c != color) {
        c = color;
        Repaint();
    }
}

const std::string& TChartSeries::PointLabel(int index) const
{
    return labels_.at(static_cast<std::size_t>(index));
}

TChartAxis& TChartSeries::GetHorizAxis() const
{
    if (!chart_)
        throw ChartException("Series has no chart");
    return HorizAxis == THorizAxis::aTopAxis ? chart_->TopAxis() : chart_->BottomAxis();
}

TChartAxis& TChartSeries::GetVertAxis() const
{
    if (!chart_)
        throw ChartException("Series has no chart");
    return VertAxis == TVertAxis::aRightAxis ? chart_->RightAxis() : chart_->LeftAxis();
}

bool TChartSeries::UsesAxis(const TChartAxis& axis) const
{
    if (!chart_)
        return false;
    return axis.Horizontal() ? &GetHorizAxis() == &axis : &GetVertAxis() == &axis;
}

int TChartSeries::PointPixelX(int index) const
{
    return GetHorizAxis().ValueToPixel(xValues_.ValueAt(index));
}

int TChartSeries::PointPixelY(int index) const
{
    return GetVertAxis().ValueToPixel(yValues_.ValueAt(index));
}

double TChartSeries::PixelToXValue(int x) const
{
    return GetHorizAxis().PixelToValue(x);
}

double TChartSeries::PixelToYValue(int y) const
{
    return GetVertAxis().PixelToValue(y);
}

bool TChartSeries::Clicked(int, int) const
{
    return false;
}

TCustomSeries::TCustomSeries()
{
    pointer_.OnChange = [this] { Repaint(); };
}

TSeriesMargins TCustomSeries::PixelMargins() const
{
    TSeriesMargins m;
    if (pointer_.Visible() && pointer_.InflateMargins()) {
        m.Left = m.Right = std::max(0, pointer_.HorizSize() + 1);
        m.Top = m.Bottom = std::max(0, pointer_.VertSize() + 1);
    }
    return m;
}

bool TCustomSeries::Clicked(int x, int y) const
{
    if (!pointer_.Visible() || !chart_)
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (PointColor(i) == clNone)
            continue;
        const int px = PointPixelX(i);
        const int py = PointPixelY(i);
        if (std::abs(px - x) <= pointer_.HorizSize() && std::abs(py - y) <= pointer_.VertSize())
            return true;
    }
    return false;
}

void TCustomSeries::DrawAllPoints(TChartCanvas& canvas)
{
    const int n = Count();
    if (n == 0)
        return;
    // With an unordered X list every point is visible; cutting to the plot's extent needs ordered X.
    const int first = 0;
    const int last = n - 1;
    constexpr int guard = 32766;
    for (int i = first; i <= last; ++i) {
        const TColor color = PointColor(i);
        const int x = PointPixelX(i);
        const int y = PointPixelY(i);
        if (x >= -guard && x <= guard && y >= -guard && y <= guard) {
            if (prevColor_ == clNone) {
                prevX_ = x;
                prevY_ = y;
            }
            if (i == first) {
                if (i == last && pointer_.Visible())
                    pointer_.Draw(canvas, x, y, color);
            } else {
                if ((x != prevX_ || y != prevY_) && color != clNone) {
                    canvas.SetPen(color, LinePen->Width, LinePen->Visible ? LinePen->Style : TPenStyle::psClear,
                                  TPenMode::pmCopy);
                    canvas.SetBrush(color, TBrushStyle::bsClear);
                    canvas.MoveTo(prevX_, prevY_);
                    canvas.LineTo(x, y);
                }
                if (pointer_.Visible()) {
                    if (prevColor_ != clNone)
                        pointer_.Draw(canvas, prevX_, prevY_, prevColor_);
                    if (i == last && color != clNone)
                        pointer_.Draw(canvas, x, y, color);
                }
            }
            prevX_ = x;
            prevY_ = y;
        }
        prevColor_ = color;
    }
}

TLineSeries::TLineSeries()
{
    pointer_.OnChange = nullptr;
    pointer_.SetVisible(false);
    pointer_.OnChange = [this] { Repaint(); };
}
