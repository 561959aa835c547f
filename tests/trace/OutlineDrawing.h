#pragma once

#include "SyntheticScan.h"

#include <string>
#include <vector>

/// Section drawings of known NACA outlines, as a scan shows them: the outline drawn as a line of
/// exact area coverage in the continuous frame (pixel (i, j) covers [i, i + 1) x [j, j + 1)), on
/// grainy paper, with what real drawings carry besides.
namespace drawing {

struct TPoint {
    double x = 0.0, y = 0.0;
};

struct TSection {
    std::string naca = "2412"; ///< four or five digits (the five-digit ones: 230xx)
    bool blunt = false;        ///< the classic open trailing edge with its base drawn; else a sharp one
    double chord = 1000.0;     ///< picture pixels
    double width = 2.0;        ///< line width, picture pixels
    double angle = 0.0;        ///< the section turned clockwise on the picture, degrees
    bool chordLine = false;
    bool camberLine = false;
    bool grid = false;      ///< a 5 mm grid (at 300 dpi) of lighter lines
    bool lettering = false; ///< strokes of lettering touching the outline
    bool gaps = false;      ///< the outline broken in a few places, each gap up to three line widths
    double wideGap = -1.0;  ///< where on the outline (arc share) a gap of six line widths breaks it
    int margin = 80;        ///< paper round the section, picture pixels
    int minWidth = 0, minHeight = 0; ///< the picture at least this large
};

/// A drawing and the outline's centre line in picture coordinates, densely, from the upper
/// trailing edge over the nose to the lower trailing edge (at a blunt edge: its lower corner).
struct TDrawing {
    scan::TSheet sheet;
    std::vector<TPoint> outline;
    TPoint upperEdge; ///< where the user clicks first
    TPoint lowerEdge;
};

TDrawing Draw(const TSection& section, std::uint32_t seed = 1);

/// A line of a drawing: a polyline, its width and its ink's brightness.
struct TLine {
    std::vector<TPoint> points;
    double width = 1.0;
    int ink = 30;
};

/// Grainy paper of the given size with these lines on it.
scan::TSheet Paint(int width, int height, const std::vector<TLine>& lines, std::uint32_t seed = 1);

/// The outline's point at chord position x (0 .. 1), chord units, y upward.
TPoint NacaPoint(const std::string& naca, double x, bool upper, bool blunt);

/// Distance from p to the outline, and the outline's arc share (0 at the upper edge, 1 at the
/// lower) at the nearest place.
double DistanceToOutline(const std::vector<TPoint>& outline, TPoint p, double* share = nullptr);

} // namespace drawing
