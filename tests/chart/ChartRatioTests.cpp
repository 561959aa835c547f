// The chart above one device pixel per logical pixel: the same layout, lines and fills on the same
// logical pixels, text and markers drawn at the device's resolution.
#include "ChartFixture.h"
#include "QtChartCanvas.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

QImage RenderAtRatio2(ReviewChart& f)
{
    QImage image(2 * 770, 2 * 513, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    f.chart->DrawChart(image);
    return image;
}

/// Whether the device pixels of logical pixel (x, y) all have the colour of `one` there.
bool SameBlock(const QImage& one, const QImage& two, int x, int y)
{
    const QRgb c = one.pixel(x, y);
    return two.pixel(2 * x, 2 * y) == c && two.pixel(2 * x + 1, 2 * y) == c && two.pixel(2 * x, 2 * y + 1) == c &&
           two.pixel(2 * x + 1, 2 * y + 1) == c;
}

/// Logical pixels in `r` whose device pixels are not all alike: detail finer than a logical pixel.
int FineBlocks(const QImage& two, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = two.pixel(2 * x, 2 * y);
            n += two.pixel(2 * x + 1, 2 * y) != c || two.pixel(2 * x, 2 * y + 1) != c ||
                 two.pixel(2 * x + 1, 2 * y + 1) != c;
        }
    return n;
}

TEST(ChartRatio, TwoDevicePixelsKeepTheLayoutAndSharpenTextAndMarkers)
{
    ReviewChart f;
    f.AddProfile();
    const QImage one = f.Render();
    const TChartRect plot = f.chart->PlotRect;
    const std::vector<int> ticks = f.chart->LeftAxis().TickPositions;
    const QImage two = RenderAtRatio2(f);
    EXPECT_EQ(f.chart->PlotRect, plot);
    EXPECT_EQ(f.chart->LeftAxis().TickPositions, ticks);

    // The bevel, the wall outline, the axis line and the major ticks: the logical pixels of ratio 1.
    std::vector<QPoint> spots;
    for (int y = 0; y < 513; ++y)
        spots.insert(spots.end(), {QPoint(769, y), QPoint(33, y)});
    for (int y = plot.Bottom + 1; y < 513; ++y)
        spots.push_back(QPoint(0, y)); // higher up, labels reach the left edge
    for (int x = 0; x < 770; ++x)
        spots.insert(spots.end(), {QPoint(x, 512), QPoint(x, plot.Bottom)});
    for (int x = plot.Left + 1; x < 770; ++x)
        if (!f.chart->BottomAxis().TickPositions.empty() && x != f.chart->BottomAxis().TickPositions.front() &&
            x != f.chart->BottomAxis().TickPositions.back())
            spots.push_back(QPoint(x, plot.Top));
    for (const int t : ticks)
        for (int x = 29; x <= 34; ++x)
            spots.push_back(QPoint(x, t));
    for (const QPoint& s : spots)
        ASSERT_TRUE(SameBlock(one, two, s.x(), s.y())) << s.x() << "," << s.y();

    // Labels and markers have detail finer than a logical pixel; at ratio 1 enlarged they would not.
    EXPECT_GT(FineBlocks(two, QRect(0, 0, plot.Left - 6, plot.Bottom)), 40) << "left labels";
    const int mx = f.series->PointPixelX(2), my = f.series->PointPixelY(2);
    EXPECT_GT(FineBlocks(two, QRect(mx - 3, my - 3, 6, 6)), 4) << "a marker";
    EXPECT_EQ(FineBlocks(one.scaled(1540, 1026), QRect(0, 0, plot.Left - 6, plot.Bottom)), 0);
}

TEST(ChartRatio, ZoomRectangleAtRatio2StillRestoresEveryPixel)
{
    ReviewChart f;
    f.AddProfile();
    QImage image = RenderAtRatio2(f);
    const QImage before = image.copy();
    f.chart->ZoomDrag = {true, 150, 300, 40, 90};
    for (int pass = 0; pass < 2; ++pass) {
        TQtChartCanvas canvas(&image);
        f.chart->DrawZoomRectangle(canvas);
    }
    EXPECT_EQ(image, before);
}

// Run by the suite with QT_SCALE_FACTOR=2 on the offscreen platform.
TEST(ChartRatio2Screen, BitmapAtTheScreensRatioWhileCoordinatesStayLogical)
{
    if (qApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2)";
    ReviewChart reference;
    reference.AddProfile();
    reference.Render();

    ReviewChart f;
    f.AddProfile();
    std::vector<QPoint> moves;
    f.chart->OnMouseMove = [&](int x, int y) { moves.push_back({x, y}); };
    f.chart->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.chart.get()));
    f.chart->repaint();
    const QImage& bitmap = f.chart->Bitmap();
    EXPECT_EQ(bitmap.devicePixelRatio(), 2.0);
    EXPECT_EQ(bitmap.size(), QSize(1540, 1026));
    EXPECT_EQ(f.chart->PlotWidth(), reference.chart->PlotWidth());
    EXPECT_EQ(f.chart->PlotHeight(), reference.chart->PlotHeight());
    EXPECT_EQ(bitmap.pixel(2 * 400, 2 * f.chart->PlotRect.Top + 1), qRgb(0, 0, 0)) << "the wall's top row";

    // Through the window, as the platform delivers them: Qt scales them from device pixels.
    QWindow* window = f.chart->windowHandle();
    QTest::mouseMove(window, QPoint(400, 200));
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), QPoint(400, 200));
    const double x0 = f.series->PixelToXValue(100), x1 = f.series->PixelToXValue(300);
    EXPECT_EQ(x0, reference.series->PixelToXValue(100));
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(window, QPoint(300, 300));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_DOUBLE_EQ(f.chart->BottomAxis().Minimum(), x0);
    EXPECT_DOUBLE_EQ(f.chart->BottomAxis().Maximum(), x1);
}

} // namespace
