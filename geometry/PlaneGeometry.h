#pragma once

/// Plane geometry on doubles, x to the right and y downward. The functions are pure and unitless;
/// the main window calls them with client pixels.

struct TGeoPoint {
    double x = 0.0;
    double y = 0.0;
};

/// Runs from its start (x1, y1) to its end (x2, y2).
struct TGeoSegment {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

struct TGeoCircle {
    double x = 0.0; ///< centre
    double y = 0.0;
    double radius = 0.0;
};

/// Absolute tolerance of the two-argument IsEqual, whatever the size of the numbers.
inline constexpr double GeoEpsilon = 1e-12;

double GeoDistance(double x1, double y1, double x2, double y2);
double GeoSquaredDistance(double x1, double y1, double x2, double y2);

/// A point exactly on the circle counts as inside.
bool GeoInsideCircle(double px, double py, double cx, double cy, double r);

/// The point of the segment nearest to P, clamped to the ends; an end is copied exactly. A segment
/// whose ends coincide gives its start without dividing.
void GeoNearestOnSegment(double x1, double y1, double x2, double y2, double px, double py, double& qx,
                         double& qy);

/// The foot of the perpendicular from P on the infinite line; the two points must differ.
void GeoFootOnLine(double x1, double y1, double x2, double y2, double px, double py, double& qx, double& qy);

/// The point at distance d from P towards Q; P and Q must differ.
void GeoPointAlong(double px, double py, double qx, double qy, double d, double& rx, double& ry);

/// -eps <= a - b <= eps, the difference formed once.
bool IsEqual(double a, double b, double eps);
bool IsEqual(double a, double b);

/// The part of the segment inside the closed disc: count 0, 1 (touching) or 2 with its two ends.
/// Outputs that a case does not set keep what the caller passed.
void GeoSegmentCircleIntersection(const TGeoSegment& segment, const TGeoCircle& circle, int& count,
                                  TGeoPoint& i1, TGeoPoint& i2);
