#include "WheelNotches.h"

#include "SyntheticWheel.h"

int TWheelAccumulator::Add(int delta)
{
    constexpr int Notch = platform::WheelNotch;
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0))
        pending_ = 0;
    // Events never carry more than a few notches; clamp so that the sum cannot overflow.
    if (delta > 1000 * Notch)
        delta = 1000 * Notch;
    if (delta < -1000 * Notch)
        delta = -1000 * Notch;
    pending_ += delta;
    const int notches = pending_ / Notch;
    pending_ -= notches * Notch;
    return notches;
}

int WheelNotificationDelta(int horizontal, int vertical, bool altHeld)
{
    return vertical == 0 && altHeld ? horizontal : vertical;
}
