// The main view on a screen of device pixel ratio 2 (run with QT_SCALE_FACTOR=2; skipped elsewhere):
// the view is composed at the device's resolution, while client coordinates stay client pixels.
#include "ViewFixture.h"

#include <QMouseEvent>

namespace {

class HighDensity : public MainView {
protected:
    void SetUp() override
    {
        MainView::SetUp();
        if (form->devicePixelRatioF() != 2.0)
            GTEST_SKIP() << "needs device pixel ratio 2";
    }
};

TEST_F(HighDensity, AtZoomHalfEveryPicturePixelIsOneDevicePixel)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, qRgb(10 + x * 6, 10 + y * 8, 77));
    *SourceImage = picture;
    View.ZoomFactor = 0.5;
    View.ViewOriginX = 100;
    View.ViewOriginY = 50;
    form->RenderView();
    ASSERT_EQ(ViewImage->devicePixelRatio(), 2.0);
    ASSERT_EQ(ViewImage->size(), form->frameGeometry().size() * 2) << "the outer size in device pixels";
    for (int v = 0; v < 30; ++v)
        for (int u = 0; u < 40; ++u)
            ASSERT_EQ(Rgb(*ViewImage, 200 + u, 100 + v), Rgb(picture, u, v)) << u << "," << v;
    const unsigned face = ToQColor(clBtnFace).rgb() & 0xFFFFFFu;
    EXPECT_EQ(Rgb(*ViewImage, 199, 110), face);
    EXPECT_EQ(Rgb(*ViewImage, 240, 110), face);
    EXPECT_EQ(Rgb(*ViewImage, ViewImage->width() - 1, ViewImage->height() - 1), face) << "the background reaches the far corner";
}

TEST_F(HighDensity, ScreenShowsTheViewAndDotsAtClientPositions)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    *SourceImage = picture;
    View.ViewOriginX = 300;
    View.ViewOriginY = 200;
    form->RenderView();
    ContourPoints = {{-250, -160, 0}}; // client (50, 40)
    Hit.HotPointIndex = -1;
    form->Client->repaint();
    const QImage screen = form->Client->grab().toImage();
    ASSERT_EQ(screen.devicePixelRatio(), 2.0);
    EXPECT_EQ(Rgb(screen, 600, 400), 0x0000FFu) << "the picture at client (300, 200)";
    EXPECT_EQ(Rgb(screen, 607, 407), 0x0000FFu) << "four client pixels of picture are eight device pixels";
    EXPECT_EQ(Rgb(screen, 100, 80), ToQColor(clBtnFace).rgb() & 0xFFFFFFu) << "the dot's inside";
    EXPECT_EQ(Rgb(screen, 92, 80), 0xFF0000u) << "the dot's outline, eight device pixels left";
}

TEST_F(HighDensity, MouseSamplingAndStoredPointsStayInClientPixels)
{
    ContourPoints = {{0, 100, 0}, {200, 100, 0}, {400, 100, 0}};
    const QPoint client = form->ClientRectOnScreen().topLeft();
    services.cursor = client + QPoint(100, 104);
    form->FormMouseMove(Qt::NoButton, 100, 104);
    EXPECT_EQ(View.CursorPos, (TClientPoint{100, 104}));
    EXPECT_EQ(Hit.HotPointIndex, -1);
    EXPECT_EQ(Hit.HotSegmentIndex, 0) << "distance 4 = PointRadius, in client pixels";

    ContourPoints.clear();
    EditMode = AppendAtEnd;
    View.ZoomFactor = 2;
    View.ViewOriginX = 10;
    View.ViewOriginY = 10;
    services.cursor = client + QPoint(31, 50);
    form->FormMouseMove(Qt::NoButton, 31, 50);
    form->FormMouseDown(Qt::LeftButton, Qt::LeftButton, 31, 50);
    ASSERT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(ContourPoints[0].x, 10.5);
    EXPECT_EQ(ContourPoints[0].y, 20.0);
}

} // namespace
