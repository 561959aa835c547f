#include "ChartPanel.h"
#include "FakeChartCanvas.h"

#include <gtest/gtest.h>

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
    }
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
