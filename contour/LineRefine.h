#pragma once

#include "ContourEditor.h"
#include "ContourPoints.h"
#include "PictureBytes.h"

#include <functional>
#include <limits>
#include <vector>

/// Moves contour points onto the centre of the dark line they were clicked on, to a fraction of a
/// pixel, from the picture's brightness across the outline.
///
/// The frame. Picture coordinates are continuous, as the view draws the picture: pixel (i, j) covers
/// [i, i + 1) x [j, j + 1) at every zoom, so its centre is (i + 0.5, j + 0.5). ProbeLine takes its
/// point in this frame, RefineHalfWidth gives picture pixels of it, and RefineContourOntoLine
/// stores the refined points in it: a refined point lies where a click at infinite zoom on the
/// line's centre would store it. (A click at zoom 1 stores the corner (i, j) of the pixel under the
/// cursor, half a pixel up and left of its centre.) Contour points are view coordinates: picture
/// coordinates turned by the rotation angle about (0, 0), the picture's top-left corner.

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

/// Searches the normal through (x, y), continuous picture coordinates (above; the centre of pixel
/// (i, j) is (i + 0.5, j + 0.5)), direction (nx, ny) of any length, for a dark line whose run of
/// dark samples reaches within `halfWidth` picture pixels of the point. Offset is along the unit
/// normal, so the line's centre is (x, y) + Offset (nx, ny) / |(nx, ny)| in the same frame.
/// Where several lines cross the window, `expected` (an offset along the normal, if finite) picks
/// the one whose centre is nearest it by at least a pixel more than any other; otherwise the
/// finding is SeveralLines.
TLineProbe ProbeLine(const TPictureBytes& picture, double x, double y, double nx, double ny, double halfWidth,
                     double expected = std::numeric_limits<double>::quiet_NaN());

/// The search half-width in picture pixels: the radius within which the user sees a point as
/// touching, 2 x pointRadius client pixels at the zoom factor, but at least 2. RefineContourOntoLine
/// searches no farther than four widths of the picture's line (8 pixels at least) whatever this is.
double RefineHalfWidth(double zoomFactor, int pointRadius);

/// Told the share of the work done (0 to 1) now and then; returns false to cancel.
using TRefineProgress = std::function<bool(double done)>;

/// The moves that bring the contour's points onto the line's centre, in index order, in the form
/// EditorMovePoints applies as one undoable step. A point stays (and is not listed) where its
/// direction is undefined, where no line or more than one distinct line crosses its window, or
/// where its line is much fainter or wider than the outline's line at the other points. The
/// outline's direction at a point comes from its two neighbours (an end point from its one
/// neighbour), all taken from the points as they are before any move.
///
/// Near the trailing edge (the two ends of the contour close together, the upper side first) a
/// point whose window holds both sides' lines goes onto the line of its own side, as its
/// neighbours further along that side give it; the first and last point go to the corners where a
/// drawn base meets the sides, or the first to the apex where the sides meet. A move that would
/// make the outline (closed at such a trailing edge) cross itself where it did not is not made.
/// The window is capped at a few widths of the line, learnt from the picture. `progress`, when given, is told the share done
/// now and then; when it returns false the refinement stops and gives no moves.
std::vector<TPointMove> RefineContourOntoLine(const TPictureBytes& picture, const TContourPointArray& points,
                                              double rotationAngle, double zoomFactor, int pointRadius,
                                              const TRefineProgress& progress = {});
