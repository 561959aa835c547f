// Refinement of contour points onto the centre of the drawn line, on synthetic scans.
#include "LineRefine.h"
#include "SyntheticScan.h"
#include "ViewMapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace {

using namespace scan;

constexpr double Pi = 3.141592653589793;

/// The view point of picture point (x, y) with the picture turned by `rotation` degrees.
TContourPoint ToView(double x, double y, double rotation)
{
    const double a = rotation / 360.0 * Pi * 2.0;
    return {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a), 0.0};
}

void ToPicture(const TContourPoint& p, double rotation, double& x, double& y)
{
    const double a = rotation / 360.0 * Pi * 2.0;
    x = p.x * std::cos(a) + p.y * std::sin(a);
    y = -p.x * std::sin(a) + p.y * std::cos(a);
}

TContourPointArray Applied(TContourPointArray points, const std::vector<TPointMove>& moves)
{
    for (const TPointMove& m : moves) {
        points[static_cast<std::size_t>(m.Index)].x = m.X;
        points[static_cast<std::size_t>(m.Index)].y = m.Y;
    }
    return points;
}

/// Points every `spacing` pixels along the stroke, each off it along its normal by `offsets`.
TContourPointArray AlongStroke(const TStroke& s, double spacing, const std::vector<double>& offsets, double rotation)
{
    const double a = s.angle * Pi / 180;
    TContourPointArray points;
    const int n = static_cast<int>(offsets.size());
    for (int i = 0; i < n; ++i) {
        const double along = (i - (n - 1) / 2.0) * spacing;
        const double off = offsets[static_cast<std::size_t>(i)];
        points.push_back(ToView(s.x + along * std::cos(a) - off * std::sin(a), s.y + along * std::sin(a) + off * std::cos(a),
                                rotation));
    }
    return points;
}

/// Offsets spread evenly over [-limit, limit] in a shuffled order, so that neighbours differ.
std::vector<double> Spread(int n, double limit)
{
    std::vector<double> offsets;
    for (int i = 0; i < n; ++i) {
        const int k = (i * 7 + 3) % n;
        offsets.push_back(-limit + 2 * limit * k / (n - 1));
    }
    return offsets;
}

struct TAccuracyCase {
    const char* name;
    double width;     ///< of the line, pixels
    double angle;     ///< of the line on the scan, degrees
    double rotation;  ///< of the view, degrees
    double zoom;
    int radius;
    TForm form;
};

void PrintTo(const TAccuracyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Accuracy : public ::testing::TestWithParam<TAccuracyCase> {};

TEST_P(Accuracy, PointsWithinTheWindowEndOnTheCentreLine)
{
    const TAccuracyCase& c = GetParam();
    const double h = RefineHalfWidth(c.zoom, c.radius);
    const int size = static_cast<int>(2 * (70 + h + 16));
    const TStroke stroke{size / 2.0 + 0.37, size / 2.0 - 0.21, c.angle, c.width, 35};
    const TScan picture = InForm(Draw({size, size, 228, 9, 7}, {stroke}), c.form);
    // The window reaches as far as the dots ask, but no more than four widths of the line (8 at least).
    const double reach = std::min(h, std::max(8.0, 4 * c.width));
    const TContourPointArray clicked = AlongStroke(stroke, 14, Spread(12, reach * 0.95), c.rotation);
    const auto moves = RefineContourOntoLine(picture.View(), clicked, c.rotation, c.zoom, c.radius);
    const TContourPointArray refined = Applied(clicked, moves);
    double sum = 0, worst = 0;
    for (const TContourPoint& p : refined) {
        double x, y;
        ToPicture(p, c.rotation, x, y);
        const double d = DistanceToStroke(stroke, x, y);
        sum += d * d;
        worst = std::max(worst, std::abs(d));
    }
    const double rms = std::sqrt(sum / refined.size());
    EXPECT_EQ(moves.size(), clicked.size());
    // An upright line one pixel wide errs by up to 0.05 with its place in the pixel from the pixels
    // alone; with grain that gives 0.053 at this place.
    EXPECT_LE(rms, c.width == 1.0 && c.angle == 0.0 ? 0.055 : 0.05);
    EXPECT_LE(worst, 0.15);

    // Points already on the centre line.
    const TContourPointArray onLine = AlongStroke(stroke, 14, std::vector<double>(12, 0.0), c.rotation);
    for (const TPointMove& m : RefineContourOntoLine(picture.View(), onLine, c.rotation, c.zoom, c.radius)) {
        const TContourPoint& p = onLine[static_cast<std::size_t>(m.Index)];
        EXPECT_LT(std::hypot(m.X - p.x, m.Y - p.y), 0.1) << "point " << m.Index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scans, Accuracy,
    ::testing::Values(TAccuracyCase{"OnePixelUpright", 1.0, 0.0, 0.0, 1.0, 4, TForm::Grey8},
                      TAccuracyCase{"OneAndAHalfUpright", 1.5, 0.0, 0.0, 1.0, 4, TForm::Grey8},
                      TAccuracyCase{"OneAndAHalfAskew", 1.5, 7.0, 0.0, 2.0, 4, TForm::Bgr24},
                      TAccuracyCase{"TwoPixelsTurnedView", 2.0, 30.0, 25.0, 1.0, 4, TForm::Palette8},
                      TAccuracyCase{"ThreePixelsZoomedOut", 3.0, 18.0, 0.0, 0.5, 4, TForm::Bgrx32},
                      TAccuracyCase{"FourPixelsZoomedIn", 4.0, 12.0, 355.0, 4.0, 4, TForm::Rgb24},
                      TAccuracyCase{"JpegColourThin", 1.2, 23.0, 5.0, 1.157625, 5, TForm::JpegColour},
                      TAccuracyCase{"JpegGreyWide", 3.5, 3.0, 90.0, 0.857375, 4, TForm::JpegGrey},
                      TAccuracyCase{"JpegColourSteep", 2.6, 30.0, 180.0, 0.5, 6, TForm::JpegColour},
                      TAccuracyCase{"TwoPixelsFarZoomedIn", 2.0, 27.0, 0.0, 27.0, 4, TForm::Grey8},
                      TAccuracyCase{"MirroredJpegGrey", 1.0, -21.0, 0.0, 1.0, 4, TForm::JpegGrey}),
    [](const auto& info) { return std::string(info.param.name); });

/// A trailing edge: sides from the left meeting corners `gap` apart, joined by a drawn base.
struct TEdgeCase {
    const char* name;
    double gap; ///< between the corners; 0 is a sharp edge
    double width;
    double rotation;
    bool mirrored; ///< left to right: the edge on the left, the outline running the other way round
    TForm form;
};

void PrintTo(const TEdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

double ToSegment(double x, double y, double ax, double ay, double bx, double by)
{
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(x - ax - t * vx, y - ay - t * vy);
}

bool ProperlyCross(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c, const TContourPoint& d)
{
    const auto side = [](const TContourPoint& p, const TContourPoint& q, const TContourPoint& r) {
        return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

class TrailingEdge : public ::testing::TestWithParam<TEdgeCase> {};

TEST_P(TrailingEdge, TheEndsGoToTheCornersAndEveryPointOntoItsOwnSide)
{
    const TEdgeCase& c = GetParam();
    const auto X = [&](double x) { return c.mirrored ? 220 - x : x; };
    const double ux0 = X(30), uy0 = 40, lx0 = X(30), ly0 = 100, cx = X(180), uy = 70 - c.gap / 2, ly = 70 + c.gap / 2;
    std::vector<TPiece> pieces{{ux0, uy0, cx, uy, c.width}, {cx, ly, lx0, ly0, c.width}};
    if (c.gap > 0)
        pieces.push_back({cx, uy, cx, ly, c.width});
    const TScan picture = InForm(Draw({220, 140, 228, 8, 11}, {}, pieces), c.form);

    // Ten clicks a side every 13 pixels, 1.5 off the line to alternate sides, the ends 2 off the corners.
    TContourPointArray clicked;
    const auto side = [&](double x0, double y0, double x1, double y1, bool towardEdge) {
        const double len = std::hypot(x1 - x0, y1 - y0), tx = (x1 - x0) / len, ty = (y1 - y0) / len;
        for (int k = 0; k < 10; ++k) {
            const int j = towardEdge ? 9 - k : k;
            const double along = len - 13 * j - (j == 0 ? -1.2 : 0), off = j == 0 ? 1.6 : (j % 2 ? 1.5 : -1.5);
            clicked.push_back(ToView(x0 + along * tx - off * ty, y0 + along * ty + off * tx, c.rotation));
        }
    };
    side(ux0, uy0, cx, uy, false);
    side(lx0, ly0, cx, ly, true);
    const TContourPointArray refined =
        Applied(clicked, RefineContourOntoLine(picture.View(), clicked, c.rotation, 1.0, 4));

    std::vector<double> x(refined.size()), y(refined.size());
    for (std::size_t i = 0; i < refined.size(); ++i)
        ToPicture(refined[i], c.rotation, x[i], y[i]);
    const std::size_t last = refined.size() - 1;
    EXPECT_LE(std::hypot(x[0] - cx, y[0] - uy), 0.3);
    if (c.gap > 0) {
        EXPECT_LE(std::hypot(x[last] - cx, y[last] - ly), 0.3);
        EXPECT_NEAR(std::hypot(x[last] - x[0], y[last] - y[0]), c.gap, std::max(0.3, 0.1 * c.gap));
    } else {
        EXPECT_LE(ToSegment(x[last], y[last], cx, ly, lx0, ly0), 0.3);
    }
    // Every point but the ends and the two at the far left, where the outline jumps, on its side.
    for (std::size_t i = 1; i < last; ++i) {
        if (i == 9 || i == 10)
            continue;
        const double d = i < 10 ? ToSegment(x[i], y[i], ux0, uy0, cx, uy) : ToSegment(x[i], y[i], lx0, ly0, cx, ly);
        EXPECT_LE(d, 0.15) << "point " << i;
    }
    TContourPointArray ring = refined;
    ring.push_back(refined.front());
    for (std::size_t i = 0; i + 1 < ring.size(); ++i)
        for (std::size_t j = i + 2; j + 1 < ring.size(); ++j)
            EXPECT_FALSE(ProperlyCross(ring[i], ring[i + 1], ring[j], ring[j + 1])) << i << " " << j;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TrailingEdge,
    ::testing::Values(TEdgeCase{"Sharp", 0.0, 1.5, 0.0, false, TForm::Grey8},
                      TEdgeCase{"SharpWideTurned", 0.0, 3.0, 30.0, false, TForm::Bgr24},
                      TEdgeCase{"BluntMerged", 1.5, 2.0, 0.0, false, TForm::Grey8},
                      TEdgeCase{"BluntMirrored", 3.0, 2.6, 0.0, true, TForm::Palette8},
                      TEdgeCase{"BluntWideGapThinLine", 6.0, 1.0, 10.0, false, TForm::JpegColour},
                      TEdgeCase{"BluntFourPixelLine", 2.5, 4.0, 0.0, true, TForm::Grey8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineRefineContour, NoMoveMakesTheOutlineCrossItself)
{
    // Two points on a drawn circle, then a hairpin round it, out and back on either side of it: on
    // the circle the way out and the way back would cross.
    std::vector<TPiece> circle;
    for (int k = 0; k < 72; ++k)
        circle.push_back({80 + 50 * std::cos(k * Pi / 36), 80 + 50 * std::sin(k * Pi / 36),
                          80 + 50 * std::cos((k + 1) * Pi / 36), 80 + 50 * std::sin((k + 1) * Pi / 36), 1.5});
    const TScan picture = InForm(Draw({160, 160, 228, 8, 5}, {}, circle), TForm::Grey8);
    TContourPointArray points;
    for (const auto& [degrees, radius] :
         {std::pair{-70, 51.0}, {-35, 49.0}, {0, 52.5}, {40, 52.5}, {80, 52.5}, {100, 47.5}, {60, 47.5}, {20, 47.5}})
        points.push_back({80 + radius * std::cos(degrees * Pi / 180), 80 + radius * std::sin(degrees * Pi / 180), 0});
    const auto moves = RefineContourOntoLine(picture.View(), points, 0.0, 2.0, 4);
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves[0].Index, 0);
    EXPECT_EQ(moves[1].Index, 1);
    const TContourPointArray refined = Applied(points, moves);
    for (std::size_t i = 0; i + 1 < refined.size(); ++i)
        for (std::size_t j = i + 2; j + 1 < refined.size(); ++j)
            EXPECT_FALSE(ProperlyCross(refined[i], refined[i + 1], refined[j], refined[j + 1])) << i << " " << j;
}

/// A scene where some points must stay: picture points, the strokes, and which points move.
struct TSafetyCase {
    const char* name;
    std::vector<TStroke> strokes;
    std::vector<std::pair<double, double>> points;
    std::vector<bool> moves;
    int paper = 228;
};

void PrintTo(const TSafetyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Safety : public ::testing::TestWithParam<TSafetyCase> {};

TEST_P(Safety, PointsStayWhereTheLineIsNotOneAndClear)
{
    const TSafetyCase& c = GetParam();
    const TScan picture = InForm(Draw({160, 160, c.paper, 9, 3}, c.strokes), TForm::Grey8);
    TContourPointArray points;
    for (const auto& [x, y] : c.points)
        points.push_back({x, y, 0.0});
    std::vector<bool> moved(points.size(), false);
    for (const TPointMove& m : RefineContourOntoLine(picture.View(), points, 0.0, 1.0, 4))
        moved[static_cast<std::size_t>(m.Index)] = true;
    EXPECT_EQ(moved, c.moves);
}

const std::vector<bool> None(5, false);

INSTANTIATE_TEST_SUITE_P(
    Scenes, Safety,
    ::testing::Values(
        // Both lines of a thin trailing edge lie in the window (half-width 8 at zoom 1).
        TSafetyCase{"TwoParallelLines",
                    {{80, 80, 0, 1.5, 35}, {80, 86, 0, 1.5, 35}},
                    {{40, 81}, {60, 79.5}, {80, 80.5}, {100, 82}, {120, 80}},
                    None},
        // Two lines closing in on a sharp edge: near it both are in the window, farther out one.
        TSafetyCase{"TrailingEdgeWedge",
                    {{20, 80, 4, 1.5, 35}, {20, 80, -4, 1.5, 35}},
                    {{150, 85.9}, {120, 88.0}, {70, 84.5}, {60, 83.0}, {50, 82.4}},
                    {true, true, false, false, false}},
        TSafetyCase{"FaintLine", {{80, 80, 0, 2.0, 216}}, {{40, 81}, {60, 79}, {80, 82}, {100, 80}, {120, 78}}, None},
        TSafetyCase{"NoLine", {}, {{40, 81}, {60, 79}, {80, 82}, {100, 80}, {120, 78}}, None},
        TSafetyCase{"LineOutsideTheWindow", {{80, 91, 0, 1.5, 35}}, {{40, 80}, {60, 80}, {80, 80}, {100, 80}, {120, 80}}, None},
        // Where the outline has a gap, the faint graph line running on through it is not the outline.
        TSafetyCase{"FaintLineInAGap",
                    {{0, 80, 0, 2.0, 35, 20, 100}, {0, 81, 0, 1.0, 190, 100, 150}},
                    {{30, 82}, {45, 78}, {60, 81}, {75, 79}, {90, 82}, {125, 83}},
                    {true, true, true, true, true, false}},
        // A blot ten times as wide as the outline's line is no line.
        TSafetyCase{"Blot",
                    {{0, 80, 0, 2.0, 35, 20, 100}, {0, 80, 0, 10.0, 35, 100, 150}},
                    {{30, 82}, {45, 78}, {60, 81}, {75, 79}, {90, 82}, {125, 83}},
                    {true, true, true, true, true, false}}));

/// A one-pixel line on pixel column 10 of a clean scan, its centre at x = 10.5, and points about it.
TScan ColumnTen(TForm form)
{
    return InForm(Draw({40, 60, 230, 0, 1}, {{10.5, 30, 90, 1.0, 20}}), form);
}

TEST(LineRefineConventions, RefinedPointsLieInTheFrameTheViewDraws)
{
    // The view draws pixel column 10 over [10, 11) at every zoom; the line's centre is 10.5. A click
    // at zoom 1 on that column stores its corner, 10, and moves half a pixel toward the centre; a
    // click at zoom 27 on the client pixel that shows the centre moves by less than 0.05.
    TViewState view;
    view.ViewOriginX = 37;
    double atOne, atZoom, y;
    ClientToView(view, view.ViewOriginX + 10, 0, atOne, y);
    ASSERT_EQ(atOne, 10.0);
    view.ZoomFactor = 27.0;
    ClientToView(view, view.ViewOriginX + static_cast<int>(27.0 * 10.5), 0, atZoom, y);
    const TSheet sheet = Draw({40, 60, 230, 0, 1}, {{10.5, 30, 90, 1.0, 20}});
    for (const TScan& picture : {InForm(sheet, TForm::Grey8), InForm(sheet, TForm::Bgrx32), AsMono(sheet, 128, false),
                                 AsMono(sheet, 128, true)}) {
        for (const auto& [zoom, x] : {std::pair{1.0, atOne}, std::pair{27.0, atZoom}}) {
            const TContourPointArray points{{x, 20, 0}, {x, 30, 0}, {x, 40, 0}};
            const auto moves = RefineContourOntoLine(picture.View(), points, 0.0, zoom, 4);
            for (const TPointMove& m : moves) {
                EXPECT_NEAR(m.X, 10.5, 1e-4) << zoom;
                EXPECT_NEAR(m.Y, points[static_cast<std::size_t>(m.Index)].y, 1e-4);
            }
            const TContourPointArray after = Applied(points, moves);
            for (const TContourPoint& p : after)
                EXPECT_NEAR(p.x, 10.5, zoom == 1.0 ? 1e-4 : 0.05) << zoom;
        }
    }
}

TEST(LineRefineConventions, TheResultTurnsWithTheView)
{
    const TStroke stroke{80.4, 79.7, 17, 2.2, 40};
    const TScan picture = InForm(Draw({160, 160, 225, 9, 5}, {stroke}), TForm::Bgr24);
    const TContourPointArray upright = AlongStroke(stroke, 15, Spread(8, 6), 0.0);
    const auto reference = RefineContourOntoLine(picture.View(), upright, 0.0, 1.0, 4);
    ASSERT_EQ(reference.size(), upright.size());
    for (const double rotation : {5.0, 35.0, 90.0, 215.0, 355.0}) {
        const auto turned = RefineContourOntoLine(picture.View(), AlongStroke(stroke, 15, Spread(8, 6), rotation),
                                                  rotation, 1.0, 4);
        ASSERT_EQ(turned.size(), reference.size()) << rotation;
        for (std::size_t i = 0; i < turned.size(); ++i) {
            const TContourPoint expected = ToView(reference[i].X, reference[i].Y, rotation);
            EXPECT_NEAR(turned[i].X, expected.x, 1e-6) << rotation;
            EXPECT_NEAR(turned[i].Y, expected.y, 1e-6) << rotation;
        }
    }
}

TEST(LineRefineConventions, EveryLayoutOfOnePictureGivesTheSameMoves)
{
    const TStroke stroke{70.2, 81.6, 9, 1.7, 45};
    const TSheet sheet = Draw({160, 160, 225, 9, 9}, {stroke});
    const TContourPointArray points = AlongStroke(stroke, 12, Spread(8, 7), 0.0);
    const auto grey = RefineContourOntoLine(InForm(sheet, TForm::Grey8).View(), points, 0.0, 1.0, 4);
    const auto colour = RefineContourOntoLine(InForm(sheet, TForm::Bgr24).View(), points, 0.0, 1.0, 4);
    ASSERT_EQ(grey.size(), points.size());
    for (const auto& [form, reference] :
         {std::pair{TForm::Palette8, grey}, std::pair{TForm::Rgb24, colour}, std::pair{TForm::Bgrx32, colour}}) {
        const auto moves = RefineContourOntoLine(InForm(sheet, form).View(), points, 0.0, 1.0, 4);
        ASSERT_EQ(moves.size(), reference.size());
        for (std::size_t i = 0; i < moves.size(); ++i) {
            EXPECT_EQ(moves[i].X, reference[i].X);
            EXPECT_EQ(moves[i].Y, reference[i].Y);
        }
    }
}

TEST(LineRefineWindow, TheHalfWidthIsTwiceTheDotRadiusOnTheScreenButAtLeastTwoPixels)
{
    EXPECT_EQ(RefineHalfWidth(1.0, 4), 8.0);
    EXPECT_EQ(RefineHalfWidth(0.5, 5), 20.0);
    EXPECT_EQ(RefineHalfWidth(8.0, 4), 2.0);
    // A point 6 pixels off the line touches it at zoom 1, not at zoom 2 or with a smaller dot.
    const TScan picture = ColumnTen(TForm::Grey8);
    const TContourPointArray points{{16, 20, 0}, {16, 40, 0}};
    EXPECT_EQ(RefineContourOntoLine(picture.View(), points, 0.0, 1.0, 4).size(), 2u);
    EXPECT_EQ(RefineContourOntoLine(picture.View(), points, 0.0, 2.0, 4).size(), 0u);
    EXPECT_EQ(RefineContourOntoLine(picture.View(), points, 0.0, 2.0, 6).size(), 2u);
    const TContourPointArray near{{11.8, 20, 0}, {11.8, 40, 0}};
    EXPECT_EQ(RefineContourOntoLine(picture.View(), near, 0.0, 64.0, 4).size(), 2u);
}

TEST(LineRefineContour, DirectionsComeFromTheNeighboursAndNothingIsDoneWithoutThem)
{
    const TScan picture = ColumnTen(TForm::Grey8);
    const TPictureBytes view = picture.View();
    EXPECT_TRUE(RefineContourOntoLine(view, {}, 0.0, 1.0, 4).empty());
    EXPECT_TRUE(RefineContourOntoLine(view, {{12, 30, 0}}, 0.0, 1.0, 4).empty());
    EXPECT_TRUE(RefineContourOntoLine(TPictureBytes{}, {{12, 20, 0}, {12, 40, 0}}, 0.0, 1.0, 4).empty());
    // Coincident neighbours and a repeated point: the outline's direction from the side that has one.
    const TContourPointArray doubled{{12, 20, 0}, {12, 20, 0}, {9, 30, 0}, {9, 30, 0}, {11.5, 44, 0}};
    const auto moves = RefineContourOntoLine(view, doubled, 0.0, 1.0, 4);
    ASSERT_EQ(moves.size(), 5u);
    for (const TPointMove& m : moves)
        EXPECT_NEAR(m.X, 10.5, 0.05) << m.Index;
    // A second run finds every point on its line already.
    EXPECT_TRUE(RefineContourOntoLine(view, Applied(doubled, moves), 0.0, 1.0, 4).empty());
}

TEST(LineRefineContour, PointsBeyondMeasureStayAndTheirNeighboursGiveNoDirection)
{
    const TScan picture = ColumnTen(TForm::Grey8);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const TContourPointArray odd{{12, 10, 0}, {11, 16, 0}, {nan, 25, 0}, {11, 30, 0}, {1e300, 35, 0},
                                 {9, 40, 0},  {inf, 45, 0}, {11, 48, 0}, {9, 56, 0}};
    for (const double zoom : {1.0, 0.000125, 1e-300, 0.0, 1e300}) {
        std::vector<int> moved;
        for (const TPointMove& m : RefineContourOntoLine(picture.View(), odd, 0.0, zoom, 4)) {
            EXPECT_NEAR(m.X, 10.5, 0.05) << zoom;
            moved.push_back(m.Index);
        }
        // Only the two points with two measurable neighbours in a row find their direction.
        EXPECT_EQ(moved, (std::vector<int>{0, 8})) << zoom;
    }
    EXPECT_EQ(RefineHalfWidth(0.0, 4), 2.0);
    EXPECT_EQ(RefineHalfWidth(-1.0, 4), 2.0);
}

TEST(LineRefineContour, NoiseIsNoLineAndACancelledRunMovesNothing)
{
    // Paper with coarse grain and nothing drawn: 1,000 points round an ellipse, at several windows.
    const TScan noise = InForm(Draw({600, 400, 200, 40, 17}, {}), TForm::Bgr24);
    TContourPointArray points;
    for (int i = 0; i < 1000; ++i)
        points.push_back({300 + 250 * std::cos(i * 0.00628), 200 + 150 * std::sin(i * 0.00628) + (i % 3), 0.0});
    for (const double zoom : {1.0, 0.2, 0.001})
        EXPECT_TRUE(RefineContourOntoLine(noise.View(), points, 0.0, zoom, 4).empty()) << zoom;

    const TScan picture = ColumnTen(TForm::Grey8);
    TContourPointArray along;
    for (int i = 0; i < 600; ++i)
        along.push_back({i % 2 ? 12.0 : 9.0, 5 + i * 0.08, 0.0});
    int calls = 0;
    const auto moves = RefineContourOntoLine(picture.View(), along, 0.0, 1.0, 4, [&](double done) {
        EXPECT_GT(done, 0.0);
        return ++calls < 2;
    });
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(calls, 2);
    EXPECT_GE(RefineContourOntoLine(picture.View(), along, 0.0, 1.0, 4, [](double) { return true; }).size(), 590u);
}

TEST(LineRefineProbe, ReportsWhatItFoundAlongTheNormal)
{
    const TScan picture = InForm(Draw({80, 80, 228, 6, 4}, {{40, 40, 0, 2.0, 30}, {40, 47, 0, 2.0, 30}}), TForm::Grey8);
    const TPictureBytes view = picture.View();
    EXPECT_EQ(ProbeLine(view, 40, 33, 0, 1, 8).Finding, TLineFinding::Line);
    EXPECT_EQ(ProbeLine(view, 40, 43, 0, 1, 8).Finding, TLineFinding::SeveralLines);
    EXPECT_EQ(ProbeLine(view, 40, 20, 0, 1, 8).Finding, TLineFinding::NoLine);
    EXPECT_EQ(ProbeLine(view, 40, 20, 0, 0, 8).Finding, TLineFinding::OutsidePicture);
    EXPECT_EQ(ProbeLine(view, -30, 40, 0, 1, 8).Finding, TLineFinding::OutsidePicture);
    EXPECT_EQ(ProbeLine(view, 40, 76, 0, 1, 8).Finding, TLineFinding::NoLine);
    const TLineProbe found = ProbeLine(view, 40, 34.5, 0, -2, 8);
    EXPECT_NEAR(found.Offset, -5.5, 0.1);
    EXPECT_NEAR(found.Width, 2.0, 0.3);
    EXPECT_NEAR(found.Contrast, 198, 10);
}

} // namespace
