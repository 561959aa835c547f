// Composition of ViewImage and the paint of the overlay, checked pixel by pixel.
#include "Canvas.h"
#include "ExCanvasTools.h"
#include "MainViewPaint.h"
#include "ViewFixture.h"

#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

unsigned Face()
{
    return ToQColor(clBtnFace).rgb() & 0xFFFFFFu;
}

/// A picture whose every pixel has its own colour, so that a misplaced sample shows.
QImage Numbered(int w, int h, QImage::Format format)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(10 + x * 7 % 240, 10 + y * 11 % 240, 200));
    return image.convertToFormat(format);
}

TEST_F(MainView, EmptyPictureComposesTheBackgroundAtTheOuterSize)
{
    form->RenderView();
    ASSERT_EQ(ViewImage->size(), form->frameGeometry().size());
    EXPECT_EQ(Rgb(*ViewImage, 0, 0), Face());
    EXPECT_EQ(Rgb(*ViewImage, ViewImage->width() - 1, ViewImage->height() - 1), Face());
}

TEST_F(MainView, AtRotation90ThePictureLiesLeftOfItsOrigin)
{
    *SourceImage = Numbered(20, 10, QImage::Format_BGR888);
    View.ViewOriginX = 100;
    View.ViewOriginY = 50;
    View.RotationAngle = 90;
    form->RenderView();
    // Pixel (u, v) lands at (100 - v, 50 + u): its square is column 99 - v, row 50 + u.
    for (int v = 0; v < 10; ++v)
        for (int u = 0; u < 20; ++u)
            ASSERT_EQ(Rgb(*ViewImage, 99 - v, 50 + u), Rgb(*SourceImage, u, v)) << u << "," << v;
    EXPECT_EQ(Rgb(*ViewImage, 100, 55), Face());
    EXPECT_EQ(Rgb(*ViewImage, 89, 55), Face());
    EXPECT_EQ(Rgb(*ViewImage, 95, 49), Face());
    EXPECT_EQ(Rgb(*ViewImage, 95, 70), Face());
}

TEST_F(MainView, ZoomTwoDrawsEveryPixelAsATwoByTwoBlock)
{
    *SourceImage = Numbered(6, 4, QImage::Format_Indexed8);
    View.ViewOriginX = -3;
    View.ViewOriginY = 5;
    View.ZoomFactor = 2;
    form->RenderView();
    for (int y = 5; y < 13; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(Rgb(*ViewImage, x, y), Rgb(*SourceImage, (x + 3) / 2, (y - 5) / 2)) << x << "," << y;
    EXPECT_EQ(Rgb(*ViewImage, 9, 6), Face());
}

// Cutting the picture down to what reaches the target must not change a single pixel.
TEST(DrawGraphicTransformed, DrawsTheSameAsTheWholePictureUnderTheSameTransform)
{
    const QImage picture = Numbered(300, 200, QImage::Format_BGR888);
    struct Row {
        const char* name;
        int x, y;
        double zoom, angle;
        bool centred;
    };
    const Row rows[] = {
        {"plain", 0, 0, 1.0, 0.0, false},
        {"zoomed, turned 5", 30, -20, 1.157625, 5.0, false},
        {"mostly outside", -250, -150, 1.0, 0.0, false},
        {"zoomed in far", -900, -500, 8.0, 355.0, false},
        {"zoomed out", 40, 40, 0.125, 30.0, false},
        {"turned 90", 150, 10, 0.857375, 90.0, false},
        {"centred", 80, 60, 1.5, 200.0, true},
    };
    for (const Row& row : rows) {
        QImage cut(160, 120, QImage::Format_RGB32), whole(160, 120, QImage::Format_RGB32);
        cut.fill(Qt::black);
        whole.fill(Qt::black);
        {
            QPainter p(&cut);
            DrawGraphicTransformed(p, row.x, row.y, picture, row.zoom, row.angle, row.centred);
        }
        {
            QPainter p(&whole);
            SetCanvasWorldTransform(p, row.zoom, row.angle, row.x, row.y);
            const QPointF at = row.centred ? QPointF(-150, -100) : QPointF(0, 0);
            p.drawImage(at, picture);
        }
        int differing = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                differing += cut.pixel(x, y) != whole.pixel(x, y);
        EXPECT_EQ(differing, 0) << row.name;
    }
}

TEST(ExCanvasTools, TransformHoldsFloatCoefficients)
{
    EXPECT_DOUBLE_EQ(DegreesToRadians(180.0), M_PI);
    QImage target(4, 4, QImage::Format_RGB32);
    QPainter p(&target);
    SetCanvasWorldTransform(p, 1.157625, 5.0, 0.1, 3.0);
    const QTransform t = p.worldTransform();
    const double r = 5.0 / 360.0 * M_PI * 2.0;
    const float m11 = static_cast<float>(std::cos(r) * 1.157625);
    const float m12 = static_cast<float>(std::sin(r) * 1.157625);
    EXPECT_EQ(t.m11(), m11) << std::hexfloat << t.m11();
    EXPECT_EQ(t.m12(), m12) << std::hexfloat << t.m12();
    EXPECT_EQ(t.m21(), -m12);
    EXPECT_EQ(t.m22(), t.m11());
    EXPECT_EQ(t.dx(), double(float(0.1)));
    EXPECT_NE(t.dx(), 0.1);
}

/// Paints the client the way FormPaint does, into an image of the client's size.
QImage Paint(TForm1& form)
{
    QImage client(form.Client->size(), QImage::Format_RGB32);
    client.fill(Qt::black);
    Canvas canvas(&client);
    PaintMainView(form, canvas);
    return client;
}

/// The bounding box of the pixels that differ from the background.
QRect Drawn(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Rgb(image, x, y) != Face())
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(MainView, DotAtRadiusFourIsEightByEightRedAroundTheFormColour)
{
    form->RenderView();
    ContourPoints = {{50, 40, 0}};
    Hit.HotPointIndex = -1;
    const QImage one = Paint(*form);
    EXPECT_EQ(Drawn(one), QRect(46, 36, 8, 8));
    EXPECT_EQ(Rgb(one, 46, 40), 0xFF0000u);
    EXPECT_EQ(Rgb(one, 50, 40), Face());

    Hit.HotPointIndex = 0;
    EXPECT_EQ(Rgb(Paint(*form), 50, 40), 0x008000u) << "the hot dot is filled green";

    View.PointRadius = 6;
    EXPECT_EQ(Drawn(Paint(*form)), QRect(44, 34, 12, 12));
}

TEST_F(MainView, SegmentsRunAcrossTheDotsAndThePolygonStaysOpen)
{
    form->RenderView();
    View.ZoomFactor = 2;
    View.ViewOriginX = 10;
    ContourPoints = {{10, 20, 0}, {40, 20, 0}, {40, 50, 0}};
    Hit.HotPointIndex = -1;
    const QImage image = Paint(*form);
    // Client points (30, 40), (90, 40), (90, 100).
    EXPECT_EQ(Rgb(image, 31, 40), 0xFF0000u) << "inside the first dot the segment is drawn over it";
    EXPECT_EQ(Rgb(image, 60, 40), 0xFF0000u);
    EXPECT_EQ(Rgb(image, 90, 70), 0xFF0000u);
    EXPECT_EQ(Rgb(image, 60, 70), Face()) << "no closing segment";
}

TEST_F(MainView, CursorDotIsRedOrYellowWithABlackOutline)
{
    form->RenderView();
    View.CursorPos = {100, 80};
    CursorDotVisible = false;
    EXPECT_TRUE(Drawn(Paint(*form)).isNull());
    CursorDotVisible = true;
    Hit.HotSegmentIndex = -1;
    QImage image = Paint(*form);
    EXPECT_EQ(Drawn(image), QRect(96, 76, 8, 8));
    EXPECT_EQ(Rgb(image, 100, 80), 0xFF0000u);
    EXPECT_EQ(Rgb(image, 96, 80), 0x000000u);
    Hit.HotSegmentIndex = 2;
    image = Paint(*form);
    EXPECT_EQ(Rgb(image, 100, 80), 0xFFFF00u);
}

TEST_F(MainView, RubberBandRunsFromTheArmedEndToTheCursor)
{
    form->RenderView();
    ContourPoints = {{10, 10, 0}, {30, 10, 0}};
    Hit.HotPointIndex = -1;
    View.CursorPos = {200, 10};
    struct Row {
        const char* name;
        TEditMode mode;
        unsigned between; ///< at (100, 10), on the way from either end to the cursor
        unsigned beyondFirst; ///< at (5, 10): nothing draws there
    };
    for (const Row& row : {Row{"append", AppendAtEnd, 0xFF0000u, Face()}, Row{"insert", InsertAtFront, 0xFF0000u, Face()},
                           Row{"idle", Idle, Face(), Face()}, Row{"stopped", Stopped, Face(), Face()}}) {
        EditMode = row.mode;
        const QImage image = Paint(*form);
        EXPECT_EQ(Rgb(image, 100, 10), row.between) << row.name;
        EXPECT_EQ(Rgb(image, 200, 10), Face()) << row.name << ": the end pixel is not drawn";
    }
    View.CursorPos = {20, 100};
    EditMode = InsertAtFront;
    EXPECT_EQ(Rgb(Paint(*form), 15, 55), 0xFF0000u) << "from the first point";
    EditMode = AppendAtEnd;
    EXPECT_EQ(Rgb(Paint(*form), 25, 55), 0xFF0000u) << "from the last point";
    // Leftwards and upwards the cursor's pixel stays unpainted too (the dot at (10, 10) ends at x 6, y 6).
    EditMode = InsertAtFront;
    View.CursorPos = {2, 10};
    QImage image = Paint(*form);
    EXPECT_EQ(Rgb(image, 3, 10), 0xFF0000u);
    EXPECT_EQ(Rgb(image, 2, 10), Face()) << "leftwards";
    View.CursorPos = {10, 2};
    image = Paint(*form);
    EXPECT_EQ(Rgb(image, 10, 3), 0xFF0000u);
    EXPECT_EQ(Rgb(image, 10, 2), Face()) << "upwards";
}

TEST_F(MainView, FarAwayPointsDrawNothingAndDoNotHang)
{
    form->RenderView();
    View.ZoomFactor = 1e6;
    ContourPoints = {{-5e9, 3, 0}, {0, 0, 0}, {5e9, 1e9, 0}};
    Hit.HotPointIndex = -1;
    const QImage image = Paint(*form);
    EXPECT_EQ(Rgb(image, 0, 0), 0xFF0000u) << "the dot at the origin";
    EXPECT_EQ(Rgb(image, 300, 60), 0xFF0000u) << "the segment keeps its direction (5, 1)";
    EXPECT_EQ(Rgb(image, 300, 300), Face());
}

TEST_F(MainView, ResizeComposesAtTheNewOuterSize)
{
    form->resize(1300, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(ViewImage->size(), form->frameGeometry().size());
    IsDestroying = true;
    const QSize before = ViewImage->size();
    form->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(ViewImage->size(), before) << "no composing while the window is torn down";
    IsDestroying = false;
}

void SendWheel(QWidget* target, int delta)
{
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(0, 0), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

TEST_F(MainView, WheelNotchesDriveZoomRotationAndDotSize)
{
    for (int i = 0; i < 2; ++i)
        SendWheel(form->Client, 120);
    EXPECT_EQ(View.ZoomLevel, 100.0) << "two notches do nothing";
    SendWheel(form->Client, 120);
    EXPECT_EQ(View.ZoomLevel, 105.0);
    EXPECT_TRUE(ProfileDirty);

    for (int i = 0; i < 9; ++i)
        SendWheel(form->Client, -40); // a high-resolution wheel: three notches in ninths
    EXPECT_EQ(View.ZoomLevel, 100.0);

    services.held[platform::Key::Control] = true;
    ContourPoints = {{100, 0, 0}};
    SendWheel(form->Client, 360);
    EXPECT_EQ(View.RotationAngle, 5.0);
    EXPECT_NEAR(ContourPoints[0].y, 8.7155742747658, 1e-9);

    services.held[platform::Key::Shift] = true;
    ProfileDirty = false;
    SendWheel(form->Client, 360);
    EXPECT_EQ(View.PointRadius, 5);
    EXPECT_EQ(View.RotationAngle, 5.0);
    EXPECT_FALSE(ProfileDirty) << "the dot size is not a view change";
}

TEST_F(MainView, PanStepMovesTheViewAndComposesIt)
{
    *SourceImage = Numbered(4, 4, QImage::Format_RGB32);
    form->RenderView();
    View.PanAnchorX = 50;
    View.PanAnchorY = 50;
    form->PanView(60, 45);
    form->PanView(60, 52);
    EXPECT_EQ(View.ViewOriginX, 10);
    EXPECT_EQ(View.ViewOriginY, 2);
    EXPECT_TRUE(ProfileDirty);
    EXPECT_EQ(Rgb(*ViewImage, 10, 2), Rgb(*SourceImage, 0, 0));
    EXPECT_EQ(Rgb(*ViewImage, 13, 5), Rgb(*SourceImage, 3, 3));
    EXPECT_EQ(Rgb(*ViewImage, 14, 5), Face());
}

} // namespace
