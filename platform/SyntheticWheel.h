#pragma once

class QWidget;

namespace platform {

/// One notch of 120 up (positive) or down (negative).
inline constexpr int WheelNotch = 120;

/// Posts one wheel notification of `delta` with no movement to `target`, through the event queue,
/// at the current cursor position: it arrives as a wheel turned by the user would. The modifier
/// keys are not carried; the receiver polls them itself.
void PostWheelNotification(QWidget* target, int delta);

} // namespace platform
