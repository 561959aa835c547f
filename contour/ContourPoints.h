#pragma once

#include "TContourPoint.h"

#include <vector>

/// The digitised contour: an open polyline in view coordinates (picture pixels at zoom 1,
/// y downward). Segment i joins point i and point i + 1; nothing joins the last to the first.
using TContourPointArray = std::vector<TContourPoint>;

/// The operations move whole records and never touch a flag; callers guarantee the indices.
/// Requires 0 <= index < count.
void DeleteContourPoint(TContourPointArray& points, int index);
/// Requires 1 <= index <= count - 1 (old count): the point goes between the ends of segment index - 1.
void InsertContourPoint(TContourPointArray& points, int index, double x, double y);
void AppendContourPoint(TContourPointArray& points, double x, double y);
void PrependContourPoint(TContourPointArray& points, double x, double y);
