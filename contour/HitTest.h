#pragma once

#include "ContourPoints.h"
#include "HitState.h"
#include "ViewMapping.h"

/// What lies under the cursor dot, sampled on every mouse move. The steps are separate so that the
/// move rules can run between the point test and the segment test; each is a pure function.

/// The cursor offsets from the view origin, with both indices cleared to -1.
THitState SampleCursor(TClientPoint cursor, const TViewState& view);

/// The last point whose rounded client position lies within 2 x PointRadius of the cursor
/// (the two dots touch), or -1. Exact for any distance: nothing overflows.
int FindHotPoint(TClientPoint cursor, const TViewState& view, const TContourPointArray& points);

/// The first segment whose unrounded client line comes within PointRadius of the cursor, or -1.
int FindHotSegment(TClientPoint cursor, const TViewState& view, const TContourPointArray& points);

/// The whole sample without rules in between.
THitState HitTestContour(TClientPoint cursor, const TViewState& view, const TContourPointArray& points);
