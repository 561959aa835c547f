#include "Canvas.h"

#include <QFontMetrics>

Canvas::Canvas(QPaintDevice* device) : painter_(device)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    font_ = painter_.font();
}

Canvas::~Canvas() = default;

void Canvas::End()
{
    if (painter_.isActive())
        painter_.end();
}

QFontMetrics Canvas::metrics() const
{
    // Measured for the device drawn on: its resolution, not the screen's, gives the font its pixel size.
    return painter_.device() ? QFontMetrics(font_, painter_.device()) : QFontMetrics(font_);
}

void Canvas::fillDotGaps(const QLine& line)
{
    if (pen_.style != PenStyle::Dot || bkMode_ != BkMode::Opaque || pen_.mode != PenMode::Copy)
        return;
    QPen gaps(ToQColor(bkColor_));
    gaps.setWidth(pen_.width < 1 ? 1 : pen_.width);
    gaps.setCapStyle(Qt::FlatCap);
    painter_.setPen(gaps);
    painter_.drawLine(line);
    applyPen();
}

void Canvas::applyPen()
{
    if (pen_.style == PenStyle::Clear) {
        painter_.setPen(Qt::NoPen);
    } else {
        QPen p(ToQColor(pen_.color));
        p.setWidth(pen_.width < 1 ? 1 : pen_.width);
        // Flat caps leave the end point of a line unpainted, as GDI does.
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        p.setStyle(pen_.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
        painter_.setPen(p);
    }
    painter_.setCompositionMode(pen_.mode == PenMode::NotXor
                                    ? QPainter::RasterOp_NotSourceXorDestination
                                    : QPainter::CompositionMode_SourceOver);
}

void Canvas::applyBrush()
{
    if (brush_.style == BrushStyle::Clear)
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(ToQColor(brush_.color));
}

void Canvas::FillRect(int l, int t, int r, int b)
{
    if (r <= l || b <= t)
        return;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(QRect(l, t, r - l, b - t), ToQColor(brush_.color));
}

void Canvas::Rectangle(int l, int t, int r, int b)
{
    if (r <= l || b <= t)
        return;
    applyPen();
    applyBrush();
    if (pen_.style == PenStyle::Clear) {
        // Without a pen GDI fills one pixel less on the right and bottom.
        if (brush_.style != BrushStyle::Clear && r - l > 1 && b - t > 1)
            painter_.fillRect(QRect(l, t, r - l - 1, b - t - 1), ToQColor(brush_.color));
        return;
    }
    painter_.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

void Canvas::Ellipse(int l, int t, int r, int b)
{
    if (r <= l || b <= t)
        return;
    applyPen();
    applyBrush();
    painter_.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void Canvas::MoveTo(int x, int y)
{
    penPos_ = QPoint(x, y);
}

void Canvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    if (pen_.style != PenStyle::Clear && to != penPos_ && painter_.isActive()) {
        applyPen();
        fillDotGaps(QLine(penPos_, to));
        painter_.drawLine(penPos_, to);
    }
    penPos_ = to;
}

void Canvas::TextOut(int x, int y, const QString& text)
{
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setFont(font_);
    const QFontMetrics fm = metrics();
    const int w = fm.horizontalAdvance(text);
    const int h = fm.height();
    int left = x;
    if ((textAlign_ & TaCenter) == TaCenter)
        left = x - w / 2;
    else if (textAlign_ & TaRight)
        left = x - w;
    const int top = (textAlign_ & TaBottom) ? y - h : y;
    if (bkMode_ == BkMode::Opaque)
        painter_.fillRect(QRect(left, top, w, h), ToQColor(bkColor_));
    painter_.setPen(ToQColor(fontColor_));
    painter_.drawText(QPoint(left, top + fm.ascent()), text);
}

int Canvas::TextWidth(const QString& text) const
{
    return metrics().horizontalAdvance(text);
}

int Canvas::TextHeight(const QString&) const
{
    return metrics().height();
}

void Canvas::IntersectClipRect(int l, int t, int r, int b)
{
    const QRect rect(l, t, r > l ? r - l : 0, b > t ? b - t : 0);
    painter_.setClipRect(rect, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void Canvas::RemoveClip()
{
    painter_.setClipping(false);
}

void Canvas::Draw(int x, int y, const QImage& image)
{
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(x, y, image);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}
