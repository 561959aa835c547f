#pragma once

#include "ContourPoints.h"
#include "TContourPoint.h"
#include "ViewMapping.h"
#include "WheelNotches.h"

/// What one wheel notification asks of the window after the point-size step has been applied.
enum class TWheelAction {
    None,      ///< the first or second of three notifications, or a point-size step
    Rotate,
    Zoom,
};

/// Counts one wheel notification in `direction` (+1 up, -1 down). Every third one acts: with
/// `shift` held it changes `PointRadius` here (Shift wins over Ctrl), else it names the step to run.
TWheelAction WheelNotification(TViewState& view, int direction, bool shift, bool ctrl);

/// One zoom step about `CursorPos`: levels of 5, factor (level / 100)^3; at level 0 nothing changes.
void ZoomStep(TViewState& view, int direction);

/// One rotation step by `RotationStep`, angle kept in [0, 360); the contour turns with the picture
/// about view (0, 0).
void RotateStep(TViewState& view, int direction, TContourPointArray& contour);

/// One pan step to the mouse position (X, Y) of a move event.
void PanStep(TViewState& view, int X, int Y);

/// Turns `point` by `angle` radians about the line through `centre` parallel to coordinate axis
/// `axis` (0 = x, 1 = y, 2 = z). Other axis numbers leave the point unchanged.
void RotatePointAboutAxis(TContourPoint& point, TContourPoint centre, int axis, double angle);

