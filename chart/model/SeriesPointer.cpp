#include "SeriesPointer.h"

#include "ChartCanvas.h"

namespace {
void checkSize(int size)
{
    if (size < 1)
        throw ChartException("Die Größe des Pointers muß > 0 sein.");
}
} // namespace

void TSeriesPointer::SetVisible(bool v)
{
    if (v != visible_) {
        visible_ = v;
        changed();
    }
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle s)
{
    if (s != style_) {
        style_ = s;
        changed();
    }
}

void TSeriesPointer::SetHorizSize(int size)
{
    checkSize(size);
    if (size != horizSize_) {
        horizSize_ = size;
        changed();
    }
}

void TSeriesPointer::SetVertSize(int size)
{
    checkSize(size);
    if (size != vertSize_) {
        vertSize_ = size;
        changed();
    }
}

void TSeriesPointer::SetInflateMargins(bool v)
{
    if (v != inflateMargins_) {
        inflateMargins_ = v;
        changed();
    }
}

void TSeriesPointer::Draw(TChartCanvas& canvas, int x, int y, TColor color) const
{
    const TChartPen& pen = Pen;
    const TChartBrush& brush = Brush;
    if (pen.Visible)
        canvas.SetPen(pen.Color == clUseSeriesColor ? color : pen.Color, pen.Width, pen.Style, TPenMode::pmCopy);
    else
        canvas.SetPen(pen.Color, pen.Width, TPenStyle::psClear, TPenMode::pmCopy);
    canvas.SetBrush(brush.Color == clUseSeriesColor ? color : brush.Color, brush.Style);
    const int h = horizSize_;
    const int v = vertSize_;
    switch (style_) {
    case TSeriesPointerStyle::psCircle:
        canvas.Ellipse(x - h, y - v, x + h, y + v);
        break;
    case TSeriesPointerStyle::psRectangle:
        canvas.Rectangle(x - h, y - v, x + h + 1, y + v + 1);
        break;
    default:
        // Only the circle and the rectangle are ever configured.
        break;
    }
}
