#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

/// One coordinate of an outline, y upward. A new one is all zero.
struct TKoordi {
    double x = 0.0;
    double y = 0.0;
    std::int32_t Tag = 0; ///< carried, never read
};

/// An index outside a list's bounds: "Listenindex überschreitet das Maximum (<index>)".
class EListError final : public std::out_of_range {
public:
    explicit EListError(int index);
};

/// A wing-profile outline that can bring itself into normalised position: trailing edge at
/// (1, 0), nose at x = 0 on the x axis, chord of length 1. Lives for one recompute.
class TProfile {
public:
    TProfile() = default;
    virtual ~TProfile() = default;

    /// The outline in order; the caller fills it.
    std::vector<TKoordi> Points;

    /// Passes the last Normalize ran (1 to 11), counting the one an error ended.
    int PassCount = 0;

    /// The point at `index`; EListError outside 0 .. count - 1.
    TKoordi& GetKoordi(int index);

    /// Translates, turns and scales the points in place, pass by pass, until the trailing edge
    /// and nose need neither a turn nor a scale, or the pass limit is reached. A floating-point
    /// error (EMathError) ends it at once, leaving the points as far as they were changed.
    void Normalize() { Normalize(10); }
    /// The same with another number of repetitions after the first pass.
    void Normalize(int repeatLimit);

    /// Turns the points first .. last (inclusive) rigidly about (cx, cy), clockwise by `angle`
    /// radians in the y-up frame, through a signed polar form. Nothing when last < first.
    void RotateAbout(int first, int last, double cx, double cy, double angle);
};
