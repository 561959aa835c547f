#include "ChartPanel.h"

#include "ChartCanvas.h"

#include <algorithm>

void TChartWall::PropertyChanged()
{
    chart_.Invalidate();
}

TCustomAxisPanel::TCustomAxisPanel()
{
    for (TAxisKind k : {TAxisKind::Bottom, TAxisKind::Top, TAxisKind::Left, TAxisKind::Right, TAxisKind::Depth})
        axes_.push_back(std::make_unique<TChartAxis>(*this, k));
    DepthAxis().Visible = false;
}

TCustomAxisPanel::~TCustomAxisPanel()
{
    // Series outlive nothing of the chart: detach them so that their last repaint requests go nowhere.
    for (auto& s : series_)
        s->chart_ = nullptr;
}

TChartSeries& TCustomAxisPanel::AddSeries(std::unique_ptr<TChartSeries> series)
{
    series->chart_ = this;
    series_.push_back(std::move(series));
    Invalidate();
    return *series_.back();
}

TLineSeries& TCustomAxisPanel::AddLineSeries()
{
    return static_cast<TLineSeries&>(AddSeries(std::make_unique<TLineSeries>()));
}

void TCustomAxisPanel::SetColor(TColor c)
{
    if (c != color_) {
        color_ = c;
        Invalidate();
    }
}

void TCustomAxisPanel::normalisePlotRect()
{
    TChartRect& r = PlotRect;
    r.Left = std::max(r.Left, PanelBounds.Left);
    r.Top = std::max(r.Top, PanelBounds.Top);
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    if (r.Right == r.Left)
        r.Right = r.Left + std::max(1, clientWidth_);
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    if (r.Bottom == r.Top)
        r.Bottom = r.Top + std::max(1, clientHeight_);
}

void TCustomAxisPanel::CalcPlotRect(int clientWidth, int clientHeight)
{
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    PanelBounds = {0, 0, clientWidth, clientHeight};
    const int w = PanelBounds.Width();
    const int h = PanelBounds.Height();
    PlotRect = {PanelBounds.Left + MarginLeft * w / 100 + BorderWidth,
                PanelBounds.Top + MarginTop * h / 100 + BorderWidth,
                PanelBounds.Right - MarginRight * w / 100 - BorderWidth,
                PanelBounds.Bottom - MarginBottom * h / 100 - BorderWidth};
    normalisePlotRect();
}

void TCustomAxisPanel::drawFrame(TChartCanvas& canvas, TChartRect& r, TColor topLeft, TColor bottomRight, int width)
{
    for (int k = 0; k < width && r.Right - r.Left > 1 && r.Bottom - r.Top > 1; ++k) {
        const int right = r.Right - 1;
        const int bottom = r.Bottom - 1;
        canvas.SetPen(canvas.ColorToRGB(topLeft), 1, TPenStyle::psSolid, TPenMode::pmCopy);
        canvas.MoveTo(r.Left, bottom);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(right, r.Top);
        canvas.SetPen(canvas.ColorToRGB(bottomRight), 1, TPenStyle::psSolid, TPenMode::pmCopy);
        canvas.MoveTo(right, r.Top);
        canvas.LineTo(right, bottom);
        canvas.LineTo(r.Left - 1, bottom);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

void TCustomAxisPanel::drawBevel(TChartCanvas& canvas, TChartRect& r, TPanelBevel bevel, int width)
{
    if (bevel == TPanelBevel::bvRaised)
        drawFrame(canvas, r, chartcolor::BtnHighlight, chartcolor::BtnShadow, width);
    else if (bevel == TPanelBevel::bvLowered)
        drawFrame(canvas, r, chartcolor::BtnShadow, chartcolor::BtnHighlight, width);
}

void TCustomAxisPanel::drawPanel(TChartCanvas& canvas)
{
    canvas.SetBrush(canvas.ColorToRGB(color_), TBrushStyle::bsSolid);
    canvas.FillRect(PanelBounds);
    canvas.SetBrush(canvas.ColorToRGB(color_), TBrushStyle::bsClear);
    TChartRect r = PanelBounds;
    drawBevel(canvas, r, BevelOuter, BevelWidth);
    drawFrame(canvas, r, color_, color_, BorderWidth);
    drawBevel(canvas, r, BevelInner, BevelWidth);
}

void TCustomAxisPanel::calcAxisPositions()
{
    for (auto& a : axes_)
        a->CalcPixelPositions(PlotRect);
}

void TCustomAxisPanel::CalcAxisRoom(TChartCanvas& canvas)
{
    TChartRect r = PlotRect;
    for (auto& a : axes_)
        if (a->Kind() != TAxisKind::Depth && a->IsShown())
            a->CalcRoom(r, canvas);
    PlotRect = r;
    // Labels on a tiny control can eat the whole plot; keep it at least a pixel wide and high.
    normalisePlotRect();
    calcAxisPositions();
}

void TCustomAxisPanel::drawBackWall(TChartCanvas& canvas)
{
    const TChartPen& pen = BackWall.Pen;
    const TColor wallColor = BackWall.Color;
    const TChartBrush& brush = BackWall.Brush;
    canvas.SetPen(canvas.ColorToRGB(pen.Color), pen.Width, pen.Visible ? pen.Style : TPenStyle::psClear,
                  TPenMode::pmCopy);
    if (wallColor == clUseSeriesColor && brush.Style == TBrushStyle::bsSolid)
        canvas.SetBrush(chartcolor::White, TBrushStyle::bsClear);
    else
        canvas.SetBrush(canvas.ColorToRGB(wallColor == clUseSeriesColor ? brush.Color : wallColor), brush.Style);
    canvas.Rectangle(PlotRect.Left, PlotRect.Top, PlotRect.Right + 1, PlotRect.Bottom + 1);
}

void TCustomAxisPanel::drawAxes(TChartCanvas& canvas)
{
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes(*this);
    for (auto& a : axes_)
        if (a->Kind() != TAxisKind::Depth && a->IsShown())
            a->Draw(canvas);
}

void TCustomAxisPanel::drawSeries(TChartCanvas& canvas)
{
    for (auto& s : series_) {
        if (!s->Active() || s->Count() == 0)
            continue;
        if (ClipPoints)
            canvas.ClipRectangle({PlotRect.Left + 1, PlotRect.Top + 1, PlotRect.Right, PlotRect.Bottom - 1});
        s->DrawAllPoints(canvas);
        if (ClipPoints)
            canvas.UnClipRectangle();
    }
}

void TCustomAxisPanel::DrawChart(TChartCanvas& canvas, int clientWidth, int clientHeight)
{
    CalcPlotRect(clientWidth, clientHeight);
    drawPanel(canvas);
    for (auto& a : axes_)
        a->AdjustRange();
    CalcAxisRoom(canvas);
    for (TAxisKind k : {TAxisKind::Top, TAxisKind::Left, TAxisKind::Right, TAxisKind::Bottom})
        axes_[static_cast<std::size_t>(k)]->ApplyPixelMargins(PlotRect);
    drawBackWall(canvas);
    if (AxisVisible)
        drawAxes(canvas);
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries(*this);
    drawSeries(canvas);
    if (ZoomDrag.Active)
        DrawZoomRectangle(canvas);

    canvas.SetPen(chartcolor::Black, 1, TPenStyle::psSolid, TPenMode::pmCopy);
    canvas.SetBrush(chartcolor::White, TBrushStyle::bsSolid);
    canvas.SetFont(TChartFont{"Arial", 10, chartcolor::Black});
    canvas.SetBkColor(chartcolor::White);
    canvas.SetBkMode(TChartCanvas::BkMode::Transparent);
    canvas.Finish();
    if (OnAfterDraw)
        OnAfterDraw(*this);
}

void TCustomAxisPanel::DrawZoomRectangle(TChartCanvas& canvas)
{
    TColor color = canvas.ColorToRGB(color_);
    if (color == chartcolor::White)
        color = chartcolor::Black;
    canvas.SetPen(color, 1, TPenStyle::psSolid, TPenMode::pmNotXor);
    canvas.SetBrush(color, TBrushStyle::bsClear);
    const TZoomPanningRecord& z = ZoomDrag;
    canvas.Rectangle(std::min(z.X0, z.X1), std::min(z.Y0, z.Y1), std::max(z.X0, z.X1), std::max(z.Y0, z.Y1));
    canvas.SetPen(color, 1, TPenStyle::psSolid, TPenMode::pmCopy);
}
