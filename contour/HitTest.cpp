#include "HitTest.h"

#include "PlaneGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

int SaturatingSub(int a, int b)
{
    const std::int64_t d = static_cast<std::int64_t>(a) - b;
    return static_cast<int>(std::clamp<std::int64_t>(d, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
}

// Squares of 33-bit differences exceed 64 bits, so the exact comparison is done in 128 bits,
// after a cheap per-axis rejection that settles almost every point.
bool WithinDistance(TClientPoint a, TClientPoint b, std::int64_t limit)
{
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(a.x) - b.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(a.y) - b.y);
    if (dx > limit || dy > limit)
        return false;
    using Wide = __int128;
    return Wide(dx) * dx + Wide(dy) * dy <= Wide(limit) * limit;
}

// True when both ends lie beyond the same side of the circle's box by more than the intersection's
// own rounding could bridge, so that the exact test would find nothing. It settles almost every
// segment of a long contour with four comparisons.
bool ClearlyApart(double a, double b, double centre, double radius)
{
    const double reach = radius + 1.0 + 1e-9 * (std::fabs(a) + std::fabs(b));
    return (a < centre - reach && b < centre - reach) || (a > centre + reach && b > centre + reach);
}

} // namespace

THitState SampleCursor(TClientPoint cursor, const TViewState& view)
{
    THitState hit;
    hit.CursorViewOffsetX = SaturatingSub(cursor.x, view.ViewOriginX);
    hit.CursorViewOffsetY = SaturatingSub(cursor.y, view.ViewOriginY);
    hit.HotPointIndex = -1;
    hit.HotSegmentIndex = -1;
    return hit;
}

int FindHotPoint(TClientPoint cursor, const TViewState& view, const TContourPointArray& points)
{
    const std::int64_t limit = 2 * static_cast<std::int64_t>(view.PointRadius);
    // Rounding moves a point by at most half a pixel, so one whose unrounded position lies beyond
    // limit + 1 on either axis cannot be hot, and only the few near points need the exact test.
    // With the cursor, the origin and the limit well inside the 32-bit range, a saturated position
    // is far from the cursor too, so the shortcut never disagrees with the exact test.
    constexpr std::int64_t inner = std::int64_t{1} << 28;
    const auto inside = [](std::int64_t v) { return v > -inner && v < inner; };
    const bool shortcut = limit < inner && inside(cursor.x) && inside(cursor.y) && inside(view.ViewOriginX) &&
                          inside(view.ViewOriginY);
    const double reach = static_cast<double>(limit) + 1.0;
    const double zoom = view.ZoomFactor;
    const double kx = static_cast<double>(std::int64_t{view.ViewOriginX} - cursor.x);
    const double ky = static_cast<double>(std::int64_t{view.ViewOriginY} - cursor.y);
    int hot = -1;
    const int count = static_cast<int>(points.size());
    for (int i = 0; i < count; ++i) {
        // A NaN fails both comparisons and takes the exact test.
        if (shortcut && (std::fabs(points[i].x * zoom + kx) > reach || std::fabs(points[i].y * zoom + ky) > reach))
            continue;
        if (WithinDistance(cursor, ViewToClient(view, points[i].x, points[i].y), limit))
            hot = i;
    }
    return hot;
}

int FindHotSegment(TClientPoint cursor, const TViewState& view, const TContourPointArray& points)
{
    const double zoom = view.ZoomFactor;
    const double ox = view.ViewOriginX;
    const double oy = view.ViewOriginY;
    const TGeoCircle circle{static_cast<double>(cursor.x), static_cast<double>(cursor.y),
                            static_cast<double>(view.PointRadius)};
    const int count = static_cast<int>(points.size());
    if (count < 2)
        return -1;

    double x1 = points[0].x * zoom + ox;
    double y1 = points[0].y * zoom + oy;
    for (int i = 0; i + 1 < count; ++i) {
        const double x2 = points[i + 1].x * zoom + ox;
        const double y2 = points[i + 1].y * zoom + oy;
        if (!ClearlyApart(x1, x2, circle.x, circle.radius) && !ClearlyApart(y1, y2, circle.y, circle.radius)) {
            int hits = 0;
            TGeoPoint i1, i2;
            GeoSegmentCircleIntersection({x1, y1, x2, y2}, circle, hits, i1, i2);
            if (hits > 0)
                return i;
        }
        x1 = x2;
        y1 = y2;
    }
    return -1;
}

THitState HitTestContour(TClientPoint cursor, const TViewState& view, const TContourPointArray& points)
{
    THitState hit = SampleCursor(cursor, view);
    hit.HotPointIndex = FindHotPoint(cursor, view, points);
    hit.HotSegmentIndex = FindHotSegment(cursor, view, points);
    return hit;
}
