#pragma once

#include "TContourPoint.h"

#include <cstddef>
#include <vector>

/// A plane curve through given points: a cubic in each of x and y over a parameter s, at first the
/// chord length (the length of the polygon through the points, as XFOIL's own splines take it),
/// continuous up to the second derivative between two corners, each stretch ending with a constant
/// second derivative on its last piece (zero third derivative), as XFOIL's own splines do. A corner
/// is a knot given twice with the same s, each copy with the tangent of its own side.
class TCurveSpline {
public:
    struct TKnot {
        double s, x, y, dx, dy; ///< dx, dy: derivatives by s
    };
    struct TPoint {
        double x, y, dx, dy, ddx, ddy;
    };

    /// Through `points` (neighbours distinct), split at the indices in `corners` (ascending, inner).
    TCurveSpline(const std::vector<TContourPoint>& points, const std::vector<std::size_t>& corners);

    double Length() const { return knots_.back().s; }
    const std::vector<TKnot>& Knots() const { return knots_; }

    /// Position and derivatives on the piece from knot `piece` to the next, at s inside it.
    TPoint At(std::size_t piece, double s) const;

    /// The piece holding s, searched from `hint` onwards (for ascending calls): the last piece of
    /// positive length that starts at or before s.
    std::size_t PieceAt(double s, std::size_t hint) const;

    /// Lays the curve anew through the same knots at the parameters `s` (one per knot, ascending,
    /// equal only at a corner's two knots), and gives the knots' former parameters back in `s`.
    void Reparameterise(std::vector<double>& s);

    /// Moves the curve into the frame whose origin is (ox, oy) and whose x axis runs along the unit
    /// vector (ux, uy), scaled by `scale`; s scales with it, so a chord length stays one.
    void ToFrame(double ox, double oy, double ux, double uy, double scale);

private:
    /// The knots' derivatives for their current s.
    void Solve();

    std::vector<TKnot> knots_;
};
