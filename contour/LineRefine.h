#pragma once

#include "ContourEditor.h"
#include "ContourPoints.h"
#include "PictureBytes.h"

#include <vector>

/// Moves contour points onto the centre of the dark line they were clicked on, to a fraction of a
/// pixel, from the picture's brightness across the outline.
///
/// Picture coordinates put the centre of pixel (i, j) at (i, j): a click on that pixel at zoom 1
/// stores (i, j), so a refined point and a clicked point agree. Contour points are view
/// coordinates, picture coordinates turned by the rotation angle about (0, 0).

/// What the search along one normal found.
enum class TLineFinding {
    Line,           ///< exactly one distinct line crosses the window; Offset leads to its centre
    NoLine,         ///< nothing stands out from the paper
    SeveralLines,   ///< more than one distinct line crosses the window, or two lie too close to part
    Unbounded,      ///< the dark run reaches past what can be sampled: too wide, or at the picture's edge
    OutsidePicture, ///< the point or its direction gives nothing to sample
};

struct TLineProbe {
    TLineFinding Finding = TLineFinding::OutsidePicture;
    double Offset = 0.0;   ///< picture pixels along the normal from the point to the line's centre
    double Contrast = 0.0; ///< paper minus the darkest ink in the window, in brightness levels
    double Width = 0.0;    ///< the line's width at half its contrast, picture pixels
};

/// Searches the normal through (x, y), picture pixels, direction (nx, ny) of any length, for a dark
/// line whose run of dark samples reaches within `halfWidth` picture pixels of the point.
TLineProbe ProbeLine(const TPictureBytes& picture, double x, double y, double nx, double ny, double halfWidth);

/// The search half-width in picture pixels: the radius within which the user sees a point as
/// touching, 2 x pointRadius client pixels at the zoom factor, but at least 2.
double RefineHalfWidth(double zoomFactor, int pointRadius);

/// The moves that bring the contour's points onto the line's centre, in index order, in the form
/// EditorMovePoints applies as one undoable step. A point stays (and is not listed) where its
/// direction is undefined, where no line or more than one distinct line crosses its window, or
/// where its line is much fainter or wider than the outline's line at the other points. The outline's direction at a point comes from its two neighbours (an end point
/// from its one neighbour), all taken from the points as they are before any move.
std::vector<TPointMove> RefineContourOntoLine(const TPictureBytes& picture, const TContourPointArray& points,
                                              double rotationAngle, double zoomFactor, int pointRadius);
