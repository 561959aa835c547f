#pragma once

#include "TContourPoint.h"

#include <vector>

/// The profile table: the digitised contour turned into profile coordinates (y upward),
/// normalised, counter-clockwise from the trailing edge, closed by (1, 0). Every step works on
/// the table in place, so that its entries' z survive a recompute as they should.

struct TVector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

/// The vector divided by its length, or by 1 when the length is 0.
TVector3 UnitVector(TVector3 v);

/// UnitVector of (A - B) x (B - C): z > 0 when A, B, C turn counter-clockwise (y up),
/// z < 0 clockwise, the zero vector for three points on a line.
TVector3 PlaneNormal(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c);

/// Resizes the table to the contour's size (new entries zero, old ones keep z) and copies x and
/// height - y of every contour point.
void CopyAndFlip(const std::vector<TContourPoint>& contour, double height, std::vector<TContourPoint>& table);

/// Normalises the table's x and y through a TProfile. A floating-point error of the
/// normalisation is dropped, leaving the table as it was; returns whether it succeeded.
bool NormalizeTable(std::vector<TContourPoint>& table);

/// Reverses the table when its first, middle (index n / 2) and last entry turn clockwise.
/// Returns whether it reversed.
bool OrientTable(std::vector<TContourPoint>& table);

/// Moves x and y of every entry one place forward, the first one to the end, until an entry with
/// x of exactly 1 is in front (x above 1 reaching the front is set to 1), at least once and at
/// most n + 1 times; z stays in place. Returns the number of steps.
int StartAtTrailingEdge(std::vector<TContourPoint>& table);

/// The whole recompute of the table from the contour (y downward, in a picture `height`
/// pixels high): copy and flip; normalise when asked and n > 2; for n > 3 orient, start at the
/// trailing edge and append the closing point (1, 0, 0). Returns whether it normalised.
bool RecomputeProfileTable(const std::vector<TContourPoint>& contour, double height, bool normalise,
                           std::vector<TContourPoint>& table);
