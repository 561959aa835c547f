// The outline traced from one click on synthetic section drawings of known NACA outlines.
#include "OutlineDrawing.h"
#include "OutlineTrace.h"

#include <gtest/gtest.h>

#include <cmath>
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

TContourPoint ToView(TPoint p, double angle)
{
    const double a = angle / 180.0 * 3.141592653589793;
    return {p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), 0.0};
}

TPoint ToPicture(const TContourPoint& p, double angle)
{
    const double a = angle / 180.0 * 3.141592653589793;
    return {p.x * std::cos(a) + p.y * std::sin(a), -p.x * std::sin(a) + p.y * std::cos(a)};
}

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
    if (c.section.blunt)
        EXPECT_LT(std::hypot(last.x - d.lowerEdge.x, last.y - d.lowerEdge.y), 0.3);
    else
        EXPECT_LT(std::hypot(last.x - d.lowerEdge.x, last.y - d.lowerEdge.y), 0.01 * c.section.chord);
}

TSection Section(std::string naca, double chord, double width, double angle = 0.0, bool blunt = false)
{
    TSection s;
    s.naca = std::move(naca);
    s.chord = chord;
    s.width = width;
    s.angle = angle;
    s.blunt = blunt;
    return s;
}

TSection With(TSection s, bool TSection::*extra)
{
    s.*extra = true;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, Trace,
    ::testing::Values(TDrawingCase{"Naca2412Thin", Section("2412", 1000, 2)},
                      TDrawingCase{"Naca0012SmallFine", Section("0012", 400, 1)},
                      TDrawingCase{"Naca4415Turned", Section("4415", 800, 3, 20), TForm::Bgr24},
                      TDrawingCase{"Naca23012TurnedBack", Section("23012", 1200, 2, -30), TForm::Palette8},
                      TDrawingCase{"Naca2412ViewTurned", Section("2412", 900, 2, 15), TForm::Grey8, -15},
                      TDrawingCase{"Naca0015Wide", Section("0015", 1500, 6)},
                      TDrawingCase{"Naca2412Blunt", Section("2412", 2000, 2, 0, true)},
                      TDrawingCase{"Naca23015BluntJpeg", Section("23015", 2400, 3, 10, true), TForm::JpegColour},
                      TDrawingCase{"Naca2412GreyJpeg", Section("2412", 1000, 2.5), TForm::JpegGrey},
                      TDrawingCase{"ChordLine", With(Section("2412", 1000, 2), &TSection::chordLine)},
                      TDrawingCase{"CamberLine", With(Section("4412", 1000, 2), &TSection::camberLine)},
                      TDrawingCase{"Grid", With(Section("2412", 1000, 2), &TSection::grid), TForm::JpegColour},
                      TDrawingCase{"Lettering", With(Section("2412", 1000, 2), &TSection::lettering)},
                      TDrawingCase{"Gaps", With(Section("2412", 1000, 2), &TSection::gaps)}),
    [](const auto& info) { return info.param.name; });

} // namespace
