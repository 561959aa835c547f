// Zooming, panning and wheel scrolling of the chart, and the mouse rules that start them.
#include "ChartPanel.h"

#include <cmath>
#include <cstdlib>

namespace {
// Side axes in the order of the saved scales.
constexpr TAxisKind savedOrder[4] = {TAxisKind::Top, TAxisKind::Bottom, TAxisKind::Left, TAxisKind::Right};
constexpr int dragThreshold = 16;
} // namespace

std::array<TChartAxis*, 4> TCustomAxisPanel::zoomOrder()
{
    return {&LeftAxis(), &RightAxis(), &TopAxis(), &BottomAxis()};
}

void TCustomAxisPanel::saveScales()
{
    if (!ScalesRestored)
        return;
    for (std::size_t i = 0; i < 4; ++i) {
        const TChartAxis& a = *axes_[static_cast<std::size_t>(savedOrder[i])];
        savedScales_[i] = {a.Automatic(), a.AutomaticMinimum(), a.AutomaticMaximum(), a.Minimum(), a.Maximum()};
    }
    ScalesRestored = false;
}

void TCustomAxisPanel::zoomCore(const std::array<double, 4>& minima, const std::array<double, 4>& maxima)
{
    // Far out, a step would leave the doubles: it is refused and every axis keeps its range.
    for (std::size_t i = 0; i < 4; ++i)
        CheckFiniteRange(minima[i], maxima[i]);
    saveScales();
    const auto axes = zoomOrder();
    if (AnimatedZoom) {
        for (int step = 1; step < AnimatedZoomSteps; ++step) {
            for (std::size_t i = 0; i < 4; ++i) {
                TChartAxis& a = *axes[i];
                a.SetRange(a.Minimum() + (minima[i] - a.Minimum()) / 3.0,
                           a.Maximum() - (a.Maximum() - maxima[i]) / 3.0);
            }
            Repaint();
        }
    }
    for (std::size_t i = 0; i < 4; ++i)
        axes[i]->SetRange(minima[i], maxima[i]);
    IsZoomed = true;
    if (OnZoom)
        OnZoom(*this);
}

void TCustomAxisPanel::ZoomByPercent(double percent)
{
    std::array<double, 4> minima{};
    std::array<double, 4> maxima{};
    const auto axes = zoomOrder();
    for (std::size_t i = 0; i < 4; ++i) {
        const TChartAxis& a = *axes[i];
        const double lo = (a.Automatic() || a.AutomaticMinimum()) ? a.DataMinimum() : a.Minimum();
        const double hi = (a.Automatic() || a.AutomaticMaximum()) ? a.DataMaximum() : a.Maximum();
        // The product before the scaling by 0.01 may leave the doubles where the step itself does not.
        const double d = static_cast<double>(static_cast<long double>(hi - lo) * (percent - 100.0) * 0.01);
        minima[i] = lo + d;
        maxima[i] = hi - d;
    }
    zoomCore(minima, maxima);
    Repaint();
}

void TCustomAxisPanel::ZoomToRect()
{
    TZoomPanningRecord& z = ZoomDrag;
    if (z.X0 > z.X1)
        std::swap(z.X0, z.X1);
    if (z.Y0 > z.Y1)
        std::swap(z.Y0, z.Y1);
    std::array<double, 4> minima{};
    std::array<double, 4> maxima{};
    const auto axes = zoomOrder();
    for (std::size_t i = 0; i < 4; ++i) {
        const TChartAxis& a = *axes[i];
        if (a.Horizontal()) {
            minima[i] = a.PixelToValue(z.X0);
            maxima[i] = a.PixelToValue(z.X1);
        } else {
            minima[i] = a.PixelToValue(z.Y1);
            maxima[i] = a.PixelToValue(z.Y0);
        }
    }
    zoomCore(minima, maxima);
}

void TCustomAxisPanel::ResetZoom()
{
    if (!ScalesRestored) {
        for (std::size_t i = 0; i < 4; ++i) {
            TChartAxis& a = *axes_[static_cast<std::size_t>(savedOrder[i])];
            const TSavedScale& s = savedScales_[i];
            a.SetAutomatic(s.Automatic);
            a.SetAutomaticMinimum(s.AutomaticMinimum);
            a.SetAutomaticMaximum(s.AutomaticMaximum);
            if (!a.Automatic())
                a.SetRange(s.Minimum, s.Maximum);
        }
        ScalesRestored = true;
    }
    if (OnUndoZoom)
        OnUndoZoom(*this);
    Invalidate();
    IsZoomed = false;
}

bool TCustomAxisPanel::clickedPart(int x, int y)
{
    for (auto it = series_.rbegin(); it != series_.rend(); ++it)
        if ((*it)->Active() && (*it)->Clicked(x, y))
            return true;
    for (auto& a : axes_)
        if (a->Kind() != TAxisKind::Depth && a->Clicked(x, y))
            return true;
    if (PlotRect.Contains(x, y))
        for (auto& s : series_)
            if (s->Active())
                return true;
    return false;
}

void TCustomAxisPanel::ChartMouseDown(TChartMouseButton button, int x, int y)
{
    if (ZoomDrag.Active || PanDrag.Active)
        return;
    if (!clickedPart(x, y))
        return;
    if (AllowZoom && button == TChartMouseButton::mbLeft) {
        ZoomDrag.Activate(x, y);
        DrawZoomRectangleOnWindow();
    }
    if (AllowPanning != TPanningMode::pmNone && button == TChartMouseButton::mbRight)
        PanDrag.Activate(x, y);
}

bool TCustomAxisPanel::panAxes(bool horizontal, int a, int b)
{
    if (a == b)
        return false;
    const TPanningMode wanted = horizontal ? TPanningMode::pmHorizontal : TPanningMode::pmVertical;
    if (AllowPanning != wanted && AllowPanning != TPanningMode::pmBoth)
        return false;
    bool moved = false;
    for (auto& axis : axes_) {
        if (axis->Kind() == TAxisKind::Depth || axis->Horizontal() != horizontal)
            continue;
        const double shift = axis->PixelToValue(a) - axis->PixelToValue(b);
        const double lo = axis->Minimum() + shift;
        const double hi = axis->Maximum() + shift;
        // A mouse move never raises: a shift beyond the doubles leaves the axis where it is.
        if (!IsFiniteRange(lo, hi))
            continue;
        axis->SetRange(lo, hi);
        moved = moved || shift != 0.0;
    }
    return moved;
}

void TCustomAxisPanel::ChartMouseMove(int x, int y)
{
    if (ZoomDrag.Active) {
        if (x == ZoomDrag.X1 && y == ZoomDrag.Y1)
            return;
        DrawZoomRectangleOnWindow();
        ZoomDrag.X1 = x;
        ZoomDrag.Y1 = y;
        DrawZoomRectangleOnWindow();
    } else if (PanDrag.Active) {
        if (!PlotRect.Contains(x, y)) {
            PanDrag.Active = false;
            return;
        }
        if (x == PanDrag.X1 && y == PanDrag.Y1)
            return;
        saveScales();
        const bool movedX = panAxes(true, PanDrag.X1, x);
        const bool movedY = panAxes(false, PanDrag.Y1, y);
        PanDrag.X1 = x;
        PanDrag.Y1 = y;
        if (movedX || movedY) {
            if (OnScroll)
                OnScroll(*this);
            Invalidate();
        }
    }
}

void TCustomAxisPanel::ChartMouseUp(TChartMouseButton button, int x, int y)
{
    if (ZoomDrag.Active && button == TChartMouseButton::mbLeft) {
        ZoomDrag.Active = false;
        DrawZoomRectangleOnWindow();
        ZoomDrag.X1 = x;
        ZoomDrag.Y1 = y;
        if (std::abs(ZoomDrag.X1 - ZoomDrag.X0) > dragThreshold && std::abs(ZoomDrag.Y1 - ZoomDrag.Y0) > dragThreshold) {
            if (ZoomDrag.X1 > ZoomDrag.X0 && ZoomDrag.Y1 > ZoomDrag.Y0)
                ZoomToRect();
            else
                ResetZoom();
            Invalidate();
        }
    }
    PanDrag.Active = false;
}

void TCustomAxisPanel::ChartMouseLeave()
{
    PanDrag.Active = false;
}

void TCustomAxisPanel::ChartMouseWheel(bool up)
{
    std::array<double, 2> lo{};
    std::array<double, 2> hi{};
    const std::array<TChartAxis*, 2> axes{&LeftAxis(), &RightAxis()};
    for (std::size_t i = 0; i < 2; ++i) {
        const TChartAxis& a = *axes[i];
        const double d = (a.Maximum() - a.Minimum()) * 0.03;
        lo[i] = a.Minimum() + (up ? -d : d);
        hi[i] = a.Maximum() + (up ? -d : d);
        CheckFiniteRange(lo[i], hi[i]);
    }
    for (std::size_t i = 0; i < 2; ++i)
        axes[i]->SetRange(lo[i], hi[i]);
    Repaint();
}
