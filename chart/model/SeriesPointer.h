#pragma once

#include "ChartProperty.h"
#include "ChartTypes.h"

#include <functional>

enum class TSeriesPointerStyle {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot
};

class TChartCanvas;

/// The marker drawn at each point of a series. Only the circle and rectangle shapes are drawn.
class TSeriesPointer {
public:
    /// Called after every change that needs a repaint.
    std::function<void()> OnChange;

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TSeriesPointerStyle Style() const { return style_; }
    void SetStyle(TSeriesPointerStyle s);
    /// Half width in pixels; below 1 raises ChartException and keeps the old size.
    int HorizSize() const { return horizSize_; }
    void SetHorizSize(int size);
    int VertSize() const { return vertSize_; }
    void SetVertSize(int size);
    /// The automatic axes leave room for the marker at the data extremes.
    bool InflateMargins() const { return inflateMargins_; }
    void SetInflateMargins(bool v);

    TChartProperty<TChartPen, TSeriesPointer> Pen{this, {}};
    TChartProperty<TChartBrush, TSeriesPointer> Brush{this, {clUseSeriesColor, TBrushStyle::bsSolid}};
    void PropertyChanged() { changed(); }

    /// Draws the marker centred at (x, y); clUseSeriesColor in the pen or brush becomes `color`.
    void Draw(TChartCanvas& canvas, int x, int y, TColor color) const;

private:
    void changed()
    {
        if (OnChange)
            OnChange();
    }

    bool visible_ = true;
    TSeriesPointerStyle style_ = TSeriesPointerStyle::psRectangle;
    int horizSize_ = 4;
    int vertSize_ = 4;
    bool inflateMargins_ = true;
};
