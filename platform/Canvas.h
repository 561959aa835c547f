#pragma once

#include "Colors.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

/// A GDI-like drawing surface over QPainter, with GDI's pixel rules:
/// rectangles and ellipses exclude their right and bottom edges, a line excludes its end pixel,
/// and the inverting exclusive-or pen (pmNotXor) restores every pixel when drawn twice.
/// Antialiasing is off: every line is one pixel and nothing is smoothed. Coordinates are logical pixels;
/// on a device of a higher pixel ratio text and shapes are drawn at the device's resolution.
class Canvas {
public:
    enum class PenStyle { Solid, Dot, Clear };
    enum class PenMode { Copy, NotXor };
    enum class BrushStyle { Solid, Clear };
    enum class BkMode { Transparent = 1, Opaque = 2 };

    /// Horizontal and vertical text alignment of TextOut, as SetTextAlign takes them.
    enum TextAlign : unsigned {
        TaLeft = 0,
        TaRight = 2,
        TaCenter = 6,
        TaTop = 0,
        TaBottom = 8,
    };

    struct Pen {
        TColor color = clBlack;
        int width = 1;
        PenStyle style = PenStyle::Solid;
        PenMode mode = PenMode::Copy;
    };
    struct Brush {
        TColor color = clWhite;
        BrushStyle style = BrushStyle::Solid;
    };

    /// Draws on the device; the painter is owned for the canvas's lifetime.
    explicit Canvas(QPaintDevice* device);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Pen& pen() { return pen_; }
    Brush& brush() { return brush_; }
    QFont& font() { return font_; }
    TColor& fontColor() { return fontColor_; }

    void SetPenColor(TColor c) { pen_.color = c; }
    void SetPenMode(PenMode m) { pen_.mode = m; }
    void SetBrushColor(TColor c) { brush_.color = c; }
    void SetBrushStyle(BrushStyle s) { brush_.style = s; }

    /// Fills (l, t) .. (r, b), right and bottom exclusive, with the brush colour (whatever the brush style).
    void FillRect(int l, int t, int r, int b);
    /// Outline with the pen, interior with the brush; covers columns l .. r - 1 and rows t .. b - 1.
    void Rectangle(int l, int t, int r, int b);
    /// Ellipse inscribed in (l, t) .. (r, b), right and bottom exclusive.
    void Ellipse(int l, int t, int r, int b);
    void MoveTo(int x, int y);
    /// Line from the current position to (x, y) without its end pixel; (x, y) becomes the current position.
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }

    void SetTextAlign(unsigned align) { textAlign_ = align; }
    void SetBkMode(BkMode mode) { bkMode_ = mode; }
    void SetBkColor(TColor c) { bkColor_ = c; }
    /// Text at (x, y) under the current alignment, in the font colour.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    /// The height of the text "W" as GDI reports it: the font's full line height.
    int TextHeight(const QString& text) const;

    /// Restricts drawing to (l, t) .. (r, b) intersected with the current clip.
    void IntersectClipRect(int l, int t, int r, int b);
    void RemoveClip();

    /// Ends drawing on the device, so that another canvas may start on it; later calls draw nothing.
    void End();
    bool Active() const { return painter_.isActive(); }

    /// Copies the image with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage& image);

    /// The painter, for drawing that needs a world transform; its pen and brush are not kept.
    QPainter& Painter() { return painter_; }

private:
    QFontMetrics metrics() const;
    void applyPen();
    /// The gaps of a dotted line in the background colour, as an opaque background mode paints them.
    void fillDotGaps(QPoint from, QPoint to);
    /// A line in the painter's pen with its start pixel painted and its end pixel left, in any direction.
    void strokeLine(QPoint from, QPoint to);
    /// Where the pen's stroke is centred within a logical pixel, for drawing above one device pixel each.
    QPointF penCentre() const;
    void applyBrush();

    QPainter painter_;
    /// Device pixels per logical pixel: at 1 the pixel rules are Qt's own, above it shapes are drawn
    /// sharp at the device's resolution while covering the same logical pixels.
    qreal ratio_;
    Pen pen_;
    Brush brush_;
    QFont font_;
    TColor fontColor_ = clBlack;
    TColor bkColor_ = clWhite;
    BkMode bkMode_ = BkMode::Opaque;
    unsigned textAlign_ = TaLeft | TaTop;
    QPoint penPos_;
    /// The last ellipse drawn above ratio 1, kept for the next one of the same size, pen and brush.
    struct EllipseKey {
        int w = 0, h = 0;
        TColor pen = 0;
        int penWidth = 0;
        PenStyle penStyle = PenStyle::Solid;
        TColor brush = 0;
        BrushStyle brushStyle = BrushStyle::Solid;
        bool operator==(const EllipseKey&) const = default;
    };
    EllipseKey ellipseKey_;
    QImage ellipseImage_;
    /// The clip set through IntersectClipRect, restored after a line has narrowed it.
    std::optional<QRect> clip_;
};
