#pragma once

class QWidget;

namespace platform {

/// One notch of 120 up (positive) or down (negative).
inline constexpr int WheelNotch = 120;

/// Posts one wheel notification of `delta` with no movement to `target`, through the event queue,
/// at the current cursor position: it arrives as a wheel turned by the user would. The modifier
/// keys are not carried; the receiver polls them itself.
void PostWheelNotification(QWidget* target, int delta);

/// Hands every wheel event over `from` (which would keep it: a menu bar does) to `to`, so that a
/// notch anywhere on a window reaches the window's handler.
void ForwardWheel(QWidget* from, QWidget* to);

} // namespace platform
