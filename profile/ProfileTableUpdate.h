#pragma once

#include "TContourPoint.h"

#include <vector>

/// The profile table recomputed after every change of the contour, with the same result as
/// RecomputeProfileTable to the last bit, but cheaper when a few points moved: the normalisation
/// turns and scales every point by what the trailing edge and the nose of each of its passes
/// decide, so as long as no moved point was or becomes one of those, only the moved points need
/// to go through the passes again.
class TProfileTableUpdate {
public:
    /// As RecomputeProfileTable.
    bool Recompute(const std::vector<TContourPoint>& contour, double height, bool normalise,
                   std::vector<TContourPoint>& table);

private:
    struct TPass {
        int trailing = 0;
        int nose = 0;
        double maxX = 0.0; ///< the trailing edge's x when it was found
        double minX = 0.0; ///< the nose's x when it was found
        double dx = 0.0, dy = 0.0, theta = 0.0, c = 0.0;
    };

    /// The normalisation of the flipped table in place, its passes recorded; false when it failed.
    bool NormalizeRecorded(std::vector<TContourPoint>& table);
    /// The moved points through the recorded passes; false when one of them was or would become a
    /// trailing edge or a nose, or a floating-point error ends a pass.
    bool NormalizeMoved(const std::vector<TContourPoint>& flipped, std::vector<TContourPoint>& table);

    bool valid_ = false; ///< the fields below describe the last recompute, which normalised
    std::vector<TContourPoint> flipped_;    ///< its table after copying and flipping
    std::vector<TContourPoint> normalised_; ///< its table after the normalisation
    std::vector<TPass> passes_;
};
