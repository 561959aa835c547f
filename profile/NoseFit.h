#pragma once

#include "CurveSpline.h"

#include <cstddef>
#include <optional>
#include <vector>

/// The leading edge of sparse clicks round a tight nose. A spline's leading edge lies somewhere
/// between the two or three clicks on the nose, and every 0.001 chord it lies beside the true one
/// turns XFOIL's frame by 0.001 radian (about 1 % lift on a cambered section). Classical sections
/// are, near the nose, on each side a polynomial in the root of x whose first term (the nose
/// radius) both sides share: in their true frame the clicks fit that form, in a frame turned by
/// the spline's error they do not. So the frame in which the clicks fit it best is taken, where it
/// fits clearly better than the spline's; elsewhere the spline's frame stays.

/// Where, in the current frame (the trailing edge's midpoint at (1, 0), the spline's leading edge
/// at (0, 0)), the leading edge lies, and the index of the first knot past it.
struct TNoseFrame {
    double x = 0.0, y = 0.0;
    std::size_t split = 0;
};

/// The nose's frame from the curve's knots (in that frame, corners as doubled knots); `nose` is
/// the knot nearest to the nose. Nothing where the form does not apply (a corner at the nose, too
/// few or too many points near it) or does not fit clearly better than the current frame.
std::optional<TNoseFrame> NoseFrame(const std::vector<TCurveSpline::TKnot>& knots, std::size_t nose);
