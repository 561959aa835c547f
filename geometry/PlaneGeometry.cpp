#include "PlaneGeometry.h"

#include <cmath>

double GeoDistance(double x1, double y1, double x2, double y2)
{
    return std::sqrt(GeoSquaredDistance(x1, y1, x2, y2));
}

double GeoSquaredDistance(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    return dx * dx + dy * dy;
}

bool GeoInsideCircle(double px, double py, double cx, double cy, double r)
{
    return GeoSquaredDistance(px, py, cx, cy) <= r * r;
}

void GeoNearestOnSegment(double x1, double y1, double x2, double y2, double px, double py, double& qx,
                         double& qy)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double t = dx * (px - x1) + dy * (py - y1);
    if (t <= 0.0) {
        qx = x1;
        qy = y1;
        return;
    }
    const double length2 = dx * dx + dy * dy;
    if (length2 <= t) {
        qx = x2;
        qy = y2;
        return;
    }
    const double f = t / length2;
    qx = x1 + f * dx;
    qy = y1 + f * dy;
}

void GeoFootOnLine(double x1, double y1, double x2, double y2, double px, double py, double& qx, double& qy)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double t = dx * (px - x1) + dy * (py - y1);
    const double f = t / (dx * dx + dy * dy);
    qx = x1 + f * dx;
    qy = y1 + f * dy;
}

void GeoPointAlong(double px, double py, double qx, double qy, double d, double& rx, double& ry)
{
    const double f = d / GeoDistance(px, py, qx, qy);
    rx = px + f * (qx - px);
    ry = py + f * (qy - py);
}

bool IsEqual(double a, double b, double eps)
{
    const double difference = a - b;
    return -eps <= difference && difference <= eps;
}

bool IsEqual(double a, double b)
{
    return IsEqual(a, b, GeoEpsilon);
}

namespace {
// Rounding can push the foot a hair beyond the radius when an end lies on the circle.
double HalfChord(double r, double distance)
{
    const double h2 = r * r - distance * distance;
    return h2 > 0.0 ? std::sqrt(h2) : 0.0;
}
} // namespace

void GeoSegmentCircleIntersection(const TGeoSegment& segment, const TGeoCircle& circle, int& count,
                                  TGeoPoint& i1, TGeoPoint& i2)
{
    const double ax = segment.x1, ay = segment.y1, bx = segment.x2, by = segment.y2;
    const double cx = circle.x, cy = circle.y, r = circle.radius;
    count = 0;

    const bool inA = GeoInsideCircle(ax, ay, cx, cy, r);
    const bool inB = GeoInsideCircle(bx, by, cx, cy, r);

    if (inA && inB) {
        count = 2;
        i1 = {ax, ay};
        i2 = {bx, by};
        return;
    }

    if (inA != inB) {
        count = 2;
        double hx = 0.0, hy = 0.0;
        GeoFootOnLine(ax, ay, bx, by, cx, cy, hx, hy);
        const double h = HalfChord(r, GeoDistance(hx, hy, cx, cy));
        if (inA) {
            i1 = {ax, ay};
            GeoPointAlong(hx, hy, bx, by, h, i2.x, i2.y);
        } else {
            i1 = {bx, by};
            GeoPointAlong(hx, hy, ax, ay, h, i2.x, i2.y);
        }
        return;
    }

    double qx = 0.0, qy = 0.0;
    GeoNearestOnSegment(ax, ay, bx, by, cx, cy, qx, qy);
    // The nearest point is an end, and both ends are outside.
    if ((IsEqual(qx, ax) && IsEqual(qy, ay)) || (IsEqual(qx, bx) && IsEqual(qy, by)))
        return;

    const double dQ = GeoDistance(qx, qy, cx, cy);
    if (dQ > r)
        return;
    if (IsEqual(dQ, r)) {
        count = 1;
        i1 = {qx, qy};
        return;
    }
    count = 2;
    if (IsEqual(dQ, 0.0)) {
        GeoPointAlong(cx, cy, ax, ay, r, i1.x, i1.y);
        GeoPointAlong(cx, cy, bx, by, r, i2.x, i2.y);
        return;
    }
    const double h = HalfChord(r, dQ);
    GeoPointAlong(qx, qy, ax, ay, h, i1.x, i1.y);
    GeoPointAlong(qx, qy, bx, by, h, i2.x, i2.y);
}
