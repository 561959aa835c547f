#pragma once

#include <cstdint>

class QObject;

namespace platform {

/// The event deliveries the application object has seen, so that a timer's handler can tell
/// whether anything but the quiet timers ran since it last looked. The program's state changes only
/// in some event's handler, and a quiet timer's handler changes none of what others look at, so
/// while only quiet timers ran, what was compared last time is still the same.
class TEventActivity {
public:
    void Enter() noexcept { ++depth_; }
    void Leave(bool quiet) noexcept
    {
        --depth_;
        if (!quiet)
            ++completed_;
    }
    /// True when a delivery that was not quiet completed since the last look, or when the caller
    /// runs inside another delivery (whose handler may change more once the caller returns).
    /// The first look always says true.
    bool Since(std::uint64_t& seen) const noexcept
    {
        const bool any = completed_ != seen || depth_ > 1;
        seen = completed_;
        return any;
    }

private:
    int depth_ = 0;
    std::uint64_t completed_ = 0;
};

/// The value for a `seen` that has not looked yet.
constexpr std::uint64_t NeverLooked = UINT64_MAX;

/// The application object's record; nullptr where no application object keeps one (a plain
/// QApplication, as in the widget tests): then every look must assume a change.
TEventActivity* EventActivity();
void SetEventActivity(TEventActivity* activity);

/// Marks a timer whose timeouts change nothing that another handler compares (the windows' ticks).
/// The mark goes with the object.
void MarkQuietTimer(QObject* timer);
bool IsQuietTimer(const QObject* timer);

} // namespace platform
