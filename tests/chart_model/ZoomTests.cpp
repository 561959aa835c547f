#include "ChartPanel.h"
#include "FakeChartCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

/// A chart that logs its notifications and repaints, drawn onto a recording canvas like a widget would.
class LoggingChart : public TCustomAxisPanel {
public:
    LoggingChart()
    {
        MarginLeft = MarginTop = MarginRight = MarginBottom = 0;
        series = &AddLineSeries();
        series->XValues().Order = TChartListOrder::loNone;
        series->Pointer().SetVisible(true);
        series->Pointer().SetHorizSize(3);
        series->Pointer().SetVertSize(3);
        series->AddPoint(0, 0);
        series->AddPoint(1, 1);
        OnZoom = [this](TCustomAxisPanel&) { log.push_back("zoom"); };
        OnUndoZoom = [this](TCustomAxisPanel&) { log.push_back("undo"); };
        OnScroll = [this](TCustomAxisPanel&) { log.push_back("scroll"); };
        Draw();
        log.clear();
    }
    void Draw()
    {
        FakeChartCanvas canvas;
        DrawChart(canvas, 770, 513);
        if (LabelTexts)
            for (const auto& op : canvas.ops)
                if (op.kind == "text")
                    *LabelTexts = std::max(*LabelTexts, op.text.size());
    }
    /// When set, the length of the longest label text drawn so far.
    std::size_t* LabelTexts = nullptr;
    void Repaint() override
    {
        log.push_back("repaint");
        Draw();
    }
    void DrawZoomRectangleOnWindow() override { log.push_back("rect"); }

    TLineSeries* series = nullptr;
    std::vector<std::string> log;
};

TEST(Zoom, ByPercentNarrowsOrWidensAboutTheMiddleOfTheDataRange)
{
    const struct {
        double percent, min, max;
    } rows[] = {{105, 0.05, 0.95}, {90, -0.1, 1.1}, {100, 0, 1}, {160, 0.4, 0.6}};
    for (const auto& r : rows) {
        LoggingChart chart;
        chart.ZoomByPercent(r.percent);
        for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis()}) {
            EXPECT_NEAR(a->Minimum(), r.min, 1e-12) << r.percent;
            EXPECT_NEAR(a->Maximum(), r.max, 1e-12) << r.percent;
            EXPECT_FALSE(a->Automatic());
        }
        EXPECT_TRUE(chart.IsZoomed);
        EXPECT_EQ(chart.log, (std::vector<std::string>{"zoom", "repaint"})) << r.percent;
    }
}

TEST(Zoom, ByPercentOneHundredFiftyCollapsesToTheMinimalSpan)
{
    LoggingChart chart;
    chart.ZoomByPercent(150);
    EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), 0.5);
    EXPECT_NEAR(chart.BottomAxis().Maximum() - chart.BottomAxis().Minimum(), 1e-10, 1e-16);
    chart.Draw(); // a usable axis: no label loop runs away
    EXPECT_FALSE(chart.BottomAxis().TickPositions.empty());
}

TEST(Zoom, SecondZoomStartsFromTheZoomedRange)
{
    LoggingChart chart;
    chart.ZoomByPercent(90);
    chart.ZoomByPercent(90);
    EXPECT_NEAR(chart.BottomAxis().Minimum(), -0.1 - 0.12, 1e-12);
}

TEST(Zoom, ResetRestoresAutomaticAxesAndNotifiesOnce)
{
    LoggingChart chart;
    chart.ZoomByPercent(90);
    chart.log.clear();
    chart.Dirty = false;
    chart.ResetZoom();
    EXPECT_EQ(chart.log, std::vector<std::string>{"undo"});
    EXPECT_TRUE(chart.Dirty);
    EXPECT_FALSE(chart.IsZoomed);
    EXPECT_TRUE(chart.ScalesRestored);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(chart.Axis(i).Automatic()) << i;
    chart.Draw();
    EXPECT_EQ(chart.series->PointPixelY(1), 4); // margins are back
}

TEST(Zoom, ResetWhoseHandlerZoomsAgainEndsNotZoomedButSavedOnce)
{
    LoggingChart chart;
    chart.OnUndoZoom = [&](TCustomAxisPanel& c) { c.ZoomByPercent(90); };
    chart.ResetZoom();
    EXPECT_FALSE(chart.IsZoomed);
    EXPECT_FALSE(chart.ScalesRestored);
    chart.OnUndoZoom = nullptr;
    chart.ResetZoom();
    EXPECT_TRUE(chart.LeftAxis().Automatic());
}

TEST(Zoom, RectangleTakesTheValuesUnderIt)
{
    LoggingChart chart;
    TChartAxis& h = chart.BottomAxis();
    TChartAxis& v = chart.LeftAxis();
    const double x0 = h.PixelToValue(100), x1 = h.PixelToValue(300);
    const double yTop = v.PixelToValue(50), yBottom = v.PixelToValue(200);
    chart.ZoomDrag = {false, 300, 200, 100, 50};
    chart.ZoomToRect();
    EXPECT_DOUBLE_EQ(h.Minimum(), x0);
    EXPECT_DOUBLE_EQ(h.Maximum(), x1);
    EXPECT_DOUBLE_EQ(v.Minimum(), yBottom);
    EXPECT_DOUBLE_EQ(v.Maximum(), yTop);
    EXPECT_EQ(chart.log, std::vector<std::string>{"zoom"});
}

TEST(Zoom, DragThresholdsAndDirections)
{
    const struct {
        const char* name;
        int x, y;
        bool zoomed, reset;
    } rows[] = {
        {"down right past both thresholds", 117, 117, true, false},
        {"too narrow", 116, 200, false, false},
        {"too low", 200, 116, false, false},
        {"up left", 80, 80, false, true},
        {"up right", 200, 80, false, true},
    };
    for (const auto& r : rows) {
        LoggingChart chart;
        chart.ChartMouseDown(TChartMouseButton::mbLeft, 100, 100);
        EXPECT_TRUE(chart.ZoomDrag.Active) << r.name;
        chart.ChartMouseMove(r.x, r.y);
        chart.ChartMouseMove(r.x, r.y); // same point: nothing drawn again
        chart.ChartMouseUp(TChartMouseButton::mbLeft, r.x, r.y);
        EXPECT_FALSE(chart.ZoomDrag.Active);
        EXPECT_EQ(chart.IsZoomed, r.zoomed) << r.name;
        const bool undone = std::find(chart.log.begin(), chart.log.end(), "undo") != chart.log.end();
        EXPECT_EQ(undone, r.reset) << r.name;
        // press, erase + draw on the move, erase on release: an even count leaves no rectangle behind
        EXPECT_EQ(std::count(chart.log.begin(), chart.log.end(), "rect"), 4) << r.name;
        EXPECT_EQ(chart.BottomAxis().Automatic(), !r.zoomed) << r.name;
    }
}

TEST(Zoom, NoDragWithoutZoomPermissionButPercentStillWorks)
{
    LoggingChart chart;
    chart.AllowZoom = false;
    chart.ChartMouseDown(TChartMouseButton::mbLeft, 100, 100);
    chart.ChartMouseMove(300, 300);
    chart.ChartMouseUp(TChartMouseButton::mbLeft, 300, 300);
    EXPECT_TRUE(chart.log.empty());
    EXPECT_FALSE(chart.IsZoomed);
    chart.ZoomByPercent(105);
    EXPECT_TRUE(chart.IsZoomed);
    chart.ResetZoom();
    EXPECT_TRUE(chart.BottomAxis().Automatic());
}

TEST(Zoom, PressOutsideEveryPartStartsNothing)
{
    LoggingChart chart;
    chart.ChartMouseDown(TChartMouseButton::mbLeft, 2, 2); // left of the left axis' labels
    EXPECT_FALSE(chart.ZoomDrag.Active);
    chart.series->SetActive(false);
    chart.Draw();
    chart.ChartMouseDown(TChartMouseButton::mbLeft, 300, 200); // plot without an active series
    EXPECT_FALSE(chart.ZoomDrag.Active);
}

TEST(Pan, ContentFollowsTheMouseAndStopsOutsideThePlot)
{
    LoggingChart chart;
    TChartAxis& h = chart.BottomAxis();
    TChartAxis& v = chart.LeftAxis();
    const double perPixelX = h.RangeSpan / h.AxisLength;
    const double perPixelY = v.RangeSpan / v.AxisLength;
    const double min0 = h.Minimum(), vmin0 = v.Minimum();
    chart.ChartMouseDown(TChartMouseButton::mbRight, 300, 200);
    ASSERT_TRUE(chart.PanDrag.Active);
    chart.ChartMouseMove(310, 195);
    EXPECT_NEAR(h.Minimum(), min0 - 10 * perPixelX, 1e-12); // dragged right: smaller values come into view
    EXPECT_NEAR(v.Minimum(), vmin0 - 5 * perPixelY, 1e-12);
    EXPECT_EQ(chart.log, std::vector<std::string>{"scroll"});
    chart.ChartMouseMove(chart.PlotRect.Right, 195);
    EXPECT_FALSE(chart.PanDrag.Active);
    const double stopped = h.Minimum();
    chart.ChartMouseMove(320, 195);
    EXPECT_EQ(h.Minimum(), stopped);
    chart.ResetZoom();
    EXPECT_TRUE(h.Automatic());
}

TEST(Pan, HorizontalModeMovesOnlyHorizontalAxes)
{
    LoggingChart chart;
    chart.AllowPanning = TPanningMode::pmHorizontal;
    const double vmin = chart.LeftAxis().Minimum();
    chart.ChartMouseDown(TChartMouseButton::mbRight, 300, 200);
    chart.ChartMouseMove(300, 250);
    EXPECT_TRUE(chart.log.empty());
    chart.ChartMouseMove(320, 250);
    EXPECT_EQ(chart.LeftAxis().Minimum(), vmin);
    EXPECT_EQ(chart.log, std::vector<std::string>{"scroll"});
    chart.ChartMouseUp(TChartMouseButton::mbRight, 320, 250);
    EXPECT_FALSE(chart.PanDrag.Active);
}

TEST(FarZoom, StepBeyondTheDoublesIsRefusedAndTheAxesKeepTheirRange)
{
    // The review window's wheel-down notch, over and over, from the unit square.
    LoggingChart chart;
    std::size_t longestLabel = 0;
    int narrowestPlot = chart.PlotWidth();
    chart.OnAfterDraw = [&](TCustomAxisPanel& c) { narrowestPlot = std::min(narrowestPlot, c.PlotWidth()); };
    chart.LabelTexts = &longestLabel;
    int steps = 0;
    std::string message;
    try {
        for (; steps < 5000; ++steps)
            chart.ZoomByPercent(90);
    } catch (const ChartException& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Gleitkommaüberlauf");
    EXPECT_NEAR(steps, std::log(1.7976931348623157e308) / std::log(1.2), 2);
    EXPECT_LE(longestLabel, 24u) << "labels of 300 digits would push the plot off";
    EXPECT_GT(narrowestPlot, 770 / 2);

    const double lo = chart.BottomAxis().Minimum(), hi = chart.BottomAxis().Maximum();
    chart.log.clear();
    EXPECT_THROW(chart.ZoomByPercent(90), EChartOverflow);
    EXPECT_EQ(chart.BottomAxis().Minimum(), lo);
    EXPECT_EQ(chart.BottomAxis().Maximum(), hi);
    EXPECT_TRUE(chart.log.empty()) << "no zoom notification, no repaint";
    chart.ZoomByPercent(105);
    EXPECT_LT(chart.BottomAxis().Maximum(), hi) << "zooming back in still works";
}

TEST(FarZoom, EveryPixelOfTheControlReadsAsANumber)
{
    const struct {
        const char* name;
        double lo, hi;
    } rows[] = {{"span beyond the doubles", -1.5e308, 1.5e308},
                {"near the largest double", 1e308, 1.79e308},
                {"wide and finite", -8e307, 8e307}};
    for (const auto& r : rows) {
        LoggingChart chart;
        chart.BottomAxis().SetRange(r.lo, r.hi);
        chart.LeftAxis().SetRange(r.lo, r.hi);
        chart.Draw();
        double previous = -std::numeric_limits<double>::infinity();
        for (int p = -800; p < 1600; ++p) {
            const double x = chart.series->PixelToXValue(p);
            const double y = chart.series->PixelToYValue(p);
            ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << r.name << " at " << p;
            ASSERT_GE(x, previous) << r.name << " at " << p;
            previous = x;
        }
    }
}

TEST(FarZoom, PanAndWheelBeyondTheDoublesLeaveTheAxes)
{
    LoggingChart chart;
    for (TChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis()})
        a->SetRange(1e308, 1.79e308);
    chart.Draw();
    chart.ChartMouseDown(TChartMouseButton::mbRight, 300, 200);
    EXPECT_NO_THROW(chart.ChartMouseMove(100, 400)); // content to the left and down: ranges beyond the doubles
    EXPECT_EQ(chart.BottomAxis().Maximum(), 1.79e308);
    EXPECT_EQ(chart.LeftAxis().Minimum(), 1e308);
    chart.ChartMouseUp(TChartMouseButton::mbRight, 100, 400);
    EXPECT_THROW(chart.ChartMouseWheel(false), EChartOverflow);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 1.79e308);
}

TEST(Wheel, ScrollsVerticalAxesByThreePercentWithoutSavingScales)
{
    LoggingChart chart;
    chart.ChartMouseWheel(false);
    EXPECT_NEAR(chart.LeftAxis().Minimum(), 0.03, 1e-12);
    EXPECT_NEAR(chart.LeftAxis().Maximum(), 1.03, 1e-12);
    EXPECT_TRUE(chart.BottomAxis().Automatic());
    EXPECT_TRUE(chart.ScalesRestored);
    chart.ChartMouseWheel(true);
    EXPECT_NEAR(chart.LeftAxis().Minimum(), 0.0, 1e-12);
    EXPECT_EQ(chart.log, (std::vector<std::string>{"repaint", "repaint"}));
}

} // namespace
