#include "ExCanvasTools.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace {
// GCC 12 at -O2 vectorises the paired products and drops their double -> float -> double round
// trip (seen in the generated code); going through a volatile float keeps the rounding.
double ToFloat(double v)
{
    volatile float f = static_cast<float>(v);
    return f;
}
} // namespace

double DegreesToRadians(double degrees)
{
    return degrees / 360.0 * std::numbers::pi * 2.0;
}

void SetCanvasWorldTransform(QPainter& canvas, double zoom, double angleDegrees, double dx, double dy)
{
    const double r = DegreesToRadians(angleDegrees);
    const QTransform xform(ToFloat(std::cos(r) * zoom), ToFloat(std::sin(r) * zoom), ToFloat(-std::sin(r) * zoom),
                           ToFloat(std::cos(r) * zoom), ToFloat(dx), ToFloat(dy));
    canvas.setWorldTransform(xform);
}

void DrawGraphicTransformed(QPainter& canvas, int x, int y, const QImage& graphic, double zoom,
                            double angleDegrees, bool centred)
{
    // The area to cover, in device pixels, taken before the transform changes the painter's frame.
    QRectF target;
    if (const QPaintDevice* device = canvas.device())
        target = QRectF(0, 0, device->width(), device->height());
    if (canvas.hasClipping())
        target &= canvas.worldTransform().mapRect(canvas.clipBoundingRect());

    SetCanvasWorldTransform(canvas, zoom, angleDegrees, x, y);
    if (graphic.isNull() || target.isEmpty())
        return;

    QPointF at(0, 0);
    if (centred)
        at = QPointF(-std::nearbyint(graphic.width() / 2.0), -std::nearbyint(graphic.height() / 2.0));

    bool invertible = false;
    const QTransform back = canvas.worldTransform().inverted(&invertible);
    if (!invertible)
        return;
    // Only the source pixels whose squares can reach the target; one pixel of slack for rounding.
    const QRectF seen = back.map(QPolygonF(target)).boundingRect().translated(-at);
    const double left = std::floor(seen.left()) - 1.0;
    const double top = std::floor(seen.top()) - 1.0;
    const double right = std::ceil(seen.right()) + 1.0;
    const double bottom = std::ceil(seen.bottom()) + 1.0;
    const double l = std::max(left, 0.0);
    const double t = std::max(top, 0.0);
    const double r = std::min(right, static_cast<double>(graphic.width()));
    const double b = std::min(bottom, static_cast<double>(graphic.height()));
    if (!(l < r && t < b))
        return;
    const QRect source(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t));

    const bool smooth = canvas.testRenderHint(QPainter::SmoothPixmapTransform);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(at + QPointF(source.topLeft()), graphic, source);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
