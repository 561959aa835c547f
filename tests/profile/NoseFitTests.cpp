// The leading edge of sparse clicks round a tight nose, from the form classical noses have.
#include "CurveSpline.h"
#include "NacaOutline.h"
#include "NoseFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(NoseFrame, FindsTheTrueNoseOnlyWhereTheSplinesFrameIsClearlyOff)
{
    const std::vector<TContourPoint> sparse = TXfoilNaca{.m = 6, .p = 4, .t = 9}.Outline(13);
    // A double wedge: straight sides meeting in a drawn corner at the nose.
    std::vector<TContourPoint> wedge;
    for (int i = 12; i >= -12; --i) {
        const double x = std::abs(i) / 12.0;
        wedge.push_back({x, (i > 0 ? 0.05 : -0.05) * (x < 0.5 ? 2 * x : 2 - 2 * x), 0.0});
    }
    struct TRow {
        const char* name;
        std::vector<TContourPoint> points;
        bool corner;      ///< the nose is a drawn corner
        double turn;      ///< radians the points are turned about the trailing edge, as a spline's error turns them
        bool found;       ///< a frame is expected, at the true nose
    };
    for (const TRow& row : {TRow{"6409 with 25 points, turned as its spline's frame is", sparse, false, 0.002, true},
                            TRow{"the same in its true frame", sparse, false, 0.0, false},
                            TRow{"a double wedge, turned", wedge, true, 0.002, false}}) {
        SCOPED_TRACE(row.name);
        const double c = std::cos(row.turn), s = std::sin(row.turn);
        std::vector<TContourPoint> points;
        for (const TContourPoint& p : row.points)
            points.push_back({1.0 + c * (p.x - 1.0) - s * p.y, s * (p.x - 1.0) + c * p.y, 0.0});
        const auto nose = static_cast<std::size_t>(
            std::min_element(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.x < b.x; }) - points.begin());
        const TCurveSpline curve(points, row.corner ? std::vector<std::size_t>{nose} : std::vector<std::size_t>{});
        const std::optional<TNoseFrame> frame = NoseFrame(curve.Knots(), nose);
        ASSERT_EQ(frame.has_value(), row.found);
        if (!frame)
            continue;
        // The true nose, (0, 0) before the turn.
        EXPECT_NEAR(frame->x, 1.0 - c, 1e-4);
        EXPECT_NEAR(frame->y, -s, 1e-4);
        // The click just above the nose is still on the upper side.
        EXPECT_EQ(frame->split, nose + 1);
    }
}

} // namespace
