// The outline "Für XFOIL speichern" writes: a paneled spline through the table, or the points as
// they are with the reason.
#include "NacaOutline.h"
#include "ProfileTable.h"
#include "ProfileText.h"
#include "MemoPoints.h"
#include "XfoilPaneling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

std::vector<TContourPoint> Table(const std::vector<TContourPoint>& contour)
{
    std::vector<TContourPoint> table;
    RecomputeProfileTable(contour, TNacaOutline::Height, true, table);
    return table;
}

double TurnDegrees(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / std::numbers::pi;
}

double DistanceToPolyline(const TContourPoint& p, const std::vector<TContourPoint>& line)
{
    double best = INFINITY;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const double ux = line[i + 1].x - line[i].x, uy = line[i + 1].y - line[i].y;
        const double t = std::clamp(((p.x - line[i].x) * ux + (p.y - line[i].y) * uy) / (ux * ux + uy * uy), 0.0, 1.0);
        best = std::min(best, std::hypot(line[i].x + t * ux - p.x, line[i].y + t * uy - p.y));
    }
    return best;
}

/// The true section, densely, in XFOIL's frame: the point farthest from the trailing edge (1, 0)
/// moved to (0, 0), the trailing edge kept at (1, 0).
std::vector<TContourPoint> TrueSection(const TNacaOutline& naca)
{
    std::vector<TContourPoint> dense;
    constexpr int Steps = 20000;
    for (int i = Steps; i >= -Steps; --i) {
        TContourPoint p;
        naca.At(0.5 * (1 - std::cos(std::numbers::pi * std::abs(i) / Steps)), i >= 0, p.x, p.y);
        dense.push_back(p);
    }
    const auto nose = std::max_element(dense.begin(), dense.end(), [](const auto& a, const auto& b) {
        return std::hypot(a.x - 1, a.y) < std::hypot(b.x - 1, b.y);
    });
    const double chord = std::hypot(1 - nose->x, nose->y), ux = (1 - nose->x) / chord, uy = -nose->y / chord;
    const TContourPoint o = *nose;
    for (TContourPoint& p : dense)
        p = {((p.x - o.x) * ux + (p.y - o.y) * uy) / chord, ((p.y - o.y) * ux - (p.x - o.x) * uy) / chord, 0.0};
    return dense;
}

TEST(XfoilPaneling, CurveFollowsTheTrueSectionWithEvenlyGrowingPanels)
{
    struct TRow {
        const char* name;
        TNacaOutline naca; ///< 2412 unless told
        double tolerance;
    };
    // 37 clicks: 19 on the upper side, 17 below and the edge clicked again; 100 clicks: 51 and 49,
    // cosine-spaced; the first clicks at 0.8 % and 3 % of the chord. The strongly cambered 6409's
    // tight nose, three clicks on it, needs the nose's own frame (the spline's is 0.0004 off).
    for (const TRow& row : {TRow{"2412, 37 points", {.half = 18}, 0.00015},
                            TRow{"2412, 100 points", {.half = 50, .lowerEdgeClicked = false}, 0.0001},
                            TRow{"0012, 37 points", {.camber = 0.0, .half = 18}, 0.0003},
                            TRow{"4415, 100 points", {.camber = 0.04, .thickness = 0.15, .half = 50, .lowerEdgeClicked = false}, 0.0001},
                            TRow{"6409, 31 points", {.camber = 0.06, .thickness = 0.09, .half = 15}, 0.0002}}) {
        SCOPED_TRACE(row.name);
        const TNacaOutline& naca = row.naca;
        const TXfoilOutline outline = XfoilOutline(Table(naca.Clicked()));
        ASSERT_TRUE(outline.Paneled);
        ASSERT_EQ(outline.Points.size(), 160u);
        // A sharp edge: first and last point at the apex; the leading edge a node at (0, 0).
        for (const TContourPoint& end : {outline.Points.front(), outline.Points.back()})
            EXPECT_TRUE(end.x == 1.0 && end.y == 0.0) << end.x << ", " << end.y;
        EXPECT_EQ(std::count_if(outline.Points.begin(), outline.Points.end(), [](const auto& p) { return p.x == 0 && p.y == 0; }), 1);

        const std::vector<TContourPoint> truth = TrueSection(naca);
        double worst = 0.0, steepest = 1.0;
        for (std::size_t i = 0; i < outline.Points.size(); ++i) {
            worst = std::max(worst, DistanceToPolyline(outline.Points[i], truth));
            if (i + 2 < outline.Points.size()) {
                const auto& a = outline.Points[i];
                const auto& b = outline.Points[i + 1];
                const auto& c = outline.Points[i + 2];
                const double ratio = std::hypot(c.x - b.x, c.y - b.y) / std::hypot(b.x - a.x, b.y - a.y);
                steepest = std::max({steepest, ratio, 1 / ratio});
                // Far below the 40 degrees at which XFOIL warns.
                EXPECT_LT(TurnDegrees(a, b, c), 15.0) << "at point " << i + 1;
            }
        }
        RecordProperty(std::string(row.name) + " deviation", std::to_string(worst));
        EXPECT_LT(worst, row.tolerance);
        EXPECT_LE(steepest, 1.5);
    }
}

TEST(XfoilPaneling, KeepsAKinkTheUserDrewAndTheOpenEdgeOpen)
{
    // A flap bent down by 45 degrees at the 24th of 30 stations (90 % of the chord), where both
    // sides have a click; the edge left open.
    std::vector<TContourPoint> contour = TNacaOutline{.camber = 0.0, .half = 30, .closedEdgeCoefficient = false}.Clicked();
    const double hingeX = 150 + 1000 * 0.5 * (1 - std::cos(std::numbers::pi * 24 / 30)) + 1e-9;
    const double hingeY = TNacaOutline::Height / 2, c = std::cos(std::numbers::pi / 4);
    for (TContourPoint& p : contour) {
        if (p.x > hingeX) {
            const double dx = p.x - hingeX, dy = p.y - hingeY;
            p = {hingeX + c * dx - c * dy, hingeY + c * dx + c * dy, 0.0};
        }
    }
    const TXfoilOutline outline = XfoilOutline(Table(contour));
    ASSERT_TRUE(outline.Paneled);
    EXPECT_EQ(outline.Corners, 2);
    int kinks = 0;
    for (std::size_t i = 1; i + 1 < outline.Points.size(); ++i)
        kinks += TurnDegrees(outline.Points[i - 1], outline.Points[i], outline.Points[i + 1]) > 30.0 ? 1 : 0;
    EXPECT_EQ(kinks, 2);
    // Open: the two edge points apart, their midpoint at (1, 0).
    const TContourPoint& first = outline.Points.front();
    const TContourPoint& last = outline.Points.back();
    EXPECT_GT(std::hypot(first.x - last.x, first.y - last.y), 0.001);
    EXPECT_NEAR(0.5 * (first.x + last.x), 1.0, 1e-12);
    EXPECT_NEAR(0.5 * (first.y + last.y), 0.0, 1e-12);
}

TEST(XfoilPaneling, IrregularPointsAreWrittenAsTheyAreWithTheReason)
{
    const std::vector<TContourPoint> section = TNacaOutline{.half = 10}.Clicked();
    std::vector<TContourPoint> repeated;
    for (int i = 0; i < 6; ++i)
        repeated.insert(repeated.end(), 2, section[static_cast<std::size_t>(i * 3)]);
    std::vector<TContourPoint> zigzag = section;
    zigzag[5].y -= 300;
    std::vector<TContourPoint> crossing = section;
    std::swap(crossing[4], crossing[16]);
    std::vector<TContourPoint> flatNose = section;
    flatNose[9].x = flatNose[11].x = flatNose[10].x;
    struct TRow {
        const char* name;
        std::vector<TContourPoint> contour;
        TRawReason reason;
        const char* says;
    };
    for (const TRow& row : {TRow{"three points", {section[0], section[10], section[15]}, TRawReason::TooFew, "3 Punkte sind zu wenige"},
                            TRow{"six points each clicked twice", repeated, TRawReason::TooFew, "6 Punkte sind zu wenige"},
                            TRow{"a zig-zag", zigzag, TRawReason::ZigZag, "Ein Knick über 90° (Zeile 8)"},
                            TRow{"a self-crossing", crossing, TRawReason::SelfCrossing, "kreuzt"},
                            TRow{"twenty points far apart", section, TRawReason::None, "160 Punkte auf einer glatten Kurve durch alle 20 Punkte"},
                            TRow{"a nose clicked flat", flatNose, TRawReason::None, "160 Punkte auf einer glatten Kurve durch alle 20 Punkte"}}) {
        SCOPED_TRACE(row.name);
        const std::vector<TContourPoint> table = Table(row.contour);
        const TXfoilOutline outline = XfoilOutline(table);
        EXPECT_EQ(outline.Reason, row.reason);
        EXPECT_EQ(outline.Paneled, row.reason == TRawReason::None);
        const std::vector<std::string> lines = XfoilCheckLines(outline, false, ",");
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines[0].find(row.says), std::string::npos) << lines[0];
        for (const TContourPoint& p : outline.Points)
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        // Read back, the file's text gives its points again.
        EXPECT_EQ(TableFromText(XfoilFileText("t", outline)).size(), outline.Points.size());
    }
    // A hand-edited text may hold numbers near the end of the doubles: no curve, no infinity.
    std::vector<TContourPoint> huge = Table(section);
    for (TContourPoint& p : huge)
        p = {p.x * 1e307, p.y * 1e307, 0.0};
    const TXfoilOutline outline = XfoilOutline(huge);
    EXPECT_EQ(outline.Reason, TRawReason::NoCurve);
    EXPECT_NO_THROW(XfoilFileText("t", outline));
}

TEST(XfoilPaneling, TextLinesAreReadAsPointsOrNamed)
{
    const std::vector<TContourPoint> table = TableFromText("Titel\n1 0\n 0.5\t-1.25E-2 \n0 0\n1 0\n\n");
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[1].x, 0.5);
    EXPECT_EQ(table[1].y, -0.0125);
    EXPECT_EQ(TextTitle("Titel\n1 0"), "Titel");
    for (const auto& [text, message] : {std::pair{"T\n1 0\n0,5 0,1\n", "Zeile 3 des Textes ist kein Punkt „x y“: „0,5 0,1“."},
                                        std::pair{"T\n1 0\n\n0 0", "Zeile 3 des Textes ist kein Punkt „x y“: „“."},
                                        std::pair{"T\ninf 0", "Zeile 2 des Textes ist kein Punkt „x y“: „inf 0“."},
                                        std::pair{"T\n1 0 7", "Zeile 2 des Textes ist kein Punkt „x y“: „1 0 7“."}}) {
        try {
            TableFromText(text);
            ADD_FAILURE() << "read: " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
}

} // namespace
