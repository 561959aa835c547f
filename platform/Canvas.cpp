#include "Canvas.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>

Canvas::Canvas(QPaintDevice* device) : painter_(device), ratio_(device ? device->devicePixelRatio() : 1.0)
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

void Canvas::fillDotGaps(QPoint from, QPoint to)
{
    if (pen_.style != PenStyle::Dot || bkMode_ != BkMode::Opaque || pen_.mode != PenMode::Copy)
        return;
    QPen gaps(ToQColor(bkColor_));
    gaps.setWidth(pen_.width < 1 ? 1 : pen_.width);
    gaps.setCapStyle(Qt::FlatCap);
    painter_.setPen(gaps);
    strokeLine(from, to);
    applyPen();
}

QPointF Canvas::penCentre() const
{
    // A logical pixel (x, y) covers (x, y) .. (x + 1, y + 1): a pen of odd width is centred on the
    // middle of the pixels it paints, one of even width on their common edge.
    const int w = pen_.width < 1 ? 1 : pen_.width;
    return w % 2 ? QPointF(0.5, 0.5) : QPointF(0.0, 0.0);
}

void Canvas::strokeLine(QPoint from, QPoint to)
{
    if (ratio_ != 1.0) {
        // Above one device pixel per logical pixel the line is drawn as a shape, sharp at the device's
        // resolution, covering along its major axis the logical pixels from the start's up to the end's.
        // The stroke runs from half a major step before the start pixel's middle.
        const QPointF d = to - from;
        const bool xMajor = std::abs(d.x()) >= std::abs(d.y());
        const QPointF middle = xMajor ? QPointF(0.5, penCentre().y()) : QPointF(penCentre().x(), 0.5);
        const QPointF start = middle - d / (2.0 * std::max(std::abs(d.x()), std::abs(d.y())));
        painter_.drawLine(QLineF(from + start, to + start));
        return;
    }
    // Qt rasterises a line alike whichever way it runs and paints the end with the lower coordinate
    // along its major axis, leaving the other one; a line running backwards thus needs its ends exchanged.
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    if (xMajor ? dx >= 0 : dy >= 0) {
        painter_.drawLine(from, to);
        return;
    }
    if (dx == 0 || dy == 0) {
        // One step along the line covers the same pixels with the open end moved, for any pen width.
        const QPoint step(dx == 0 ? 0 : 1, dy == 0 ? 0 : 1);
        painter_.drawLine(from + step, to + step);
        return;
    }
    // Slanted: Qt's pixels without the column (or row) of the end, then the start pixel.
    constexpr int far = 1 << 28;
    const QRect beyondEnd = xMajor ? QRect(QPoint(to.x() + 1, -far), QPoint(far, far))
                                   : QRect(QPoint(-far, to.y() + 1), QPoint(far, far));
    painter_.setClipRect(clip_ ? *clip_ & beyondEnd : beyondEnd);
    painter_.drawLine(from, to);
    if (clip_)
        painter_.setClipRect(*clip_);
    else
        painter_.setClipping(false);
    painter_.drawPoints(&from, 1);
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
    if (ratio_ != 1.0)
        painter_.drawRect(QRectF(QPointF(l, t) + penCentre(), QSizeF(r - l - 1, b - t - 1)));
    else
        painter_.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

void Canvas::Ellipse(int l, int t, int r, int b)
{
    if (r <= l || b <= t)
        return;
    applyPen();
    applyBrush();
    // At ratio 1 the cosmetic ellipse in the box; above it the shape centred on the pen's pixels.
    const auto draw = [&](QPainter& painter, int x, int y) {
        if (ratio_ == 1.0)
            painter.drawEllipse(QRect(x, y, r - l - 1, b - t - 1));
        else
            painter.drawEllipse(QRectF(QPointF(x, y) + penCentre(), QSizeF(r - l - 1, b - t - 1)));
    };
    if (ratio_ != std::floor(ratio_) || pen_.mode != PenMode::Copy) {
        draw(painter_, l, t);
        return;
    }
    // A series draws thousands of equal markers. Above ratio 1 an ellipse is a stroked path, some
    // fifty times the cost of the cosmetic one, and even that costs twice a copy of its image. At a
    // whole ratio a whole-pixel shift moves the shape by whole device pixels, so one drawing copied
    // to each place gives the very same pixels.
    const int margin = std::max(1, pen_.width);
    const EllipseKey key{r - l, b - t, pen_.color, pen_.width, pen_.style, brush_.color, brush_.style};
    if (!(key == ellipseKey_) || ellipseImage_.isNull()) {
        ellipseKey_ = key;
        const QSize logical(r - l + 2 * margin, b - t + 2 * margin);
        ellipseImage_ = QImage(logical * static_cast<int>(ratio_), QImage::Format_ARGB32_Premultiplied);
        ellipseImage_.setDevicePixelRatio(ratio_);
        ellipseImage_.fill(Qt::transparent);
        QPainter p(&ellipseImage_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(painter_.pen());
        p.setBrush(painter_.brush());
        draw(p, margin, margin);
    }
    painter_.drawImage(QPoint(l - margin, t - margin), ellipseImage_);
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
        fillDotGaps(penPos_, to);
        strokeLine(penPos_, to);
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
    clip_ = clip_ ? *clip_ & rect : rect;
    painter_.setClipRect(*clip_);
}

void Canvas::RemoveClip()
{
    clip_.reset();
    painter_.setClipping(false);
}

void Canvas::Draw(int x, int y, const QImage& image)
{
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(x, y, image);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}
