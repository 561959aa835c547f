#include "ChartFixture.h"
#include "QtChartCanvas.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>

namespace {

bool isTick(const TChartAxis& axis, int p)
{
    const auto& t = axis.TickPositions;
    return std::find(t.begin(), t.end(), p) != t.end();
}

TEST(ChartPixels, PlotFillsThePanelAboveAndRightOfTheAxes)
{
    ReviewChart f;
    f.AddProfile();
    const QImage image = f.Render();
    const TChartRect& p = f.chart->PlotRect;
    EXPECT_EQ(p.Top, 0);
    EXPECT_EQ(p.Right, 770);
    EXPECT_EQ(f.chart->PlotWidth(), 770 - p.Left);
    EXPECT_EQ(f.chart->PlotHeight(), p.Bottom);
    EXPECT_GT(p.Left, 6);
    EXPECT_LT(p.Bottom, 513 - 6);

    // The topmost point (y 0.06, index 1) lies 4 pixels below the top edge.
    EXPECT_EQ(f.series->PointPixelY(1), 4);
    const int x = f.series->PointPixelX(1);
    EXPECT_EQ(PixelColor(image, x, 4), clRed);
    EXPECT_EQ(f.series->PointPixelY(3), f.series->PointPixelY(0));
    EXPECT_EQ(f.series->PointPixelX(3), p.Left + 4);
    EXPECT_EQ(f.series->PointPixelX(0), p.Right - 4);
}

TEST(ChartPixels, WallOutlineFramesThePlot)
{
    ReviewChart f;
    f.AddProfile();
    const QImage image = f.Render();
    const TChartRect& p = f.chart->PlotRect;
    const TChartAxis& bottom = f.chart->BottomAxis();
    const TChartAxis& left = f.chart->LeftAxis();
    int checked = 0;
    for (int x = p.Left; x < 770; ++x) {
        if (isTick(bottom, x)) {
            continue; // a grid line crosses the outline there
        }
        ++checked;
        ASSERT_EQ(PixelColor(image, x, p.Top), clBlack) << x;
        ASSERT_EQ(PixelColor(image, x, p.Bottom), clBlack) << x; // under the axis line too
    }
    EXPECT_GT(checked, 600);
    for (int y = p.Top; y <= p.Bottom; ++y) {
        if (!isTick(left, y)) {
            ASSERT_EQ(PixelColor(image, p.Left, y), clBlack) << y;
        }
    }
    // Inside the outline the unfilled wall shows the panel colour.
    for (int y = p.Top + 1; y < p.Top + 20; ++y) {
        if (!isTick(left, y)) {
            EXPECT_EQ(PixelColor(image, 700, y), clSilver) << y;
        }
    }
    // Left of the axis labels and below them: panel.
    EXPECT_EQ(PixelColor(image, 2, 200), ColorToRGB(clSilver));
}

TEST(ChartPixels, PanelHasARaisedBevel)
{
    ReviewChart f;
    const QImage image = f.Render();
    EXPECT_EQ(PixelColor(image, 0, 300), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelColor(image, 769, 300), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelColor(image, 300, 512), ColorToRGB(clBtnShadow));
    // Corners: the frame runs up, right, down, then left along the bottom, each line painting its start.
    EXPECT_EQ(PixelColor(image, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelColor(image, 769, 512), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelColor(image, 0, 512), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelColor(image, 0, 511), ColorToRGB(clBtnHighlight));
}

// The left axis' ticks run leftwards from the column next to the axis line: a major tick covers
// the 4 pixels from x = AxisPosition - 1 outwards, a minor tick 2, the first of them on the axis line.
TEST(ChartPixels, LeftAxisTicksStartNextToTheAxisLine)
{
    ReviewChart f;
    f.AddProfile();
    const QImage image = f.Render();
    const TChartAxis& left = f.chart->LeftAxis();
    const int ap = left.AxisPosition;
    ASSERT_EQ(ap, 34);
    ASSERT_GE(left.TickPositions.size(), 3u);
    for (const int p : left.TickPositions) {
        for (int x = ap - 4; x <= ap - 1; ++x)
            ASSERT_EQ(PixelColor(image, x, p), clGray) << x << "," << p;
        ASSERT_EQ(PixelColor(image, ap - 5, p), clSilver) << p;
    }
    const int a = left.TickPositions[1];
    const int b = left.TickPositions[2];
    const int minor = b - Nearest((b - a) / 4.0);
    EXPECT_EQ(PixelColor(image, ap - 1, minor), clGray);
    EXPECT_EQ(PixelColor(image, ap - 2, minor), clGray);
    EXPECT_EQ(PixelColor(image, ap - 3, minor), clSilver);
    EXPECT_EQ(PixelColor(image, ap - 1, minor + 1), clBlack) << "the axis line beside the minor tick";
}

TEST(ChartPixels, ZoomedSeriesStaysOffTheOutlineAndTheRowAboveTheBottom)
{
    ReviewChart f;
    f.AddProfile();
    f.chart->ZoomByPercent(120); // points and lines now cross every edge of the plot
    const QImage with = f.Render();
    // The same chart with every point hidden: same axes, no series pixels.
    ReviewChart hidden;
    hidden.AddProfile();
    hidden.chart->ZoomByPercent(120);
    for (int i = 0; i < hidden.series->Count(); ++i)
        hidden.series->SetPointColor(i, clNone);
    const QImage without = hidden.Render();
    const TChartRect& p = f.chart->PlotRect;
    int seriesPixels = 0;
    for (int y = 0; y < 513; ++y)
        for (int x = 0; x < 770; ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                ++seriesPixels;
                ASSERT_GT(x, p.Left) << x << "," << y;
                ASSERT_LT(x, p.Right) << x << "," << y;
                ASSERT_GT(y, p.Top) << x << "," << y;
                ASSERT_LT(y, p.Bottom - 1) << x << "," << y;
            }
    EXPECT_GT(seriesPixels, 100);
    // The lines do reach the clip edge, so the limit is the clip, not the data.
    bool nearBottom = false;
    for (int x = p.Left + 1; x < p.Right; ++x)
        nearBottom = nearBottom || with.pixel(x, p.Bottom - 2) != without.pixel(x, p.Bottom - 2);
    EXPECT_TRUE(nearBottom);
}

TEST(ChartPixels, MarkerIsARedDiscWithABlackOutlineInItsBox)
{
    ReviewChart f;
    f.series->AddPoint(0.5, 0.5);
    const QImage image = f.Render();
    const int cx = f.series->PointPixelX(0);
    const int cy = f.series->PointPixelY(0);
    EXPECT_EQ(cx, f.chart->BottomAxis().CenterPixel);
    int red = 0, black = 0;
    for (int y = cy - 5; y <= cy + 5; ++y)
        for (int x = cx - 5; x <= cx + 5; ++x) {
            const TColor c = PixelColor(image, x, y);
            const bool inBox = x >= cx - 3 && x < cx + 3 && y >= cy - 3 && y < cy + 3;
            if (inBox) {
                red += c == clRed;
                black += c == clBlack;
                continue;
            }
            ASSERT_NE(c, clRed) << x << "," << y;
            ASSERT_NE(c, clBlack) << x << "," << y;
        }
    EXPECT_EQ(PixelColor(image, cx, cy), clRed);
    EXPECT_EQ(PixelColor(image, cx - 1, cy - 1), clRed);
    EXPECT_EQ(PixelColor(image, cx - 3, cy), clBlack);
    EXPECT_EQ(PixelColor(image, cx, cy - 3), clBlack);
    EXPECT_GE(red, 4);
    EXPECT_GE(black, 12);
}

TEST(ChartPixels, TwoPointsOnOnePixelDrawNoSegment)
{
    ReviewChart f;
    f.series->AddPoint(0.5, 0.5);
    const QImage one = f.Render();
    f.series->AddPoint(0.5, 0.5);
    const QImage two = f.Render();
    EXPECT_EQ(one, two);
}

TEST(ChartPixels, ZoomRectangleDrawnTwiceRestoresEveryPixel)
{
    ReviewChart f;
    f.AddProfile();
    QImage image = f.Render();
    const QImage before = image.copy();
    f.chart->ZoomDrag = {true, 150, 300, 40, 90}; // dragged up and left
    {
        TQtChartCanvas canvas(&image);
        f.chart->DrawZoomRectangle(canvas);
    }
    EXPECT_NE(image, before);
    EXPECT_NE(image.pixel(40, 90), before.pixel(40, 90));
    EXPECT_NE(image.pixel(149, 299), before.pixel(149, 299));
    EXPECT_EQ(image.pixel(150, 300), before.pixel(150, 300)); // right and bottom edges exclusive
    EXPECT_EQ(image.pixel(100, 200), before.pixel(100, 200));
    {
        TQtChartCanvas canvas(&image);
        f.chart->DrawZoomRectangle(canvas);
    }
    EXPECT_EQ(image, before);
}

TEST(ChartPixels, LabelsUseTheUsersSeparators)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ReviewChart f;
    f.AddProfile();
    f.Render();
    EXPECT_EQ(f.chart->LeftAxis().LabelText(-0.05), "-0,05");
    EXPECT_EQ(f.chart->BottomAxis().LabelText(1234.5), "1.234,5");
    QLocale::setDefault(QLocale::c());
    f.Render();
    EXPECT_EQ(f.chart->LeftAxis().LabelText(-0.05), "-0.05");
}

TEST(ChartPixels, EmptyChartDrawsBackgroundWallAndAxes)
{
    ReviewChart f;
    const QImage image = f.Render();
    const TChartRect& p = f.chart->PlotRect;
    EXPECT_EQ(PixelColor(image, p.Left, p.Top + 1), clBlack);
    EXPECT_EQ(f.chart->LeftAxis().TickPositions.size(), 1u); // the zero range has one label
    EXPECT_EQ(f.chart->LeftAxis().TickPositions[0], f.chart->LeftAxis().CenterPixel);
}

} // namespace
