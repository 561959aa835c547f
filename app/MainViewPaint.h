#pragma once

#include "Colors.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <vector>

class Canvas;
class TForm1;

/// A view point on the client before saturation: the rounding of ViewToClient, kept in doubles so
/// that far points still give segments their true direction.
struct TClientF {
    double x;
    double y;
};

/// The whole paint of the main window's client area on `canvas`: ViewImage at (0, 0), then the
/// contour's dots and segments, the cursor dot and the rubber band, from the module state, every
/// shape drawn by the canvas. It defines the pixels; TMainViewPainter gives the same ones faster.
void PaintMainView(TForm1& form, Canvas& canvas);

/// The main view's paint for large contours: each dot is copied from an image of that dot made once
/// per radius, colours and resolution, segments are laid down without a painter per line, and what
/// cannot touch the target is skipped. The pixels are those of PaintMainView on the same image.
class TMainViewPainter {
public:
    /// Paints into `target` (any format; RGB32 and ARGB32 premultiplied take the fast path).
    void Paint(TForm1& form, QImage& target);

    /// The off-screen image of `deviceSize` device pixels at `ratio` that FormPaint paints into and
    /// then copies to the screen in one piece; kept between paints.
    QImage& Buffer(QSize deviceSize, qreal ratio);

private:
    /// One opaque run of a dot image row.
    struct TRun {
        int row, begin, end;
    };
    struct TDotStamp {
        int radius = 0;
        TColor outline = 0; ///< resolved RGB
        TColor fill = 0;    ///< resolved RGB
        qreal ratio = 1.0;
        bool exact = false; ///< false: the dot is drawn by the canvas (fractional ratios, soft pixels)
        int scale = 1;      ///< device pixels per client pixel
        int left = 0;       ///< device offset of the image from the corner (cx - R, cy - R) times scale
        int top = 0;
        int width = 0;
        std::vector<std::uint32_t> pixels;
        std::vector<TRun> runs;
    };

    /// The dot image; references stay valid until the next Paint.
    const TDotStamp& Stamp(int radius, TColor outline, TColor fill, qreal ratio);

    std::vector<std::unique_ptr<TDotStamp>> stamps_; ///< the most recent last
    std::vector<TClientF> clients_;                  ///< client positions of the points, unsaturated
    QImage buffer_;
};
