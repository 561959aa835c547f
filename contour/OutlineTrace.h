#pragma once

#include "ContourEditor.h"
#include "ContourPoints.h"
#include "PictureBytes.h"

#include <string>
#include <vector>

/// Follows a drawn profile outline from the contour's last point to the lower trailing edge and
/// places points on the line's centre, in the picture's continuous frame (pixel (i, j) covers
/// [i, i + 1) x [j, j + 1)). Contour points are view coordinates: picture coordinates turned by
/// the rotation angle about (0, 0).

/// How many points a whole traced outline gets: enough for XFOIL, few enough to edit by hand.
constexpr int TraceOutlinePoints = 160;

/// Why a trace ended.
enum class TTraceEnd {
    TrailingEdge, ///< the outline was followed round to the lower trailing edge
    NoLine,       ///< there is no drawn line at the contour's last point
    Gap,          ///< the line breaks off for more than three line widths
    PictureEdge,  ///< the line runs out of the picture
    Junction,     ///< lines meet where the outline's way on cannot be told
    Crossing,     ///< going on would cross the contour's points
    NotAnOutline, ///< the line winds or runs on further than a profile outline can; nothing is added
};

struct TTraceResult {
    TTraceEnd End = TTraceEnd::NoLine;
    std::vector<TContourPoint> Added; ///< view coordinates, in the order they are appended
    double StopX = 0.0;               ///< view coordinates of the place the trace ended
    double StopY = 0.0;
};

/// Traces on from the contour's last point: with one point, along the branch that leaves it
/// towards the upper left on the screen; with more, away from the point before the last. Over the
/// whole outline the points are spaced along the arc, bunched at the nose and the trailing edge,
/// `pointCount` for the whole outline. A sharp edge ends at the last point before the apex, a
/// blunt one at the lower corner. Bounded in time by the picture's size, whatever it shows.
TTraceResult TraceOutline(const TPictureBytes& picture, const TContourPointArray& points, double rotationAngle,
                          int pointCount = TraceOutlinePoints);

/// The one German sentence that says where and why a trace stopped (UTF-8); empty when it
/// reached the trailing edge.
std::string TraceStopSentence(const TTraceResult& result);

/// Appends the traced points as one undoable step, each a contour edit as a click is
/// (ProfileDirty set, ProfileSaved cleared). Nothing at all happens when there are none.
void EditorAppendPoints(const TEditorModel& model, const std::vector<TContourPoint>& points);
