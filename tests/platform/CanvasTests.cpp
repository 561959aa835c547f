#include "Canvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

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

std::set<std::pair<int, int>> linePixels(QPoint from, QPoint to, int width)
{
    QImage image = blank(clWhite, 60, 60);
    {
        Canvas c(&image);
        c.pen().width = width;
        c.MoveTo(from.x(), from.y());
        c.LineTo(to.x(), to.y());
    }
    std::set<std::pair<int, int>> painted;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (at(image, x, y) != clWhite)
                painted.insert({x, y});
    return painted;
}

// Move-to/line-to in every direction: the start pixel is painted, the end pixel is not, and running
// the line the other way paints the same pixels with the ends exchanged.
TEST(CanvasPixels, LinePaintsItsStartAndNotItsEndInEveryDirection)
{
    struct Row {
        const char* name;
        QPoint from, to;
        int width;
    };
    const QPoint c(30, 30);
    const Row rows[] = {
        {"right", c, c + QPoint(12, 0), 1},
        {"left", c, c + QPoint(-12, 0), 1},
        {"down", c, c + QPoint(0, 12), 1},
        {"up", c, c + QPoint(0, -12), 1},
        {"down right", c, c + QPoint(9, 9), 1},
        {"up left", c, c + QPoint(-9, -9), 1},
        {"down left", c, c + QPoint(-9, 9), 1},
        {"up right", c, c + QPoint(9, -9), 1},
        {"flat leftwards and up", c, c + QPoint(-20, -7), 1},
        {"flat leftwards and down", c, c + QPoint(-20, 7), 1},
        {"steep upwards and right", c, c + QPoint(7, -20), 1},
        {"steep upwards and left", c, c + QPoint(-7, -20), 1},
        {"half slope upwards", c, c + QPoint(-5, -10), 1},
        {"left, 2 pixels wide", c, c + QPoint(-12, 0), 2},
        {"up, 2 pixels wide", c, c + QPoint(0, -12), 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto forth = linePixels(r.from, r.to, r.width);
        const auto back = linePixels(r.to, r.from, r.width);
        const QPoint d = r.to - r.from;
        const int length = std::max(std::abs(d.x()), std::abs(d.y()));
        EXPECT_EQ(forth.size(), static_cast<std::size_t>(length * r.width));
        EXPECT_TRUE(forth.count({r.from.x(), r.from.y()}));
        EXPECT_FALSE(forth.count({r.to.x(), r.to.y()}));
        auto closedForth = forth;
        closedForth.insert({r.to.x(), r.to.y()});
        auto closedBack = back;
        closedBack.insert({r.from.x(), r.from.y()});
        if (r.width == 1) {
            EXPECT_EQ(closedForth, closedBack);
        }
        for (const auto& [x, y] : forth) {
            ASSERT_GE(x, std::min(r.from.x(), r.to.x()) - 1);
            ASSERT_LE(x, std::max(r.from.x(), r.to.x()) + 1);
            ASSERT_GE(y, std::min(r.from.y(), r.to.y()) - 1);
            ASSERT_LE(y, std::max(r.from.y(), r.to.y()) + 1);
        }
    }
}

// Above one device pixel per logical pixel a line parallel to an axis covers exactly the device pixels
// of the logical pixels it covers at ratio 1, in both directions and for a wide pen.
TEST(CanvasPixels, AtRatio2AxisParallelLinesCoverTheSameLogicalPixels)
{
    const QPoint c(30, 30);
    for (const QPoint d : {QPoint(12, 0), QPoint(-12, 0), QPoint(0, 12), QPoint(0, -12)})
        for (const int width : {1, 2}) {
            QImage two(120, 120, QImage::Format_RGB32);
            two.fill(Qt::white);
            two.setDevicePixelRatio(2);
            {
                Canvas canvas(&two);
                canvas.pen().width = width;
                canvas.MoveTo(c.x(), c.y());
                canvas.LineTo(c.x() + d.x(), c.y() + d.y());
            }
            const auto one = linePixels(c, c + d, width);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x)
                    for (int k = 0; k < 4; ++k)
                        ASSERT_EQ(two.pixel(2 * x + k % 2, 2 * y + k / 2) != qRgb(255, 255, 255), one.count({x, y}) == 1)
                            << d.x() << "," << d.y() << " width " << width << " at " << x << "," << y;
        }
}

// Equal ellipses are drawn once and copied: the copies must be the ellipse itself, also where a clip
// cuts one, and a change of size or colour must not reuse the old one.
void ExpectCopiedEllipsesAreTheEllipsesThemselves(int ratio)
{
    QImage copied(100 * ratio, 60 * ratio, QImage::Format_RGB32);
    copied.fill(Qt::white);
    copied.setDevicePixelRatio(ratio);
    QImage direct = copied.copy();
    const struct {
        QRect box;
        TColor fill;
    } dots[] = {{{10, 10, 6, 6}, clRed}, {{23, 41, 6, 6}, clRed}, {{57, 8, 6, 6}, clRed},
                {{40, 30, 9, 7}, clRed}, {{70, 30, 6, 6}, clGreen}, {{95, 50, 6, 6}, clGreen}};
    {
        Canvas c(&copied);
        c.IntersectClipRect(0, 0, 98, 60);
        for (const auto& d : dots) {
            c.SetBrushColor(d.fill);
            c.Ellipse(d.box.left(), d.box.top(), d.box.right() + 1, d.box.bottom() + 1);
        }
    }
    {
        QPainter p(&direct);
        p.setClipRect(QRect(0, 0, 98, 60));
        QPen pen(Qt::black);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        for (const auto& d : dots) {
            p.setBrush(ToQColor(d.fill));
            if (ratio == 1)
                p.drawEllipse(QRect(d.box.topLeft(), QSize(d.box.width() - 1, d.box.height() - 1)));
            else
                p.drawEllipse(QRectF(d.box.topLeft() + QPointF(0.5, 0.5), QSizeF(d.box.width() - 1, d.box.height() - 1)));
        }
    }
    EXPECT_EQ(copied, direct) << "ratio " << ratio;
}

TEST(CanvasPixels, CopiedEllipsesAreTheEllipsesThemselves)
{
    ExpectCopiedEllipsesAreTheEllipsesThemselves(1);
    ExpectCopiedEllipsesAreTheEllipsesThemselves(2);
}

// A slanted line running backwards narrows the clip for a moment; the caller's clip must come back.
TEST(CanvasPixels, BackwardLineKeepsTheClip)
{
    QImage image = blank();
    {
        Canvas c(&image);
        c.IntersectClipRect(0, 0, 20, 30);
        c.MoveTo(30, 20);
        c.LineTo(2, 6);
        c.SetBrushColor(clRed);
        c.FillRect(0, 0, 40, 30);
    }
    EXPECT_EQ(at(image, 19, 0), clRed);
    EXPECT_EQ(at(image, 20, 0), clWhite);
    EXPECT_EQ(at(image, 25, 18), clWhite);
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
