#include "Canvas.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage blank(TColor c = clWhite, int w = 40, int h = 30)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ToQColor(c));
    return image;
}

TColor at(const QImage& image, int x, int y)
{
    return FromQColor(QColor(image.pixel(x, y)));
}

TEST(CanvasPixels, RectangleAndLineExcludeTheirFarEdges)
{
    QImage image = blank();
    {
        Canvas c(&image);
        c.SetBrushStyle(Canvas::BrushStyle::Clear);
        c.Rectangle(2, 3, 10, 8);
        c.MoveTo(20, 5);
        c.LineTo(30, 5);
    }
    EXPECT_EQ(at(image, 2, 3), clBlack);
    EXPECT_EQ(at(image, 9, 7), clBlack);
    EXPECT_EQ(at(image, 10, 7), clWhite);
    EXPECT_EQ(at(image, 9, 8), clWhite);
    EXPECT_EQ(at(image, 5, 5), clWhite); // clear brush
    EXPECT_EQ(at(image, 20, 5), clBlack);
    EXPECT_EQ(at(image, 29, 5), clBlack);
    EXPECT_EQ(at(image, 30, 5), clWhite);
}

TEST(CanvasPixels, EllipseStaysInsideItsBox)
{
    QImage image = blank();
    {
        Canvas c(&image);
        c.SetBrushColor(clRed);
        c.Ellipse(10, 10, 16, 16);
    }
    for (int y = 8; y < 18; ++y)
        for (int x = 8; x < 18; ++x) {
            const bool inBox = x >= 10 && x < 16 && y >= 10 && y < 16;
            if (!inBox) {
                ASSERT_EQ(at(image, x, y), clWhite) << x << "," << y;
            }
        }
    EXPECT_EQ(at(image, 12, 12), clRed);
    EXPECT_EQ(at(image, 10, 12), clBlack);
    EXPECT_EQ(at(image, 15, 13), clBlack);
}

TEST(CanvasPixels, InvertingPenTwiceRestoresEveryPixel)
{
    QImage image = blank(clSilver);
    {
        Canvas c(&image);
        c.SetBrushColor(clRed);
        c.Ellipse(5, 5, 25, 20); // something under the rectangle
    }
    const QImage before = image.copy();
    for (int pass = 0; pass < 2; ++pass) {
        Canvas c(&image);
        c.SetPenMode(Canvas::PenMode::NotXor);
        c.SetBrushStyle(Canvas::BrushStyle::Clear);
        c.Rectangle(3, 4, 30, 25);
        if (pass == 0) {
            c.End();
            // Every outline pixel is inverted once, the corners included.
            for (const QPoint p : {QPoint(3, 4), QPoint(29, 4), QPoint(3, 24), QPoint(29, 24), QPoint(15, 4)})
                EXPECT_NE(image.pixel(p), before.pixel(p)) << p.x() << "," << p.y();
            EXPECT_EQ(image.pixel(15, 15), before.pixel(15, 15));
        }
    }
    EXPECT_EQ(image, before);
}

TEST(CanvasPixels, DottedLineGapsFollowTheBackgroundMode)
{
    for (const auto mode : {Canvas::BkMode::Opaque, Canvas::BkMode::Transparent}) {
        QImage image = blank(clSilver);
        {
            Canvas c(&image);
            c.pen().style = Canvas::PenStyle::Dot;
            c.SetPenColor(clGray);
            c.SetBkColor(clWhite);
            c.SetBkMode(mode);
            c.MoveTo(0, 5);
            c.LineTo(40, 5);
        }
        int gray = 0, gaps = 0;
        for (int x = 0; x < 40; ++x) {
            const TColor px = at(image, x, 5);
            gray += px == clGray;
            gaps += px == (mode == Canvas::BkMode::Opaque ? clWhite : clSilver);
        }
        EXPECT_GT(gray, 5);
        EXPECT_LT(gray, 30);
        EXPECT_EQ(gray + gaps, 40) << (mode == Canvas::BkMode::Opaque ? "opaque" : "transparent");
    }
}

TEST(CanvasPixels, ClipRectanglesCombineAndCanBeRemoved)
{
    QImage image = blank();
    {
        Canvas c(&image);
        c.SetBrushColor(clRed);
        c.IntersectClipRect(5, 5, 30, 20);
        c.IntersectClipRect(10, 0, 40, 15);
        c.FillRect(0, 0, 40, 30);
        c.RemoveClip();
        c.SetBrushColor(clGreen);
        c.FillRect(0, 25, 40, 30);
    }
    EXPECT_EQ(at(image, 10, 5), clRed);
    EXPECT_EQ(at(image, 29, 14), clRed);
    EXPECT_EQ(at(image, 9, 10), clWhite);
    EXPECT_EQ(at(image, 30, 10), clWhite);
    EXPECT_EQ(at(image, 20, 15), clWhite);
    EXPECT_EQ(at(image, 0, 27), clGreen);
}

TEST(CanvasPixels, TextIsAlignedOnItsReferencePoint)
{
    QImage image = blank(clWhite, 120, 60);
    Canvas c(&image);
    c.font() = QFont(QStringLiteral("Arial"), 8);
    const int w = c.TextWidth(QStringLiteral("0.5"));
    const int h = c.TextHeight(QStringLiteral("W"));
    EXPECT_EQ(w, 15); // Liberation Sans at 96 dpi
    EXPECT_EQ(h, 12);
    c.SetBkMode(Canvas::BkMode::Opaque);
    c.SetBkColor(clYellow);
    c.SetTextAlign(Canvas::TaRight | Canvas::TaTop);
    c.TextOut(60, 10, QStringLiteral("0.5"));
    c.SetTextAlign(Canvas::TaCenter | Canvas::TaBottom);
    c.TextOut(60, 50, QStringLiteral("0.5"));
    c.End();
    // Opaque background boxes show where the text went.
    EXPECT_EQ(at(image, 60 - w, 10), clYellow);
    EXPECT_EQ(at(image, 59, 10 + h - 1), clYellow);
    EXPECT_EQ(at(image, 60, 10), clWhite);
    EXPECT_EQ(at(image, 60 - w - 1, 10), clWhite);
    EXPECT_EQ(at(image, 60 - w / 2, 50 - h), clYellow);
    EXPECT_EQ(at(image, 60, 49), clYellow);
    EXPECT_EQ(at(image, 60, 50), clWhite);
}

} // namespace
