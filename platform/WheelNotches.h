#pragma once

/// Turns the high-resolution deltas of wheel events into whole notches of 120, as the window
/// system's own wheel notifications count them: a touchpad's small steps add up to one notch.
class TWheelAccumulator {
public:
    /// Adds one event's delta; returns the number of whole notches it completes, signed
    /// (positive = away from the user). A change of direction drops the unfinished fraction.
    int Add(int delta);
    int Pending() const { return pending_; }

private:
    int pending_ = 0;
};

/// The delta of one wheel event as the window system's wheel notification counts it: the vertical
/// wheel. X11 reports a vertical wheel turned with Alt held as horizontal, so with Alt held and no
/// vertical part the horizontal one stands for it; a tilt wheel without Alt notifies nothing.
int WheelNotificationDelta(int horizontal, int vertical, bool altHeld);
