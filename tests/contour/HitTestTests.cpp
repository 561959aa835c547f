// Which point and which segment the cursor dot touches.
#include "HitTest.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

struct HitCase {
    const char* name;
    std::vector<TContourPoint> points;
    TClientPoint cursor;
    int hotPoint;
    int hotSegment;
    double zoom = 1.0;
    int originX = 0;
    int originY = 0;
    int radius = 4;
};

class HitTestCases : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTestCases, FindsHotPointAndSegment)
{
    const HitCase& c = GetParam();
    TViewState view;
    view.ZoomFactor = c.zoom;
    view.ViewOriginX = c.originX;
    view.ViewOriginY = c.originY;
    view.PointRadius = c.radius;
    const THitState hit = HitTestContour(c.cursor, view, c.points);
    EXPECT_EQ(hit.HotPointIndex, c.hotPoint);
    EXPECT_EQ(hit.HotSegmentIndex, c.hotSegment);
    EXPECT_EQ(hit.CursorViewOffsetX, c.cursor.x - c.originX);
    EXPECT_EQ(hit.CursorViewOffsetY, c.cursor.y - c.originY);
}

const std::vector<TContourPoint> Line3{{0, 100, 0}, {200, 100, 0}, {400, 100, 0}};
constexpr int IntMax = std::numeric_limits<int>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, HitTestCases,
    ::testing::Values(
        HitCase{"dots_touch_at_twice_the_radius", {{100, 100, 0}}, {108, 100}, 0, -1},
        HitCase{"one_pixel_beyond_touching", {{100, 100, 0}}, {109, 100}, -1, -1},
        HitCase{"diagonal_inside", {{100, 100, 0}}, {105, 106}, 0, -1},
        HitCase{"diagonal_outside", {{100, 100, 0}}, {106, 106}, -1, -1},
        HitCase{"last_point_wins", {{100, 100, 0}, {104, 100, 0}}, {102, 100}, 1, 0},
        HitCase{"common_end_on_rim_first_segment_wins", Line3, {200, 104}, 1, 0},
        HitCase{"segment_at_radius", Line3, {100, 104}, -1, 0},
        HitCase{"segment_beyond_radius", Line3, {100, 105}, -1, -1},
        HitCase{"second_segment_only", Line3, {300, 96}, -1, 1},
        HitCase{"empty_list", {}, {0, 0}, -1, -1},
        HitCase{"single_point_has_no_segment", {{5, 5, 0}}, {5, 5}, 0, -1},
        // The centre (10.5, 20.5) is tested at (10, 20): halves go to the even neighbour.
        HitCase{"rounded_centre_half_to_even_x", {{10.5, 20.5, 0}}, {2, 20}, 0, -1},
        HitCase{"rounded_centre_half_to_even_y", {{10.5, 20.5, 0}}, {10, 12}, 0, -1},
        // The same point's segment keeps x = 10.5: 4.5 away is not touched although 10 would be.
        HitCase{"segment_ends_unrounded_miss", {{10.5, 20.5, 0}, {10.5, 60.5, 0}}, {6, 40}, -1, -1},
        HitCase{"segment_ends_unrounded_hit", {{10.5, 20.5, 0}, {10.5, 60.5, 0}}, {7, 40}, -1, 0},
        // Both ends far outside on either side: only the line passes the cursor dot.
        HitCase{"long_segment_far_ends", {{-1e9, 104, 0}, {1e9, 104, 0}}, {0, 100}, -1, 0},
        HitCase{"long_diagonal_near_miss", {{-1e6, -1e6 + 6, 0}, {1e6, 1e6 + 6, 0}}, {0, 0}, -1, -1},
        HitCase{"long_diagonal_touch", {{-1e6, -1e6 + 5, 0}, {1e6, 1e6 + 5, 0}}, {0, 0}, -1, 0},
        // Unrounded 8.5 away, rounded 8: the near-point shortcut must leave it to the exact test.
        HitCase{"half_pixel_beyond_rounds_back_in", {{116.5, 100, 0}}, {108, 100}, 0, -1},
        // A saturated far point lands near the cursor; only the exact test knows.
        HitCase{"saturation_brings_a_far_point_near", {{-1e12, 0, 0}}, {-101, 0}, 0, -1, 1.0, IntMax - 100, 0},
        HitCase{"zoom_and_origin_apply", {{45, 20, 0}}, {100, 58}, 0, -1, 2.0, 10, 10},
        // 65536^2 wraps to 0 in 32 bits; the distance must stay exact.
        HitCase{"far_point_no_wraparound", {{65536, 0, 0}}, {0, 0}, -1, -1},
        // Squares beyond 64 bits: the limit (2^32 - 2)^2 and one more.
        HitCase{"huge_radius_exactly_touching", {{double(IntMax), 0, 0}}, {-IntMax, 0}, 0, -1, 1.0, 0, 0, IntMax},
        HitCase{"huge_radius_just_beyond", {{double(IntMax), 0, 0}}, {-IntMax, 1}, -1, -1, 1.0, 0, 0, IntMax}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

TEST(HitTest, StepsComposeToTheWholeSample)
{
    TViewState view;
    view.ViewOriginX = 10;
    view.ViewOriginY = 10;
    const TClientPoint cursor{31, 50};
    const THitState sample = SampleCursor(cursor, view);
    EXPECT_EQ(sample.CursorViewOffsetX, 21);
    EXPECT_EQ(sample.CursorViewOffsetY, 40);
    EXPECT_EQ(sample.HotPointIndex, -1);
    EXPECT_EQ(sample.HotSegmentIndex, -1);

    const TContourPointArray points{{21, 40, 0}, {60, 40, 0}};
    EXPECT_EQ(FindHotPoint(cursor, view, points), 0);
    EXPECT_EQ(FindHotSegment(cursor, view, points), 0);
}

TEST(HitTest, OffsetsSaturateInsteadOfOverflowing)
{
    TViewState view;
    view.ViewOriginX = std::numeric_limits<int>::min();
    view.ViewOriginY = std::numeric_limits<int>::max();
    const THitState sample = SampleCursor({100, -100}, view);
    EXPECT_EQ(sample.CursorViewOffsetX, std::numeric_limits<int>::max());
    EXPECT_EQ(sample.CursorViewOffsetY, std::numeric_limits<int>::min());
}

// The point test passes over far points without rounding them; it must still pick exactly the
// point that rounding and the exact distance pick, at the rim of reach and at saturating extremes.
TEST(HitTest, HotPointIsTheLastWithinReachOfItsRoundedPlace)
{
    struct Row {
        const char* name;
        TViewState view;
        TClientPoint cursor;
    };
    const auto view = [](int ox, int oy, double zoom, int radius) {
        TViewState v;
        v.ViewOriginX = ox;
        v.ViewOriginY = oy;
        v.ZoomFactor = zoom;
        v.PointRadius = radius;
        return v;
    };
    const Row rows[] = {
        {"plain", view(0, 0, 1.0, 4), {100, 100}},
        {"zoomed by an odd factor", view(17, -3, 1.157625, 5), {90, 80}},
        {"origin far off", view(-1500000000, 1900000000, 1.0, 4), {-1499999900, 1900000070}},
        {"huge zoom, points saturate", view(0, 0, 3e7, 4), {2147483647, -2147483647 - 1}},
        {"huge radius", view(5, 5, 1.0, 1 << 30), {0, 0}},
    };
    std::uint32_t seed = 99;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / double(1 << 24);
    };
    for (const Row& row : rows) {
        const double cx = (row.cursor.x - double(row.view.ViewOriginX)) / row.view.ZoomFactor;
        const double cy = (row.cursor.y - double(row.view.ViewOriginY)) / row.view.ZoomFactor;
        const double spread = (2.0 * row.view.PointRadius + 3.0) / row.view.ZoomFactor;
        const double limit = 2.0 * row.view.PointRadius;
        int wrong = 0;
        for (int i = 0; i < 3000; ++i) { // around the rim of reach, one point at a time
            const TContourPointArray one = {{cx + (next() * 2 - 1) * spread, cy + (next() * 2 - 1) * spread, 0}};
            const TClientPoint p = ViewToClient(row.view, one[0].x, one[0].y);
            const long double dx = static_cast<long double>(p.x) - row.cursor.x;
            const long double dy = static_cast<long double>(p.y) - row.cursor.y;
            const int expected = dx * dx + dy * dy <= static_cast<long double>(limit) * limit ? 0 : -1;
            wrong += FindHotPoint(row.cursor, row.view, one) != expected;
        }
        EXPECT_EQ(wrong, 0) << row.name;
    }
    const TContourPointArray far = {{0, 0, 0}, {-1e300, 1e300, 0}};
    EXPECT_EQ(FindHotPoint({0, 0}, TViewState{}, far), 0) << "a point beyond every range is never hot";
}

} // namespace
