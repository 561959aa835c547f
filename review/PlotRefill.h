#pragma once

#include "TContourPoint.h"

#include <vector>

class TChartSeries;

/// Makes the series hold the table's points in order, as clearing it and adding every point with no
/// label and the series colour does: a series of the same length (filled that way before) only has
/// the values changed that differ, with one repaint request.
void RefillSeries(TChartSeries& series, const std::vector<TContourPoint>& table);
