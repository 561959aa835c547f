// The outline traced from one click on synthetic section drawings of known NACA outlines.
#include "OutlineDrawing.h"
#include "OutlineTrace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using drawing::TPoint;
using drawing::TSection;
using scan::TForm;

struct TDrawingCase {
    std::string name;
    TSection section;
    TForm form = TForm::Grey8;
    double viewAngle = 0.0; ///< the view turned by the user, degrees
};

std::ostream& operator<<(std::ostream& out, const TDrawingCase& c) { return out << c.name; }

/// The view's frame turns the picture's by `angle` degrees; the picture's is the view's turned back.
TPoint Turn(double x, double y, double angle)
{
    const double a = angle / 180.0 * 3.141592653589793;
    return {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a)};
}

TContourPoint ToView(TPoint p, double angle)
{
    const TPoint v = Turn(p.x, p.y, angle);
    return {v.x, v.y, 0.0};
}

TPoint ToPicture(const TContourPoint& p, double angle) { return Turn(p.x, p.y, -angle); }

class Trace : public ::testing::TestWithParam<TDrawingCase> {};

TEST_P(Trace, FromOneClickRoundTheWholeOutlineOnTheLinesCentre)
{
    const TDrawingCase& c = GetParam();
    const drawing::TDrawing d = drawing::Draw(c.section);
    const scan::TScan picture = scan::InForm(d.sheet, c.form, 50);
    const TContourPointArray clicked{ToView(d.upperEdge, c.viewAngle)};
    const TTraceResult r = TraceOutline(picture.View(), clicked, c.viewAngle);
    ASSERT_EQ(r.End, TTraceEnd::TrailingEdge) << TraceStopSentence(r);
    EXPECT_NEAR(static_cast<double>(r.Added.size()), TraceOutlinePoints, 2.0);

    // The order along the outline; near a sharp edge, along the side each end's points belong to.
    const std::size_t mid = d.outline.size() / 2, count = r.Added.size();
    const std::vector<TPoint> upper(d.outline.begin(), d.outline.begin() + mid + 1), lower(d.outline.begin() + mid, d.outline.end());
    double sum = 0.0, worst = 0.0, share = 0.0, previous = -1.0;
    for (std::size_t i = 0; i < count; ++i) {
        const TPoint p = ToPicture(r.Added[i], c.viewAngle);
        const double e = drawing::DistanceToOutline(d.outline, p, &share);
        if (i < 10 || i + 10 >= count) {
            drawing::DistanceToOutline(i < 10 ? upper : lower, p, &share);
            share = (share + (i < 10 ? 0 : 1)) / 2;
        }
        sum += e * e;
        worst = std::max(worst, e);
        EXPECT_GT(share, previous) << "point " << i << " out of order";
        previous = share;
    }
    EXPECT_LE(std::sqrt(sum / r.Added.size()), 0.1);
    EXPECT_LE(worst, 0.3);
    // It starts at the upper edge and ends at the lower: a blunt edge at its lower corner, a sharp
    // one at the last point before the apex, which the first point holds.
    const TPoint first = ToPicture(r.Added.front(), c.viewAngle), last = ToPicture(r.Added.back(), c.viewAngle);
    EXPECT_LT(std::hypot(first.x - d.upperEdge.x, first.y - d.upperEdge.y), 0.01 * c.section.chord);
    EXPECT_LT(std::hypot(last.x - d.lowerEdge.x, last.y - d.lowerEdge.y), c.section.blunt ? 0.3 : 0.01 * c.section.chord);
}

// A section drawn as TSection's defaults has: NACA 2412, a chord of 1000 px, a 2 px line.
INSTANTIATE_TEST_SUITE_P(
    Drawings, Trace,
    ::testing::Values(TDrawingCase{"Naca2412Thin", {}},
                      TDrawingCase{"Naca0012SmallFine", {.naca = "0012", .chord = 400, .width = 1}},
                      TDrawingCase{"Naca4415Turned", {.naca = "4415", .chord = 800, .width = 3, .angle = 20}, TForm::Bgr24},
                      TDrawingCase{"Naca23012TurnedBack", {.naca = "23012", .chord = 1200, .angle = -30}, TForm::Palette8},
                      TDrawingCase{"Naca2412ViewTurned", {.chord = 900, .angle = 15}, TForm::Grey8, -15},
                      TDrawingCase{"Naca0015Wide", {.naca = "0015", .chord = 1500, .width = 6}},
                      TDrawingCase{"Naca2412Large", {.chord = 5000, .width = 5, .angle = 4}, TForm::Bgrx32},
                      TDrawingCase{"Naca2412Blunt", {.blunt = true, .chord = 2000}},
                      TDrawingCase{"Naca23015BluntJpeg", {.naca = "23015", .blunt = true, .chord = 2400, .width = 3, .angle = 10}, TForm::JpegColour},
                      TDrawingCase{"Naca2412GreyJpeg", {.width = 2.5}, TForm::JpegGrey},
                      TDrawingCase{"ChordLine", {.chordLine = true}},
                      TDrawingCase{"CamberLine", {.naca = "4412", .camberLine = true}},
                      TDrawingCase{"Grid", {.grid = true}, TForm::JpegColour},
                      TDrawingCase{"Lettering", {.lettering = true}},
                      TDrawingCase{"Gaps", {.gaps = true}}),
    [](const auto& info) { return info.param.name; });

/// Pictures with no outline on them: the trace adds nothing and says why.
struct THostileCase {
    std::string name;
    scan::TSheet sheet;
    TPoint click;
};

std::ostream& operator<<(std::ostream& out, const THostileCase& c) { return out << c.name; }

scan::TSheet Flat(int level, int noise)
{
    scan::TSheet s;
    s.Width = 600;
    s.Height = 400;
    std::uint64_t state = 99;
    for (int k = 0; k < s.Width * s.Height; ++k) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const int v = std::clamp(level + static_cast<int>((state >> 33) % (2 * noise + 1)) - noise, 0, 255);
        s.Grey.push_back(static_cast<std::uint8_t>(v));
        s.Rgb.insert(s.Rgb.end(), 3, static_cast<std::uint8_t>(v));
    }
    return s;
}

std::vector<THostileCase> HostileCases()
{
    drawing::TLine spiral{{}, 2.0, 30};
    for (double a = 24 * 3.141592653589793; a > 0.5; a -= 0.02)
        spiral.points.push_back({300.3 + 2.2 * a * std::cos(a), 200.2 + 2.2 * a * std::sin(a)});
    std::vector<drawing::TLine> grid;
    for (double x = 3.3; x < 600; x += 59.06)
        grid.push_back({{{x, 0}, {x, 400}}, 1.2, 165});
    for (double y = 5.7; y < 400; y += 59.06)
        grid.push_back({{{0, y}, {600, y}}, 1.2, 165});
    return {{"Noise", Flat(128, 128), {300.5, 200.5}},
            {"ScanGrain", Flat(225, 25), {300.5, 200.5}},
            {"Black", Flat(0, 0), {300.5, 200.5}},
            {"White", Flat(255, 0), {300.5, 200.5}},
            {"Spiral", drawing::Paint(600, 400, {spiral}), spiral.points.front()},
            {"GridCell", drawing::Paint(600, 400, grid), {330.5, 230.5}},
            {"GridLine", drawing::Paint(600, 400, grid), {3.3 + 5 * 59.06, 200.5}}};
}

class Hostile : public ::testing::TestWithParam<THostileCase> {};

TEST_P(Hostile, LeavesTheContourAsItWasWithItsSentence)
{
    const scan::TScan picture = scan::InForm(GetParam().sheet, TForm::Grey8);
    const TTraceResult r = TraceOutline(picture.View(), {{GetParam().click.x, GetParam().click.y, 0}}, 0.0);
    EXPECT_TRUE(r.Added.empty());
    EXPECT_FALSE(TraceStopSentence(r).empty());
}

INSTANTIATE_TEST_SUITE_P(Pictures, Hostile, ::testing::ValuesIn(HostileCases()),
                         [](const auto& info) { return info.param.name; });

TEST(TraceStops, AtAWideGapKeepsWhatItFoundAndGoesOnFromAClickBeyond)
{
    const drawing::TDrawing d = drawing::Draw({.wideGap = 0.3});
    const scan::TScan picture = scan::InForm(d.sheet, TForm::Grey8);
    TContourPointArray contour{{d.upperEdge.x, d.upperEdge.y, 0}};
    TTraceResult r = TraceOutline(picture.View(), contour, 0.0);
    ASSERT_EQ(r.End, TTraceEnd::Gap);
    EXPECT_NE(TraceStopSentence(r).find("Lücke"), std::string::npos);
    ASSERT_FALSE(r.Added.empty());
    double share = 0.0;
    for (const TContourPoint& p : r.Added)
        EXPECT_LT(drawing::DistanceToOutline(d.outline, {p.x, p.y}), 0.3);
    // It stopped at the gap's near end and says so.
    drawing::DistanceToOutline(d.outline, {r.StopX, r.StopY}, &share);
    EXPECT_NEAR(share, 0.3, 0.01);
    EXPECT_EQ(r.StopX, r.Added.back().x);

    // The user clicks beyond the gap and runs it again: the outline is whole, in order.
    contour.insert(contour.end(), r.Added.begin(), r.Added.end());
    const std::size_t beyond = static_cast<std::size_t>(0.31 * d.outline.size());
    // The click lands a pixel and more beside the line, as a click at the zoom of the chord does.
    const std::size_t click = contour.size();
    contour.push_back({d.outline[beyond].x, d.outline[beyond].y + 1.3, 0});
    r = TraceOutline(picture.View(), contour, 0.0);
    ASSERT_EQ(r.End, TTraceEnd::TrailingEdge) << TraceStopSentence(r);
    contour.insert(contour.end(), r.Added.begin(), r.Added.end());
    double previous = -1.0;
    for (std::size_t i = 1; i + 5 < contour.size(); ++i) {
        const double e = drawing::DistanceToOutline(d.outline, {contour[i].x, contour[i].y}, &share);
        if (i != click)
            EXPECT_LT(e, 0.3) << i;
        EXPECT_GT(share, previous) << i;
        previous = share;
    }
    EXPECT_GT(previous, 0.98);
}

TEST(TraceStops, BeforeCrossingTheContoursOwnPoints)
{
    const drawing::TDrawing d = drawing::Draw(TSection{});
    const scan::TScan picture = scan::InForm(d.sheet, TForm::Grey8);
    // A stroke clicked across the section at 60 % chord, then a point on the upper line at 30 %.
    const TPoint upper = d.outline[static_cast<std::size_t>(0.2 * d.outline.size())];
    const TPoint lower = d.outline[static_cast<std::size_t>(0.85 * d.outline.size())];
    const TContourPointArray contour{{lower.x, lower.y - 200, 0}, {lower.x, lower.y + 30, 0}, {upper.x, upper.y, 0}};
    const TTraceResult r = TraceOutline(picture.View(), contour, 0.0);
    ASSERT_EQ(r.End, TTraceEnd::Crossing) << TraceStopSentence(r);
    ASSERT_FALSE(r.Added.empty());
    EXPECT_GT(r.Added.back().x, lower.x - 5);
    EXPECT_LT(r.Added.back().x, lower.x);
}

} // namespace
