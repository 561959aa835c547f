#include "ChartFixture.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

/// The review chart shown on screen and painted once, logging its notifications and complete drawings.
struct ShownChart : ReviewChart {
    std::vector<std::string> log;
    int drawings = 0;

    ShownChart()
    {
        AddProfile();
        chart->OnZoom = [this](TCustomAxisPanel&) { log.push_back("zoom"); };
        chart->OnUndoZoom = [this](TCustomAxisPanel&) { log.push_back("undo"); };
        chart->OnScroll = [this](TCustomAxisPanel&) { log.push_back("scroll"); };
        chart->OnAfterDraw = [this](TCustomAxisPanel&) {
            ++drawings;
            log.push_back("draw");
        };
        chart->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(chart.get()));
        chart->repaint();
        log.clear();
        drawings = 0;
    }

    void drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        QTest::mousePress(chart.get(), button, {}, from);
        QTest::mouseMove(chart.get(), to);
        QTest::mouseRelease(chart.get(), button, {}, to);
    }
    void settle() { QCoreApplication::processEvents(); }
};

TEST(ChartWidget, ZoomDragNeedsSeventeenPixelsDownAndRight)
{
    const struct {
        const char* name;
        QPoint to;
        bool zoomed, reset;
    } rows[] = {
        {"zooms", {117, 117}, true, false},
        {"too narrow", {116, 200}, false, false},
        {"too flat", {200, 116}, false, false},
        {"up left resets", {80, 80}, false, true},
        {"up right resets", {200, 80}, false, true},
    };
    for (const auto& r : rows) {
        ShownChart f;
        f.drag(Qt::LeftButton, {100, 100}, r.to);
        f.settle();
        EXPECT_EQ(f.chart->IsZoomed, r.zoomed) << r.name;
        EXPECT_EQ(f.chart->BottomAxis().Automatic(), !r.zoomed) << r.name;
        const bool undone = std::count(f.log.begin(), f.log.end(), "undo") == 1;
        EXPECT_EQ(undone, r.reset) << r.name;
        if (r.zoomed) {
            EXPECT_NEAR(f.chart->BottomAxis().Minimum(), f.series->PixelToXValue(100), 0.01) << r.name;
        }
    }
}

TEST(ChartWidget, MouseZoomNotifiesBeforeTheRepaintItRequests)
{
    ShownChart f;
    f.drag(Qt::LeftButton, {100, 100}, {300, 300});
    EXPECT_EQ(f.log, std::vector<std::string>{"zoom"}); // the release only asks for a repaint
    f.settle();
    EXPECT_EQ(f.log, (std::vector<std::string>{"zoom", "draw"}));
}

TEST(ChartWidget, PercentZoomNotifiesThenRepaintsAtOnce)
{
    ShownChart f;
    f.chart->ZoomByPercent(105);
    EXPECT_EQ(f.log, (std::vector<std::string>{"zoom", "draw"}));
}

TEST(ChartWidget, DragShowsAnInvertedRectangleAndLeavesNoTrace)
{
    ShownChart f;
    const QImage before = f.chart->Bitmap().copy();
    QTest::mousePress(f.chart.get(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(f.chart.get(), {250, 200});
    const QImage dragging = f.chart->Bitmap().copy();
    EXPECT_NE(dragging.pixel(100, 150), before.pixel(100, 150));
    EXPECT_NE(dragging.pixel(249, 150), before.pixel(249, 150));
    // A full drawing during the drag draws the rectangle too, so the next inversion still erases it.
    f.chart->Repaint();
    EXPECT_EQ(f.chart->Bitmap(), dragging);
    QTest::mouseMove(f.chart.get(), {260, 210});
    QTest::mouseMove(f.chart.get(), {250, 200});
    EXPECT_EQ(f.chart->Bitmap(), dragging);
    QTest::mouseRelease(f.chart.get(), Qt::LeftButton, {}, {110, 110}); // too small: no zoom
    EXPECT_EQ(f.chart->Bitmap(), before);
    EXPECT_FALSE(f.chart->IsZoomed);
}

TEST(ChartWidget, WithoutZoomPermissionADragDrawsNothingButPercentZoomWorks)
{
    ShownChart f;
    f.chart->AllowZoom = false;
    const QImage before = f.chart->Bitmap().copy();
    QTest::mousePress(f.chart.get(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(f.chart.get(), {250, 200});
    EXPECT_EQ(f.chart->Bitmap(), before);
    QTest::mouseRelease(f.chart.get(), Qt::LeftButton, {}, {250, 200});
    f.settle();
    EXPECT_FALSE(f.chart->IsZoomed);
    EXPECT_TRUE(f.log.empty());
    f.chart->ZoomByPercent(90);
    EXPECT_TRUE(f.chart->IsZoomed);
    f.chart->ResetZoom();
    EXPECT_FALSE(f.chart->IsZoomed);
    EXPECT_TRUE(f.chart->LeftAxis().Automatic());
}

TEST(ChartWidget, RightDragPansUntilTheMouseLeavesThePlot)
{
    ShownChart f;
    TChartAxis& h = f.chart->BottomAxis();
    const double perPixel = h.RangeSpan / h.AxisLength;
    QTest::mousePress(f.chart.get(), Qt::RightButton, {}, {300, 200});
    const double start = h.Minimum();
    QTest::mouseMove(f.chart.get(), {290, 200});
    EXPECT_NEAR(h.Minimum(), start + 10 * perPixel, 1e-12);
    EXPECT_EQ(f.log, std::vector<std::string>{"scroll"});
    QTest::mouseMove(f.chart.get(), {f.chart->PlotRect.Left - 1, 200});
    EXPECT_FALSE(f.chart->PanDrag.Active);
    const double stopped = h.Minimum();
    QTest::mouseMove(f.chart.get(), {250, 200});
    EXPECT_EQ(h.Minimum(), stopped);
    QTest::mouseRelease(f.chart.get(), Qt::RightButton, {}, {250, 200});
}

TEST(ChartWidget, OwnMouseMoveComesBeforeTheChartsHandling)
{
    ShownChart f;
    std::vector<int> seenX1;
    std::vector<QPoint> moves;
    f.chart->OnMouseMove = [&](int x, int y) {
        moves.emplace_back(x, y);
        seenX1.push_back(f.chart->ZoomDrag.X1);
    };
    QTest::mousePress(f.chart.get(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(f.chart.get(), {150, 160});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], QPoint(150, 160));
    EXPECT_EQ(seenX1[0], 100);
    EXPECT_EQ(f.chart->ZoomDrag.X1, 150);
    QTest::mouseRelease(f.chart.get(), Qt::LeftButton, {}, {150, 160});
}

TEST(ChartWidget, RepaintFromTheAfterDrawHookDrawsTwiceInOnePaint)
{
    ShownChart f;
    const double target = f.chart->LeftAxis().Maximum() * 3;
    f.chart->OnAfterDraw = [&](TCustomAxisPanel& c) {
        ++f.drawings;
        if (f.drawings == 1) {
            c.LeftAxis().SetAutomatic(false);
            c.LeftAxis().SetMaximum(target);
            c.Repaint();
        }
    };
    f.chart->Repaint();
    EXPECT_EQ(f.drawings, 2);
    EXPECT_FALSE(f.chart->Dirty);
    ReviewChart fresh;
    fresh.AddProfile();
    fresh.chart->LeftAxis().SetAutomatic(false);
    fresh.chart->LeftAxis().SetMinimum(f.chart->LeftAxis().Minimum());
    fresh.chart->LeftAxis().SetMaximum(target);
    EXPECT_EQ(f.chart->Bitmap(), fresh.Render()); // the window gets the second, complete drawing
}

TEST(ChartWidget, CleanPaintOnlyCopiesTheBitmap)
{
    ShownChart f;
    f.chart->repaint();
    f.chart->repaint();
    EXPECT_EQ(f.drawings, 0);
    f.series->AddPoint(0.5, 0.5); // a change marks the bitmap dirty
    f.chart->repaint();
    EXPECT_EQ(f.drawings, 1);
}

TEST(ChartWidget, DenseOutlineShowsAsDrawnDirectly)
{
    ShownChart f;
    // Every point twice: the bitmap's drawing leaves out a marker repeated at once.
    for (int i = 0; i < 3000; ++i) {
        const double a = 6.283185307179586 * (i / 2) / 1500;
        f.series->AddPoint(0.5 + 0.5 * std::cos(a), 0.05 * std::sin(a));
    }
    f.chart->repaint();
    EXPECT_EQ(f.chart->Bitmap(), f.Render());
    // Moved off its twin: two more lines, drawn again only around them.
    f.series->YValues().SetValue(701, 0.02);
    f.series->Repaint();
    f.chart->repaint();
    EXPECT_EQ(f.chart->Bitmap(), f.Render());
}

TEST(ChartWidget, WheelScrollsTheVerticalAxisAfterTheOwnEvent)
{
    ShownChart f;
    std::vector<bool> wheels;
    double minAtOwnEvent = 0;
    f.chart->OnMouseWheel = [&](bool up) {
        wheels.push_back(up);
        minAtOwnEvent = f.chart->LeftAxis().Minimum();
    };
    const double min0 = f.chart->LeftAxis().Minimum();
    const double span = f.chart->LeftAxis().Maximum() - min0;
    QWheelEvent down(QPointF(200, 200), QPointF(f.chart->mapToGlobal(QPoint(200, 200))), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.chart.get(), &down);
    EXPECT_EQ(wheels, std::vector<bool>{false});
    EXPECT_EQ(minAtOwnEvent, min0);
    EXPECT_NEAR(f.chart->LeftAxis().Minimum(), min0 + 0.03 * span, 1e-12);
    EXPECT_TRUE(f.chart->BottomAxis().Automatic());
    EXPECT_EQ(f.drawings, 1);
}

TEST(ChartWidget, ResizeCallsTheOwnEventAndRedrawsAtTheNewSize)
{
    ShownChart f;
    int resized = 0;
    f.chart->OnResize = [&] { ++resized; };
    f.chart->resize(600, 400);
    EXPECT_EQ(resized, 1);
    f.chart->repaint();
    EXPECT_EQ(f.chart->Bitmap().size(), QSize(600, 400));
    EXPECT_EQ(f.chart->PlotRect.Right, 600);
}

} // namespace
