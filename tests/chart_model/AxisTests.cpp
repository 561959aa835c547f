#include "ChartPanel.h"
#include "FakeChartCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

/// A vertical axis of the given length showing min .. max, laid out by hand.
void layOut(TChartAxis& axis, double min, double max, int length)
{
    axis.RangeMinimum = min;
    axis.RangeMaximum = max;
    axis.RangeSpan = max - min;
    axis.CalcPixelPositions({0, 0, length, length});
}

TEST(AxisLabels, StepFitsTheLabelsOfA13PixelFont)
{
    TCustomAxisPanel chart;
    FakeChartCanvas font;
    TChartAxis& axis = chart.LeftAxis();

    layOut(axis, 0, 1, 500);
    EXPECT_EQ(axis.MaxLabelCount(font), 36);
    EXPECT_EQ(axis.CalcIncrement(font), 1.0);
    EXPECT_EQ(axis.LabelValues(1.0), (std::vector<double>{1, 0}));

    layOut(axis, -0.06, 0.06, 500);
    const double step = axis.CalcIncrement(font);
    EXPECT_NEAR(step, 0.005, 1e-15);
    EXPECT_EQ(Nearest(0.12 / 0.002), 60); // why the step before it was not taken
    const std::vector<double> labels = axis.LabelValues(step);
    ASSERT_EQ(labels.size(), 25u);
    EXPECT_NEAR(labels.front(), 0.06, 1e-12);
    EXPECT_NEAR(labels.back(), -0.06, 1e-12);
}

TEST(AxisLabels, NextStepRunsOneTwoFive)
{
    const struct {
        double in, out;
    } rows[] = {{1, 2}, {2, 5}, {4.9, 5}, {5, 10}, {20, 50}, {50, 100}, {0.5, 1}, {0.2, 0.5}, {0.1, 0.2},
                {1e-12, 2e-12}, {0.002, 0.005}, {0.3, 0.5}, {7e5, 1e6},
                // just below a member of the sequence: that member, not the one after it
                {1.9999999999, 2}, {4.9999999999, 5}, {9.9999999999, 10}, {0.019999999999, 0.02},
                {1e22, 2e22}, {5e300, 1e301}, {5e-320, 1e-319}};
    for (const auto& r : rows)
        EXPECT_EQ(NextLabelStep(r.in), r.out) << r.in;
}

TEST(AxisLabels, StepsClimbWithoutDrift)
{
    // Each step is the double nearest to its decimal value, so the search neither stalls nor skips.
    double step = 1e-12;
    const char* digits = "251";
    for (int i = 0; i < 3 * 40; ++i) {
        step = NextLabelStep(step);
        const int k = (i + 1) / 3 - 12;
        const std::string text = std::string(1, digits[i % 3]) + "e" + std::to_string(k);
        ASSERT_EQ(step, std::strtod(text.c_str(), nullptr)) << text;
    }
}

TEST(AxisLabels, SearchStartedFarUpEndsOnTheStepOfTheFullClimb)
{
    // The climb as the rule states it, one step at a time from the start value.
    const auto climb = [](double span, int maxCount) {
        double step = std::fabs(span) >= 1.0 ? 1.0 : 1e-12;
        while (!(std::fabs(span / step) < 2147483647.0) || Nearest(span / step) > maxCount)
            step = NextLabelStep(step);
        return step;
    };
    TCustomAxisPanel chart;
    TChartAxis& axis = chart.LeftAxis();
    for (double span = 3e-14; span < 1e305; span *= 7.3)
        for (const int maxCount : {1, 2, 7, 36, 60}) {
            layOut(axis, 0, span, 500);
            ASSERT_EQ(axis.LabelIncrement(maxCount), climb(span, maxCount)) << span << " " << maxCount;
        }
}

TEST(AxisLabels, AStepInTheSequenceIsReplacedWhenTooDense)
{
    TCustomAxisPanel chart;
    TChartAxis& axis = chart.LeftAxis();
    layOut(axis, 0, 100, 500);
    axis.Increment = 2;
    EXPECT_EQ(axis.LabelIncrement(36), 5.0); // 100 / 2 = 50 labels are too many
    EXPECT_EQ(axis.LabelIncrement(60), 2.0);
    EXPECT_EQ(axis.LabelIncrement(0), 1e-12);
    axis.LabelsSeparation = 0;
    EXPECT_EQ(axis.LabelIncrement(36), 2.0);
}

TEST(AxisLabels, FirstLabelIsAMultipleOfTheStepAtOrBelowTheMaximum)
{
    TCustomAxisPanel chart;
    TChartAxis& axis = chart.LeftAxis();
    layOut(axis, -1, -0.25, 500);
    const std::vector<double> v = axis.LabelValues(0.1);
    ASSERT_FALSE(v.empty());
    EXPECT_NEAR(v.front(), -0.3, 1e-12);
    EXPECT_NEAR(v.back(), -1.0, 1e-12);
    EXPECT_EQ(v.size(), 8u);

    layOut(axis, 3, 3, 500);
    EXPECT_EQ(axis.LabelValues(1), std::vector<double>{3}); // a zero range draws one label
    layOut(axis, 0, 1e6, 500);
    EXPECT_TRUE(axis.LabelValues(1).empty()); // 10000 labels or more: none at all
}

TEST(AxisLabels, TinyStepFarFromZeroEndsInsteadOfLoopingForEver)
{
    TCustomAxisPanel chart;
    TChartAxis& axis = chart.LeftAxis();
    layOut(axis, 1e6, 1e6 + 1e-10, 500);
    const std::vector<double> v = axis.LabelValues(5e-12);
    EXPECT_LE(v.size(), 1u);
}

TEST(AxisLabels, TextUsesTheGivenSeparators)
{
    const TNumberSeparators english;
    const TNumberSeparators german{",", "."};
    const struct {
        const char* name;
        double v;
        const TNumberSeparators& sep;
        const char* text;
    } rows[] = {
        {"integer", 1, english, "1"},
        {"fraction", 0.5, english, "0.5"},
        {"three decimals", -0.0125, english, "-0.013"},
        {"grouping", 1234567.891, english, "1,234,567.891"},
        {"exact thousand", -1000, english, "-1,000"},
        {"rounds to zero without sign", -0.0001, english, "0"},
        {"residue of subtraction", -1.3877787807814457e-17, english, "0"},
        {"rounds up into next digit", 0.9996, english, "1"},
        {"comma decimal", 1234.5, german, "1.234,5"},
        {"comma decimal small", -0.06, german, "-0,06"},
        {"18 integer digits keep the pattern", 123456789012345678.0, english, "123,456,789,012,345,680"},
        {"19 take the general format", 1e18, english, "1E18"},
        {"general, negative", -2.5e79, english, "-2.5E79"},
        {"general rounds at the 16th digit", 1.2345678901234567e30, english, "1.23456789012346E30"},
        {"general carries into a new digit", 1e23, english, "1E23"},
        {"largest double", 1.7976931348623157e308, english, "1.79769313486232E308"},
        {"general, comma decimal", 1.5e20, german, "1,5E20"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FormatAxisValue(r.v, r.sep), r.text) << r.name;
}

TEST(AxisRange, WritersCheckTheOtherEndInTheOrderOfWrites)
{
    TCustomAxisPanel chart;
    TChartAxis& axis = chart.LeftAxis();
    axis.SetMaximum(3);
    try {
        axis.SetMinimum(5);
        FAIL();
    } catch (const AxisException& e) {
        EXPECT_STREQ(e.what(), "Der Minimalwert einer Achse muß <= Maximum sein");
    }
    EXPECT_EQ(axis.Minimum(), 0);
    try {
        axis.SetMaximum(-1);
        FAIL();
    } catch (const AxisException& e) {
        EXPECT_STREQ(e.what(), "Der Maximalwert einer Achse muß >= Minimum sein");
    }
    EXPECT_EQ(axis.Maximum(), 3);
    axis.SetMaximum(10);
    axis.SetMinimum(5);
    EXPECT_EQ(axis.Minimum(), 5);
    EXPECT_TRUE(axis.Automatic()); // writing the ends leaves the flags alone
}

TEST(AxisRange, AutomaticFlagsAreCoupled)
{
    TCustomAxisPanel chart;
    TChartAxis& a = chart.BottomAxis();
    a.SetAutomaticMinimum(false);
    EXPECT_FALSE(a.Automatic());
    EXPECT_TRUE(a.AutomaticMaximum());
    a.SetAutomaticMaximum(false);
    a.SetAutomaticMaximum(true); // the other end is still fixed
    EXPECT_FALSE(a.Automatic());
    a.SetAutomaticMinimum(true);
    EXPECT_TRUE(a.Automatic());
    a.SetAutomatic(false);
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
}

TEST(AxisRange, SetRangeOrdersTheEndsAndKeepsAMinimalSpan)
{
    TCustomAxisPanel chart;
    TChartAxis& a = chart.BottomAxis();
    a.SetRange(4, -2);
    EXPECT_EQ(a.Minimum(), -2);
    EXPECT_EQ(a.Maximum(), 4);
    EXPECT_FALSE(a.Automatic() || a.AutomaticMinimum() || a.AutomaticMaximum());
    a.SetRange(0.5, 0.5);
    EXPECT_EQ(a.Maximum(), 0.5 + 1e-10);
}

TEST(AxisRange, AutomaticAxisFollowsTheDataAtTheNextDrawing)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.AddPoint(-2, 5);
    s.AddPoint(3, 7);
    chart.LeftAxis().SetMaximum(100);
    chart.LeftAxis().SetMinimum(50);
    for (int i = 0; i < chart.AxisCount(); ++i)
        chart.Axis(i).AdjustRange();
    EXPECT_EQ(chart.LeftAxis().Minimum(), 5);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 7);
    EXPECT_EQ(chart.BottomAxis().RangeMinimum, -2);
    EXPECT_EQ(chart.BottomAxis().RangeSpan, 5);
    EXPECT_EQ(chart.TopAxis().Maximum(), 0); // no series on it
}

TEST(AxisPixels, ValueToPixelRoundsHalvesToEvenAndMapsBack)
{
    TCustomAxisPanel chart;
    TChartAxis& h = chart.BottomAxis();
    h.RangeMinimum = 0;
    h.RangeMaximum = 10;
    h.RangeSpan = 10;
    h.CalcPixelPositions({100, 0, 105, 50});
    EXPECT_EQ(h.ValueToPixel(1), 100);  // 0.5 -> 0
    EXPECT_EQ(h.ValueToPixel(3), 102);  // 1.5 -> 2
    EXPECT_EQ(h.ValueToPixel(10), 105);
    TChartAxis& v = chart.LeftAxis();
    layOut(v, -0.3, 0.7, 487);
    for (double x = -0.5; x <= 0.9; x += 0.0137)
        EXPECT_NEAR(v.PixelToValue(v.ValueToPixel(x)), x, 1.0 / 487 / 2 + 1e-12) << x;
    EXPECT_EQ(v.ValueToPixel(0.7), 0); // values grow upwards
    EXPECT_EQ(v.ValueToPixel(1e300), v.CenterPixel);
    v.RangeSpan = 0;
    EXPECT_EQ(v.ValueToPixel(5), v.CenterPixel);
    v.CalcPixelPositions({0, 0, 0, 0});
    EXPECT_EQ(v.PixelToValue(3), 0);
}

TEST(AxisPixels, MarginsWidenAnAutomaticRangeByTheMarkerRoom)
{
    TCustomAxisPanel chart;
    TLineSeries& s = chart.AddLineSeries();
    s.Pointer().SetVisible(true);
    s.Pointer().SetHorizSize(3);
    s.Pointer().SetVertSize(3);
    s.AddPoint(0, 0);
    s.AddPoint(2, 1);
    const TChartRect plot{0, 0, 600, 500};
    TChartAxis& v = chart.LeftAxis();
    v.AdjustRange();
    v.CalcPixelPositions(plot);
    v.ApplyPixelMargins(plot);
    const double grow = 1.0 * 4 / (500 - 4 - 4);
    EXPECT_NEAR(v.RangeMinimum, -grow, 1e-12);
    EXPECT_NEAR(v.RangeMaximum, 1 + grow, 1e-12);
    EXPECT_EQ(v.ValueToPixel(1), 4);
    EXPECT_EQ(v.ValueToPixel(0), 496);

    TChartAxis& h = chart.BottomAxis();
    h.SetAutomaticMaximum(false);
    h.SetMaximum(2);
    h.AdjustRange();
    h.CalcPixelPositions(plot);
    h.ApplyPixelMargins(plot);
    EXPECT_NEAR(h.RangeMinimum, -2.0 * 4 / 596, 1e-12);
    EXPECT_NEAR(h.RangeMaximum, 2.0, 1e-12); // a fixed end gets no margin
}

TEST(AxisLayout, AxesTakeTheirRoomFromTheBottomAndLeft)
{
    TCustomAxisPanel chart;
    chart.MarginLeft = chart.MarginTop = chart.MarginRight = chart.MarginBottom = 0;
    TLineSeries& s = chart.AddLineSeries();
    s.AddPoint(0, -0.06);
    s.AddPoint(1, 0.06);
    FakeChartCanvas canvas;
    chart.DrawChart(canvas, 770, 513);
    EXPECT_EQ(chart.PlotRect.Top, 0);
    EXPECT_EQ(chart.PlotRect.Right, 770);
    EXPECT_EQ(chart.PlotRect.Bottom, 513 - (13 + 6));
    // Before the first drawing the labels are measured at the range ends: "-0.06" is 5 characters.
    EXPECT_EQ(chart.PlotRect.Left, 5 * 7 + 7 + 6);
    EXPECT_FALSE(chart.TopAxis().IsShown());
    EXPECT_FALSE(chart.RightAxis().IsShown());
}

TEST(AxisLayout, LongLabelsLeaveHalfTheWidthToThePlot)
{
    // "-100,000,000,000,000,000" is 24 characters: 168 pixels and a space.
    const struct {
        int width, left;
    } rows[] = {{770, 168 + 7 + 6}, {200, 200 / 2 + 6}, {7, 3 + 6}};
    for (const auto& r : rows) {
        TCustomAxisPanel chart;
        chart.MarginLeft = chart.MarginTop = chart.MarginRight = chart.MarginBottom = 0;
        TLineSeries& s = chart.AddLineSeries();
        s.AddPoint(0, -1e17);
        s.AddPoint(1, 1e17);
        FakeChartCanvas canvas;
        chart.DrawChart(canvas, r.width, 300);
        EXPECT_EQ(chart.PlotRect.Left, r.left) << r.width;
        EXPECT_GT(chart.PlotWidth(), 0) << r.width;
    }
}

} // namespace
