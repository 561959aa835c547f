#pragma once

#include "TContourPoint.h"

#include <utility>
#include <vector>

/// Whether two closed segments ab and cd share a point.
bool SegmentsMeet(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c, const TContourPoint& d);

/// A pair (i < j) of segments of the closed polygon `ring` (segment i runs from ring[i] to
/// ring[i + 1], the last back to ring[0]) that meet without being neighbours; {-1, -1} if none.
/// Whether there is one is decided by a sweep, in O(n log n) for any point set; the pair named is
/// the smallest one where a grid finds it in linear work (any outline but a hostile one), else the
/// one the sweep came upon.
std::pair<int, int> FirstSelfCrossing(const std::vector<TContourPoint>& ring);

/// A pair (i < j) as FirstSelfCrossing gives it, the first the sweep comes upon; {-1, -1} if none.
std::pair<int, int> SweptSelfCrossing(const std::vector<TContourPoint>& ring);

/// FirstSelfCrossing of a ring that changes a few points at a time, as in a drag. While the ring
/// had no crossing, only the segments at the moved points can have come to meet another: only
/// they are tested, against every other segment. Any other change tests the ring afresh.
class TSelfCrossingMemory {
public:
    std::pair<int, int> First(const std::vector<TContourPoint>& ring);

private:
    /// Whether the segments at the points that differ from the last ring meet no other segment;
    /// false also where too many points differ to be worth it.
    bool MovedPointsClear(const std::vector<TContourPoint>& ring) const;

    std::vector<TContourPoint> ring_; ///< the last ring
    bool clear_ = false;              ///< it was tested and has no crossing
};

/// Whether FirstSelfCrossing finds a pair, in linear work where the ring is two chains, each
/// running strictly one way in x, from the point of least x to the ends joined by the closing
/// segment, one clearly above the other (any outline of a wing section).
bool CrossesItself(const std::vector<TContourPoint>& ring);
