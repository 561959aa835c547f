#include "ViewTransform.h"

#include <cmath>
#include <limits>

namespace {
constexpr int MinPointRadius = 4;
constexpr double DegreesPerRadian = 57.29577951308232;
} // namespace

TWheelAction WheelNotification(TViewState& view, int direction, bool shift, bool ctrl)
{
    ++view.WheelTicks;
    if (view.WheelTicks < 3)
        return TWheelAction::None;
    view.WheelTicks = 0;
    if (shift) {
        if (direction > 0) {
            if (view.PointRadius < std::numeric_limits<int>::max())
                ++view.PointRadius;
        } else if (--view.PointRadius < MinPointRadius) {
            view.PointRadius = MinPointRadius;
        }
        return TWheelAction::None;
    }
    return ctrl ? TWheelAction::Rotate : TWheelAction::Zoom;
}

void ZoomStep(TViewState& view, int direction)
{
    if (direction > 0) {
        view.ZoomLevel += 5.0;
    } else {
        view.ZoomLevel -= 5.0;
        if (view.ZoomLevel < 0.0)
            view.ZoomLevel = 0.0;
    }
    if (!(view.ZoomLevel > 0.0))
        return;
    view.PreviousZoomFactor = view.ZoomFactor;
    const double level = view.ZoomLevel / 100.0;
    view.ZoomFactor = level * level * level;
    const double dx = (static_cast<double>(view.CursorPos.x) - view.ViewOriginX) / view.PreviousZoomFactor;
    const double dy = (static_cast<double>(view.CursorPos.y) - view.ViewOriginY) / view.PreviousZoomFactor;
    // Subtraction saturates too: a far zoom must not wrap the origin to the other side.
    view.ViewOriginX = SaturatingAdd(view.CursorPos.x, -RoundHalfEven(dx * view.ZoomFactor));
    view.ViewOriginY = SaturatingAdd(view.CursorPos.y, -RoundHalfEven(dy * view.ZoomFactor));
}

void RotateStep(TViewState& view, int direction, TContourPointArray& contour)
{
    const double old = view.RotationAngle;
    if (direction > 0) {
        view.RotationAngle += view.RotationStep;
        if (view.RotationAngle > 360.0)
            view.RotationAngle -= 360.0;
        if (view.RotationAngle == 360.0)
            view.RotationAngle = 0.0;
    } else {
        view.RotationAngle -= view.RotationStep;
        if (view.RotationAngle < 0.0)
            view.RotationAngle += 360.0;
    }
    const double t = -(view.RotationAngle - old) / DegreesPerRadian;
    const TContourPoint centre{};
    for (TContourPoint& p : contour)
        RotatePointAboutAxis(p, centre, 2, t);
}

void PanStep(TViewState& view, int X, int Y)
{
    view.ViewOriginX = SaturatingAdd(view.ViewOriginX, SaturatingAdd(X, -view.PanAnchorX));
    view.ViewOriginY = SaturatingAdd(view.ViewOriginY, SaturatingAdd(Y, -view.PanAnchorY));
    view.PanAnchorX = X;
    view.PanAnchorY = Y;
}

void RotatePointAboutAxis(TContourPoint& point, TContourPoint centre, int axis, double angle)
{
    using L = long double;
    const L dx = L(point.x) - centre.x;
    const L dy = L(point.y) - centre.y;
    const L dz = L(point.z) - centre.z;
    const L c = std::cos(angle);
    const L s = std::sin(angle);
    L m[3][3];
    switch (axis) {
    case 0:
        m[0][0] = 1, m[0][1] = 0, m[0][2] = 0;
        m[1][0] = 0, m[1][1] = c, m[1][2] = s;
        m[2][0] = 0, m[2][1] = -s, m[2][2] = c;
        break;
    case 1:
        m[0][0] = c, m[0][1] = 0, m[0][2] = s;
        m[1][0] = 0, m[1][1] = 1, m[1][2] = 0;
        m[2][0] = -s, m[2][1] = 0, m[2][2] = c;
        break;
    case 2:
        m[0][0] = c, m[0][1] = s, m[0][2] = 0;
        m[1][0] = -s, m[1][1] = c, m[1][2] = 0;
        m[2][0] = 0, m[2][1] = 0, m[2][2] = 1;
        break;
    default:
        return;
    }
    point.x = static_cast<double>(m[0][0] * dx + m[0][1] * dy + m[0][2] * dz + centre.x);
    point.y = static_cast<double>(m[1][0] * dx + m[1][1] * dy + m[1][2] * dz + centre.y);
    point.z = static_cast<double>(m[2][0] * dx + m[2][1] * dy + m[2][2] * dz + centre.z);
}

