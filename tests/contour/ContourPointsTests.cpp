// The contour list's four operations: whole-record moves, z always 0.
#include "ContourPoints.h"

#include <gtest/gtest.h>

namespace {

void ExpectPoints(const TContourPointArray& points, const std::vector<std::pair<double, double>>& xy)
{
    ASSERT_EQ(points.size(), xy.size());
    for (size_t i = 0; i < xy.size(); ++i) {
        EXPECT_EQ(points[i].x, xy[i].first) << "point " << i;
        EXPECT_EQ(points[i].y, xy[i].second) << "point " << i;
        EXPECT_EQ(points[i].z, 0.0) << "point " << i;
    }
}

TEST(ContourPoints, AppendAndPrependGrowAtTheirEnds)
{
    TContourPointArray points;
    AppendContourPoint(points, 1, 2);
    ExpectPoints(points, {{1, 2}});
    PrependContourPoint(points, 3, 4);
    ExpectPoints(points, {{3, 4}, {1, 2}});
    AppendContourPoint(points, 5, 6);
    ExpectPoints(points, {{3, 4}, {1, 2}, {5, 6}});
}

TEST(ContourPoints, InsertAtLastIndexPutsThePointSecondToLast)
{
    TContourPointArray points;
    AppendContourPoint(points, 0, 0);
    AppendContourPoint(points, 10, 0);
    AppendContourPoint(points, 20, 0);
    InsertContourPoint(points, 2, 15, 1);
    ExpectPoints(points, {{0, 0}, {10, 0}, {15, 1}, {20, 0}});
    InsertContourPoint(points, 1, 5, -1);
    ExpectPoints(points, {{0, 0}, {5, -1}, {10, 0}, {15, 1}, {20, 0}});
}

TEST(ContourPoints, DeleteMovesLaterRecordsDownWhole)
{
    TContourPointArray points = {{1, 1, 0}, {2, 2, 0}, {3, 3, 0}};
    DeleteContourPoint(points, 0);
    ExpectPoints(points, {{2, 2}, {3, 3}});
    DeleteContourPoint(points, 1);
    ExpectPoints(points, {{2, 2}});
    DeleteContourPoint(points, 0);
    EXPECT_TRUE(points.empty());
}

TEST(ContourPoints, CoincidentPointsAreKept)
{
    TContourPointArray points;
    AppendContourPoint(points, 7, 7);
    AppendContourPoint(points, 7, 7);
    InsertContourPoint(points, 1, 7, 7);
    ExpectPoints(points, {{7, 7}, {7, 7}, {7, 7}});
}

} // namespace
