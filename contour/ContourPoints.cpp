#include "ContourPoints.h"

#include <cassert>

void DeleteContourPoint(TContourPointArray& points, int index)
{
    assert(index >= 0 && static_cast<size_t>(index) < points.size());
    points.erase(points.begin() + index);
}

void InsertContourPoint(TContourPointArray& points, int index, double x, double y)
{
    assert(index >= 0 && static_cast<size_t>(index) <= points.size());
    // On exhausted memory the vector throws before it changes, so the list keeps its contents.
    points.insert(points.begin() + index, TContourPoint{x, y, 0.0});
}

void AppendContourPoint(TContourPointArray& points, double x, double y)
{
    points.push_back(TContourPoint{x, y, 0.0});
}

void PrependContourPoint(TContourPointArray& points, double x, double y)
{
    InsertContourPoint(points, 0, x, y);
}
