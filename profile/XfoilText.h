#pragma once

#include "TContourPoint.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The profile as XFOIL needs it. XFOIL takes the line from the last point to the first as the
/// trailing edge: a closing point "1 0" after an open edge turns the last panel back to the first
/// point and spoils the whole solution, and a repeated point gives it a panel of length zero.
/// Tables with more than three entries end with the closing point (1, 0); smaller ones have none.

/// The text of one table line ("x y", general number format with '.'), as the .dat file writes it.
std::string PointLine(const TContourPoint& p);

/// Whether two entries are written as the same line.
bool SameLine(const TContourPoint& a, const TContourPoint& b);

/// The table's entries in the order of the outline as it was clicked, closing point last. That is
/// table order, except where the table starts with the trailing edge's base, the second entry lying
/// above the first and steeper than 45 degrees: the normalisation put the edge's last (lower) click
/// at (1, 0), so the start at the trailing edge brought it in front of the first click. The outline
/// order writes it last again, before the closing point.
std::vector<std::size_t> OutlineOrder(const std::vector<TContourPoint>& table);

/// Whether the trailing edge is open: the last clicked point of the outline is not written "1 0"
/// and lies at the trailing edge, so that the line from it to (1, 0) runs steeper than 45 degrees
/// to the chord. A last point further forward on the lower side, from which that line follows the
/// surface, leaves the closing point as the real end of the outline: the edge is then closed.
bool HasOpenTrailingEdge(const std::vector<TContourPoint>& table);

/// The indices of the table entries that the XFOIL file writes, in outline order: without the
/// closing point after an open trailing edge, and without entries whose line repeats the one before.
std::vector<std::size_t> XfoilEntries(const std::vector<TContourPoint>& table);

/// The table as the XFOIL file writes it (XfoilEntries).
std::vector<TContourPoint> XfoilTable(const std::vector<TContourPoint>& table);

/// The memo text of the XFOIL file: ProfileText of the title and XfoilTable. For a closed
/// trailing edge without repeated points it is the text of the .dat file.
std::string XfoilProfileText(std::string_view title, const std::vector<TContourPoint>& table);
