#include "PlaneGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double Tol = 1e-12;
// Passed in as outputs so that a case which must not write them can be seen to leave them alone.
constexpr double Untouched = -777.0;

struct IntersectionCase {
    const char* name;
    TGeoSegment segment;
    TGeoCircle circle;
    int count;
    TGeoPoint i1; ///< checked when count >= 1
    TGeoPoint i2; ///< checked when count == 2
};

class SegmentCircle : public ::testing::TestWithParam<IntersectionCase> {};

TEST_P(SegmentCircle, CountAndPoints)
{
    const IntersectionCase& c = GetParam();
    int count = -1;
    TGeoPoint i1{Untouched, Untouched}, i2{Untouched, Untouched};
    GeoSegmentCircleIntersection(c.segment, c.circle, count, i1, i2);
    ASSERT_EQ(count, c.count);
    if (count >= 1) {
        EXPECT_NEAR(i1.x, c.i1.x, Tol);
        EXPECT_NEAR(i1.y, c.i1.y, Tol);
    } else {
        EXPECT_EQ(i1.x, Untouched);
        EXPECT_EQ(i1.y, Untouched);
    }
    if (count == 2) {
        EXPECT_NEAR(i2.x, c.i2.x, Tol);
        EXPECT_NEAR(i2.y, c.i2.y, Tol);
    } else {
        EXPECT_EQ(i2.x, Untouched);
        EXPECT_EQ(i2.y, Untouched);
    }
}

const TGeoSegment X10{0, 0, 10, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, SegmentCircle,
    ::testing::Values(
        IntersectionCase{"tangent", X10, {5, 3, 3}, 1, {5, 0}, {}},
        IntersectionCase{"just_clear", X10, {5, 3, 2.9}, 0, {}, {}},
        IntersectionCase{"secant", X10, {5, 3, 5}, 2, {1, 0}, {9, 0}},
        IntersectionCase{"through_centre", X10, {5, 0, 2}, 2, {3, 0}, {7, 0}},
        IntersectionCase{"start_on_centre", X10, {0, 0, 1}, 2, {0, 0}, {1, 0}},
        IntersectionCase{"end_inside_start_outside", X10, {10, 0, 4}, 2, {10, 0}, {6, 0}},
        IntersectionCase{"start_on_rim_counts_inside", X10, {-3, 0, 3}, 2, {0, 0}, {0, 0}},
        IntersectionCase{"both_inside", X10, {5, 0, 6}, 2, {0, 0}, {10, 0}},
        IntersectionCase{"nearest_is_outside_end", X10, {12, 1, 2}, 0, {}, {}},
        IntersectionCase{"nearest_is_outside_start", X10, {-2, -1, 2}, 0, {}, {}},
        IntersectionCase{"degenerate_inside", {4, 4, 4, 4}, {5, 5, 2}, 2, {4, 4}, {4, 4}},
        IntersectionCase{"degenerate_outside", {4, 4, 4, 4}, {9, 9, 2}, 0, {}, {}},
        IntersectionCase{"diagonal_secant", {0, 0, 10, 10}, {5, 5, 1}, 2, {5 - 0.5 * 1.4142135623730951, 5 - 0.5 * 1.4142135623730951}, {5 + 0.5 * 1.4142135623730951, 5 + 0.5 * 1.4142135623730951}},
        IntersectionCase{"off_centre_secant_reversed", {10, 0, 0, 0}, {5, 3, 5}, 2, {9, 0}, {1, 0}}),
    [](const ::testing::TestParamInfo<IntersectionCase>& info) { return std::string(info.param.name); });

TEST(SegmentCircleRounding, InsideEndOnRimNeverGivesNaN)
{
    // A lies on the rim and the segment leaves along the tangent: the foot comes out a rounding
    // error beyond the radius (r^2 - dH^2 is about -1.4e-14), and the half-chord must then be 0.
    const TGeoSegment s{-6.2734254931545159, -3.038613107427063, -4.0938281733124011, -7.5385414983391978};
    const TGeoCircle c{0, 0, 6.9705836939806218};
    int count = 0;
    TGeoPoint i1, i2;
    GeoSegmentCircleIntersection(s, c, count, i1, i2);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(i1.x, s.x1);
    EXPECT_EQ(i1.y, s.y1);
    EXPECT_FALSE(std::isnan(i2.x) || std::isnan(i2.y));
    EXPECT_NEAR(i2.x, s.x1, 1e-6);
    EXPECT_NEAR(i2.y, s.y1, 1e-6);
}

TEST(NearestOnSegment, ClampsAndCopiesEnds)
{
    struct Row {
        const char* name;
        double px, py, qx, qy;
    } rows[] = {
        {"before_start", -5, 3, 0.1, 0.2},
        {"beyond_end", 20, -3, 10.3, 0.2},
        {"inside", 5.2, 7, 5.2, 0.2},
    };
    for (const Row& r : rows) {
        double qx = 0, qy = 0;
        GeoNearestOnSegment(0.1, 0.2, 10.3, 0.2, r.px, r.py, qx, qy);
        EXPECT_NEAR(qx, r.qx, Tol) << r.name;
        EXPECT_EQ(qy, r.qy) << r.name;
    }
    double qx = 0, qy = 0;
    GeoNearestOnSegment(4, 4, 4, 4, 9, 1, qx, qy);
    EXPECT_EQ(qx, 4);
    EXPECT_EQ(qy, 4);
}

TEST(FootOnLine, IsNotClamped)
{
    double qx = 0, qy = 0;
    GeoFootOnLine(0, 0, 10, 0, 25, 4, qx, qy);
    EXPECT_NEAR(qx, 25, Tol);
    EXPECT_NEAR(qy, 0, Tol);
}

TEST(PointAlong, StepsTowardsTheSecondPoint)
{
    double rx = 0, ry = 0;
    GeoPointAlong(1, 1, 4, 5, 10, rx, ry); // direction (3, 4) / 5
    EXPECT_NEAR(rx, 7, Tol);
    EXPECT_NEAR(ry, 9, Tol);
}

TEST(Distances, InsideCircleIncludesTheRim)
{
    EXPECT_DOUBLE_EQ(GeoDistance(1, 1, 4, 5), 5);
    EXPECT_DOUBLE_EQ(GeoSquaredDistance(1, 1, 4, 5), 25);
    EXPECT_TRUE(GeoInsideCircle(4, 5, 1, 1, 5));
    EXPECT_FALSE(GeoInsideCircle(4, 5.0000001, 1, 1, 5));
}

TEST(IsEqual, AbsoluteTolerance)
{
    EXPECT_TRUE(IsEqual(1, 1 + 5e-13));
    EXPECT_FALSE(IsEqual(1, 1 + 2e-12));
    EXPECT_TRUE(IsEqual(1 + 5e-13, 1));
    EXPECT_FALSE(IsEqual(1e20, 1e20 + 16384)); // no relative slack for large numbers
    EXPECT_TRUE(IsEqual(3, 3.5, 0.5));
    EXPECT_TRUE(IsEqual(3, 2.5, 0.5));
    EXPECT_FALSE(IsEqual(3, 3.5000001, 0.5));
    EXPECT_FALSE(IsEqual(std::numeric_limits<double>::quiet_NaN(), 0.0));
}

} // namespace
