#pragma once

class QImage;
class QPainter;

/// Degrees to radians, computed as degrees / 360 x pi x 2.
double DegreesToRadians(double degrees);

/// Sets the painter's world transform to scale by `zoom`, turn by `angleDegrees` (clockwise on a
/// y-down device) and shift by (dx, dy). The six coefficients are rounded to 32-bit floats, as a
/// device world transform holds them: world (x, y) goes to
/// (x m11 + y m21 + dx, x m12 + y m22 + dy) with m11 = cos r Z, m12 = sin r Z, m21 = -sin r Z, m22 = cos r Z.
void SetCanvasWorldTransform(QPainter& canvas, double zoom, double angleDegrees, double dx, double dy);

/// Draws `graphic` under that transform (dx = x, dy = y) at world (0, 0), or, when `centred`, at
/// (-w, -h) with w and h half the graphic's size rounded half to even, so that it turns about its
/// centre. Sampling is nearest-neighbour. Only the part of the graphic that lands on the device
/// (and inside the painter's clip) is drawn, so the cost follows the device, not the graphic.
/// The transform stays set on the painter.
void DrawGraphicTransformed(QPainter& canvas, int x, int y, const QImage& graphic, double zoom,
                            double angleDegrees, bool centred);
