// The paint of the main window's client area: the reference drawing through the canvas and the
// fast one that gives the same pixels.
#include "MainViewPaint.h"

#include "Canvas.h"
#include "PixelLine.h"
#include "Unit1.h"

#include <QImage>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

/// std::nearbyint under the default rounding mode (halves to even), without a library call where
/// the magnitude allows the classic shift through 1.5 x 2^52.
double RoundEven(double v)
{
    constexpr double Shift = 6755399441055744.0;
    if (std::fabs(v) < 2251799813685248.0)
        return (v + Shift) - Shift;
    return std::nearbyint(v);
}

TClientF ClientExact(const TContourPoint& p)
{
    return {View.ViewOriginX + std::nearbyint(p.x * View.ZoomFactor), View.ViewOriginY + std::nearbyint(p.y * View.ZoomFactor)};
}

// Far beyond any screen, yet small enough that Qt's rasteriser takes the coordinates exactly.
constexpr double FarClient = 1 << 24;

bool Near(const TClientF& p)
{
    return std::abs(p.x) <= FarClient && std::abs(p.y) <= FarClient;
}

/// The integer ends of the segment a to b; one reaching beyond the far box is first cut to it
/// (Liang-Barsky), which changes no pixel on the client. False when nothing of it is left.
bool SegmentEnds(TClientF a, TClientF b, QPoint& from, QPoint& to)
{
    if (!Near(a) || !Near(b)) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x + FarClient, FarClient - a.x, a.y + FarClient, FarClient - a.y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0)
                    return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
        if (!(t0 <= t1))
            return false;
        b = {std::nearbyint(a.x + t1 * dx), std::nearbyint(a.y + t1 * dy)};
        a = {std::nearbyint(a.x + t0 * dx), std::nearbyint(a.y + t0 * dy)};
    }
    from = QPoint(static_cast<int>(a.x), static_cast<int>(a.y));
    to = QPoint(static_cast<int>(b.x), static_cast<int>(b.y));
    return true;
}

/// MoveTo a, LineTo b.
void Segment(Canvas& canvas, TClientF a, TClientF b)
{
    QPoint from, to;
    if (!SegmentEnds(a, b, from, to))
        return;
    canvas.MoveTo(from.x(), from.y());
    canvas.LineTo(to.x(), to.y());
}

void DotAt(Canvas& canvas, TClientPoint c, int r)
{
    canvas.Ellipse(SaturatingAdd(c.x, -r), SaturatingAdd(c.y, -r), SaturatingAdd(c.x, r), SaturatingAdd(c.y, r));
}

/// False when the dot about c cannot touch the device: such dots are not drawn at all.
bool DotVisible(const TClientF& c, int r, const QSize& device)
{
    return c.x + r >= 0 && c.y + r >= 0 && c.x - r < device.width() && c.y - r < device.height();
}

void RubberBand(Canvas& canvas, const TContourPoint& from)
{
    const TColor saved = canvas.pen().color;
    canvas.SetPenColor(clRed);
    Segment(canvas, ClientExact(from), {double(View.CursorPos.x), double(View.CursorPos.y)});
    canvas.SetPenColor(saved);
}

std::uint32_t Opaque(TColor rgb)
{
    return 0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
}

} // namespace

void PaintMainView(TForm1& form, Canvas& canvas)
{
    if (ViewImage && !ViewImage->isNull())
        canvas.Draw(0, 0, *ViewImage);
    const int n = static_cast<int>(ContourPoints.size());
    const int r = View.PointRadius;
    if (n >= 1) {
        const TColor saved = canvas.pen().color;
        canvas.SetPenColor(clRed);
        const QPaintDevice* device = canvas.Painter().device();
        const QSize size = device ? QSize(device->width(), device->height()) : QSize();
        for (int i = 0; i < n; ++i) {
            const TContourPoint& p = ContourPoints[i];
            if (!DotVisible(ClientExact(p), r, size))
                continue;
            canvas.SetBrushColor(i == Hit.HotPointIndex ? clGreen : clBtnFace);
            canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
            DotAt(canvas, ViewToClient(View, p.x, p.y), r);
        }
        for (int i = 1; i < n; ++i)
            Segment(canvas, ClientExact(ContourPoints[i - 1]), ClientExact(ContourPoints[i]));
        canvas.SetPenColor(saved);
    }
    if (CursorDotVisible)
        form.DrawCursorDot(canvas);
    if (EditMode == AppendAtEnd && n >= 1)
        RubberBand(canvas, ContourPoints[n - 1]);
    if (EditMode == InsertAtFront && n >= 1)
        RubberBand(canvas, ContourPoints[0]);
}

void TForm1::DrawCursorDot(Canvas& canvas)
{
    canvas.SetBrushColor(Hit.HotSegmentIndex == -1 ? clRed : clYellow);
    canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
    DotAt(canvas, View.CursorPos, View.PointRadius);
    canvas.SetPenMode(Canvas::PenMode::Copy);
}

const TMainViewPainter::TDotStamp& TMainViewPainter::Stamp(int radius, TColor outline, TColor fill, qreal ratio)
{
    outline = ColorToRGB(outline);
    fill = ColorToRGB(fill);
    for (const auto& s : stamps_)
        if (s->radius == radius && s->outline == outline && s->fill == fill && s->ratio == ratio)
            return *s;

    auto made = std::make_unique<TDotStamp>();
    TDotStamp& s = *made;
    s.radius = radius;
    s.outline = outline;
    s.fill = fill;
    s.ratio = ratio;
    s.scale = static_cast<int>(std::lround(ratio));
    // Drawn by the canvas itself, with room around it, so that every pixel is the canvas's own.
    constexpr int Margin = 2;
    const int side = 2 * radius + 2 * Margin;
    const long long deviceSide = static_cast<long long>(side) * s.scale;
    QImage image;
    if (s.scale >= 1 && s.scale == ratio && deviceSide <= 4096)
        image = QImage(static_cast<int>(deviceSide), static_cast<int>(deviceSide), QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) {
        image.setDevicePixelRatio(ratio);
        image.fill(0);
        {
            Canvas canvas(&image);
            canvas.SetPenColor(outline);
            canvas.SetBrushColor(fill);
            canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
            canvas.Ellipse(Margin, Margin, Margin + 2 * radius, Margin + 2 * radius);
        }
        s.exact = true;
        s.left = s.top = -Margin * s.scale;
        s.width = image.width();
        s.pixels.resize(static_cast<std::size_t>(image.width()) * image.height());
        for (int y = 0; y < image.height() && s.exact; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
            std::memcpy(&s.pixels[static_cast<std::size_t>(y) * s.width], row, sizeof(std::uint32_t) * s.width);
            for (int x = 0; x < s.width;) {
                const std::uint32_t alpha = row[x] >> 24;
                if (alpha == 0) {
                    ++x;
                    continue;
                }
                if (alpha != 255 || x == 0 || y == 0 || y == image.height() - 1) {
                    s.exact = false; // soft or reaching the margin's edge: leave it to the canvas
                    break;
                }
                const int begin = x;
                while (x < s.width && row[x] >> 24 == 255)
                    ++x;
                if (x == s.width || row[x] >> 24 != 0) {
                    s.exact = false;
                    break;
                }
                s.runs.push_back({y, begin, x});
            }
        }
    }
    stamps_.push_back(std::move(made));
    return s;
}

void TMainViewPainter::Paint(TForm1& form, QImage& target)
{
    const QImage::Format format = target.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) {
        Canvas canvas(&target);
        PaintMainView(form, canvas);
        return;
    }
    // Dot sizes come and go with the wheel; a dozen recent dot images is plenty.
    if (stamps_.size() > 12)
        stamps_.erase(stamps_.begin(), stamps_.end() - 12);
    const qreal ratio = target.devicePixelRatio();
    // The pixels are taken before the canvas starts, so that it finds the image detached already.
    const TPixelSurface surface{reinterpret_cast<std::uint32_t*>(target.bits()), target.width(), target.height(),
                                target.bytesPerLine() / static_cast<int>(sizeof(std::uint32_t))};
    Canvas canvas(&target);

    const auto dot = [&](const TDotStamp& stamp, TClientPoint c) {
        const int r = stamp.radius;
        if (!stamp.exact) {
            const TColor saved = canvas.pen().color;
            canvas.SetPenColor(stamp.outline);
            canvas.SetBrushColor(stamp.fill);
            canvas.SetBrushStyle(Canvas::BrushStyle::Solid);
            DotAt(canvas, c, r);
            canvas.SetPenColor(saved);
            return;
        }
        const long long left = (static_cast<long long>(c.x) - r) * stamp.scale + stamp.left;
        const long long top = (static_cast<long long>(c.y) - r) * stamp.scale + stamp.top;
        const long long side = static_cast<long long>(stamp.width);
        if (left >= surface.width || top >= surface.height || left + side <= 0 || top + side <= 0)
            return;
        for (const TRun& run : stamp.runs) {
            const long long y = top + run.row;
            if (y < 0 || y >= surface.height)
                continue;
            const long long x0 = std::max(left + run.begin, 0LL);
            const long long x1 = std::min(left + run.end, static_cast<long long>(surface.width));
            if (x0 < x1)
                std::memcpy(surface.pixels + y * surface.stride + x0,
                            &stamp.pixels[static_cast<std::size_t>(run.row) * stamp.width + (x0 - left)],
                            sizeof(std::uint32_t) * static_cast<std::size_t>(x1 - x0));
        }
    };

    if (ViewImage && !ViewImage->isNull())
        canvas.Draw(0, 0, *ViewImage);
    const int n = static_cast<int>(ContourPoints.size());
    const int r = View.PointRadius;
    if (n >= 1) {
        const TDotStamp& plain = Stamp(r, clRed, clBtnFace, ratio);
        const TDotStamp& hot = Stamp(r, clRed, clGreen, ratio);
        // Every point's client position once, for its dot and both its segments.
        clients_.resize(static_cast<std::size_t>(n));
        const double zoom = View.ZoomFactor;
        const double ox = View.ViewOriginX, oy = View.ViewOriginY;
        const TDotStamp* previous = nullptr;
        TClientPoint previousAt;
        for (int i = 0; i < n; ++i) {
            const TContourPoint& p = ContourPoints[i];
            const double rx = RoundEven(p.x * zoom), ry = RoundEven(p.y * zoom);
            clients_[i] = {ox + rx, oy + ry};
            // Within these bounds ViewToClient saturates nothing and gives the same integers.
            const TClientPoint c = std::fabs(clients_[i].x) < 2e9 && std::fabs(clients_[i].y) < 2e9 && std::fabs(rx) < 2e9 &&
                                           std::fabs(ry) < 2e9
                                       ? TClientPoint{static_cast<int>(clients_[i].x), static_cast<int>(clients_[i].y)}
                                       : ViewToClient(View, p.x, p.y);
            const TDotStamp& stamp = i == Hit.HotPointIndex ? hot : plain;
            // The same dot again on top of itself changes no pixel.
            if (&stamp == previous && c == previousAt)
                continue;
            previous = &stamp;
            previousAt = c;
            dot(stamp, c);
        }
        if (ratio == 1.0) {
            const std::uint32_t red = Opaque(ColorToRGB(clRed));
            QPoint from, to;
            for (int i = 1; i < n; ++i) {
                const TClientF a = clients_[i - 1], b = clients_[i];
                // Both ends beyond one side of the device: Qt's own cut would drop it too.
                if ((a.x < -1 && b.x < -1) || (a.y < -1 && b.y < -1) || (a.x > surface.width + 1 && b.x > surface.width + 1) ||
                    (a.y > surface.height + 1 && b.y > surface.height + 1))
                    continue;
                if (SegmentEnds(a, b, from, to))
                    DrawPixelLine(surface, from.x(), from.y(), to.x(), to.y(), red);
            }
        } else {
            // Under a scale the pen is no longer one device pixel wide: the canvas strokes it.
            const TColor saved = canvas.pen().color;
            canvas.SetPenColor(clRed);
            for (int i = 1; i < n; ++i)
                Segment(canvas, ClientExact(ContourPoints[i - 1]), ClientExact(ContourPoints[i]));
            canvas.SetPenColor(saved);
        }
    }
    if (CursorDotVisible) {
        dot(Stamp(r, canvas.pen().color, Hit.HotSegmentIndex == -1 ? clRed : clYellow, ratio), View.CursorPos);
        canvas.SetPenMode(Canvas::PenMode::Copy);
    }
    if (EditMode == AppendAtEnd && n >= 1)
        RubberBand(canvas, ContourPoints[n - 1]);
    if (EditMode == InsertAtFront && n >= 1)
        RubberBand(canvas, ContourPoints[0]);
}

QImage& TMainViewPainter::Buffer(QSize deviceSize, qreal ratio)
{
    if (buffer_.size() != deviceSize || buffer_.devicePixelRatio() != ratio) {
        buffer_ = QImage(deviceSize, QImage::Format_RGB32);
        buffer_.setDevicePixelRatio(ratio);
    }
    return buffer_;
}
