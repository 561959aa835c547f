#pragma once

#include "SelfCrossing.h"
#include "TContourPoint.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The check of a recomputed profile table that the review window shows under the plot: the
/// figures an aerodynamicist looks at first, and the faults that spoil the file for XFOIL.
///
/// Definitions (the table is normalised: chord from the nose (0, 0) to the trailing edge (1, 0)):
/// - The outline is the closed polygon through the table's entries, closing point included.
/// - The camber line runs midway between the upper and the lower side, measured along its own
///   normal, as the NACA sections are built; the thickness is the distance between the sides along
///   that normal. Both are taken at CheckStations + 1 equally spaced x, against the chord from the
///   nose (0, 0) to the middle of the trailing edge; the greatest camber is the one of greatest
///   magnitude, with its sign.
/// - The nose is the first clicked entry of smallest x; the upper side runs from the trailing edge
///   to it, the lower side from it to the last clicked entry.
/// - Turns are measured where XFOIL measures its panel angles, at the inner points of the outline
///   that the XFOIL file writes (XfoilEntries), as the angle between the directions of the
///   segment into and the segment out of the point: 0 straight on, 180 back on itself.

/// XFOIL warns of an excessive panel angle when the sine of the angle between neighbouring
/// segments of the loaded outline exceeds that of 40 degrees (measured: 39.98 degrees pass, 40.62
/// warn). It takes the arcsine, so it reads a spike of 150 degrees as 30; this check does not.
constexpr double SharpTurnLimit = 40.0;

/// Equal steps of x at which thickness and camber are sampled: 0.05 % of the chord each.
constexpr int CheckStations = 2000;

/// What became of the normalisation in the recompute.
enum class TNormalisation { Off, Failed, Done };

enum class TCheckState { Checked, NoPoints, TooFewPoints, NotNormalised, NormalisationFailed };

struct TProfileCheck {
    TCheckState State = TCheckState::NoPoints;
    std::size_t Points = 0;     ///< clicked points: the table without its closing point
    bool RoundTheNose = false;  ///< both sides have points and reach behind the middle of the chord
    bool BothSides = false;     ///< both sides have a clicked point between the nose and the trailing edge
    double UpperReach = 0.0;    ///< rearmost x of the upper side's clicks after the first (when BothSides)
    double LowerReach = 0.0;    ///< rearmost x of the lower side's clicks (when BothSides)
    double Thickness = 0.0;     ///< greatest thickness, chord fraction (only when RoundTheNose)
    double ThicknessX = 0.0;
    double Camber = 0.0;        ///< greatest camber with its sign, chord fraction (only when RoundTheNose)
    double CamberX = 0.0;
    bool OpenTrailingEdge = false; ///< the XFOIL file's outline ends elsewhere than it starts; the .dat closes it
    double TrailingEdgeGap = 0.0;  ///< distance between those two ends, chord fraction
    double SharpestTurn = 0.0;     ///< degrees
    int SharpestTurnLine = 0;      ///< file line of the point (the title is line 1); 0: no inner point
    std::vector<int> SharpTurnLines; ///< every point turning by more than SharpTurnLimit
    int Duplicates = 0;              ///< entries whose line repeats the line before
    int FirstDuplicateLine = 0;
    bool SelfCrossing = false;       ///< two segments that are not neighbours meet
    int CrossingLines[2] = {0, 0};   ///< first lines of the two segments (FirstSelfCrossing)
};

/// What a check keeps for the next one, so that after a drag only the turns at and beside the
/// moved points are measured again and only their segments are tested for a crossing.
struct TCheckMemory {
    std::vector<TContourPoint> outline; ///< the points of the last checked outline (XfoilEntries)
    std::vector<double> turns;          ///< the turn at each of them (0 at its ends)
    TSelfCrossingMemory crossing;
};

/// Checks a table of the recompute: `clicked` points were clicked (the table holds one more, the
/// closing point, when there are more than three). With a memory of the last check, the same
/// check in less time.
TProfileCheck CheckProfile(const std::vector<TContourPoint>& table, std::size_t clicked, TNormalisation normalisation,
                           TCheckMemory* memory = nullptr);

/// The check in German, one short line each, numbers with the given decimal separator.
std::vector<std::string> ProfileCheckLines(const TProfileCheck& check, std::string_view separator);
