#pragma once

#include "TContourPoint.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The outline that "Für XFOIL speichern" writes. XFOIL takes the points of a loaded file as its
/// panel nodes, so a few dozen clicks give it kinks at the nose and a wrong lift. The file
/// therefore holds a smooth curve through every clicked point, paneled as XFOIL panels its own
/// sections, in XFOIL's frame:
/// - a parametric cubic spline by chord length through the points, split at every corner the user
///   drew (a sharp trailing edge, a turn above the check's limit), so corners stay corners;
/// - the leading edge is the point of the curve farthest from the trailing edge's midpoint (where
///   the tangent is normal to the line to it); it goes to (0, 0), the midpoint to (1, 0); where
///   sparse clicks round a tight nose leave it uncertain, the frame the clicks' nose fits best
///   (NoseFrame) decides it;
/// - XfoilNodes points along the curve, denser where it bends and at the trailing edge, no panel
///   more than 1.5 times its neighbour except at corners; the leading edge and the corners are
///   nodes, a sharp edge's apex is the first and the last point.
/// Too few or too irregular points give no sound curve: they are written as they are.

/// Points of the paneled file: XFOIL's default number of panel nodes.
constexpr int XfoilNodes = 160;

/// Fewest distinct points a curve is laid through.
constexpr std::size_t FewestSplinePoints = 8;

/// A turn above this many degrees between neighbouring segments is no corner but a zig-zag.
constexpr double GreatestSplineTurn = 90.0;

/// Why the points are written as they are.
enum class TRawReason { None, TooFew, SelfCrossing, ZigZag, TooManyCorners, NoLeadingEdge, NoCurve };

struct TXfoilOutline {
    std::vector<TContourPoint> Points; ///< what the file writes, in order
    bool Paneled = false;
    TRawReason Reason = TRawReason::None;
    int ReasonLine = 0;        ///< text line (title = 1) of the offending point, for ZigZag
    std::size_t Through = 0;   ///< distinct points the curve passes through
    int Corners = 0;           ///< inner corners kept
    double Deviation = 0.0;    ///< greatest distance between the clicked polygon and the curve, chord fraction
};

/// The outline for XFOIL from a profile table (normalised, trailing edge first, closing point last
/// when it has more than three entries): the table's XfoilTable, paneled where it can be.
/// `selfCrossing`: whether that outline crosses itself, where the profile check has found it out
/// already (the same test on the same ring); tested here when not given.
TXfoilOutline XfoilOutline(const std::vector<TContourPoint>& table, std::optional<bool> selfCrossing = std::nullopt);

/// The memo text of the XFOIL file: the title, then the outline's points.
std::string XfoilFileText(std::string_view title, const TXfoilOutline& outline);

/// The check's lines on the XFOIL file, in German, numbers with the given separator. `fromText`:
/// the points come from the hand-edited text, not from the contour.
std::vector<std::string> XfoilCheckLines(const TXfoilOutline& outline, bool fromText, std::string_view separator);
