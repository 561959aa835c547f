#pragma once

#include <cstdint>

/// A client pixel of the main window: x to the right, y downward.
struct TClientPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TClientPoint&) const = default;
};

/// The whole view state of the main window with its initial values.
struct TViewState {
    int ViewOriginX = 0;             ///< client position of view (0, 0) and of the picture's top-left corner
    int ViewOriginY = 0;
    double ZoomFactor = 1.0;         ///< client pixels per view unit: (ZoomLevel / 100)^3 after a zoom step
    double ZoomLevel = 100.0;        ///< steps of 5, never below 0
    double PreviousZoomFactor = 1.0; ///< the factor before the current zoom step
    double RotationAngle = 0.0;      ///< degrees, kept in [0, 360)
    double RotationStep = 5.0;       ///< degrees per rotation step
    int PointRadius = 4;             ///< radius of contour and cursor dots, never below 4
    int WheelTicks = 0;              ///< wheel notifications; every third one acts
    TClientPoint CursorPos;          ///< cursor at the last mouse move; the zoom centre
    int PanAnchorX = 0;              ///< position of the last press or pan step
    int PanAnchorY = 0;
};

/// Rounds to the nearest integer, halves to the even neighbour, saturating into the 32-bit range
/// (a NaN gives 0) so that a far zoomed coordinate never converts with undefined behaviour.
int RoundHalfEven(double v);

/// Adds two ints saturating into the 32-bit range.
int SaturatingAdd(int a, int b);

/// View point to client pixel: origin + [v * ZoomFactor], halves to even, saturated.
TClientPoint ViewToClient(const TViewState& view, double x, double y);

/// Client pixel to view point, unrounded.
void ClientToView(const TViewState& view, int cx, int cy, double& x, double& y);
