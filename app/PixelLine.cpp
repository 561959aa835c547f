#include "PixelLine.h"

#include <cstdlib>
#include <utility>

namespace {

/// Pixels a line may paint: left <= x < right, top <= y < bottom.
struct TPixelClip {
    int left, top, right, bottom;
};

void Put(const TPixelSurface& s, const TPixelClip& clip, int x, int y, std::uint32_t colour)
{
    if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)
        s.pixels[y * s.stride + x] = colour;
}

// Qt's raster engine strokes a one-pixel aliased line this way (Qt 6.4, measured pixel for pixel
// against QPainter::drawLine): the ends are first cut, in floating point, to one pixel around the
// device (this cut moves pixels near the edges, so it is kept as it is); then, in 26.6 fixed
// point, a 16.16 step along the major axis paints from the lower end up to, not including, the
// higher one. Both directions give the same pixels.
void QtLine(const TPixelSurface& s, const TPixelClip& clip, double x1, double y1, double x2, double y2,
            std::uint32_t colour)
{
    const double xmin = -1.0, ymin = -1.0;
    const double xmax = s.width + 1.0, ymax = s.height + 1.0;
    if (x1 < xmin) {
        if (x2 <= xmin)
            return;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax)
            return;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin)
            return;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax)
            return;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }

    int fx1 = static_cast<int>(x1 * 64.0);
    int fy1 = static_cast<int>(y1 * 64.0);
    int fx2 = static_cast<int>(x2 * 64.0);
    int fy2 = static_cast<int>(y2 * 64.0);
    const int dx = std::abs(fx2 - fx1);
    const int dy = std::abs(fy2 - fy1);
    if (dx < dy) {
        if (fy1 > fy2) {
            std::swap(fy1, fy2);
            std::swap(fx1, fx2);
        }
        const std::int64_t step = std::int64_t(fx2 - fx1) * 65536 / (fy2 - fy1);
        std::int64_t x = std::int64_t(fx1) * 1024;
        int y = (fy1 + 32) >> 6;
        const int end = (fy2 + 32) >> 6;
        if (y == end)
            return;
        const int round = step > 0 ? 32 : 0;
        x += (std::int64_t(y * 64 + round - fy1) * step) >> 6;
        // Rows outside the clip paint nothing; jump over them.
        if (y < clip.top) {
            x += std::int64_t(clip.top - y) * step;
            y = clip.top;
        }
        const int last = end < clip.bottom ? end : clip.bottom;
        for (; y < last; ++y, x += step)
            Put(s, clip, static_cast<int>(x >> 16), y, colour);
    } else {
        if (dx == 0)
            return;
        if (fx1 > fx2) {
            std::swap(fx1, fx2);
            std::swap(fy1, fy2);
        }
        const std::int64_t step = std::int64_t(fy2 - fy1) * 65536 / (fx2 - fx1);
        std::int64_t y = std::int64_t(fy1) * 1024;
        int x = (fx1 + 32) >> 6;
        const int end = (fx2 + 32) >> 6;
        if (x == end)
            return;
        const int round = step > 0 ? 32 : 0;
        y += (std::int64_t(x * 64 + round - fx1) * step) >> 6;
        if (x < clip.left) {
            y += std::int64_t(clip.left - x) * step;
            x = clip.left;
        }
        const int last = end < clip.right ? end : clip.right;
        for (; x < last; ++x, y += step)
            Put(s, clip, x, static_cast<int>(y >> 16), colour);
    }
}

} // namespace

void DrawPixelLine(const TPixelSurface& s, int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    if (x1 == x2 && y1 == y2)
        return;
    const TPixelClip device{0, 0, s.width, s.height};
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    if (xMajor ? dx >= 0 : dy >= 0) {
        QtLine(s, device, x1, y1, x2, y2, colour);
        return;
    }
    // Running backwards, Qt would paint the end and leave the start; Canvas exchanges the open end.
    if (dx == 0 || dy == 0) {
        const int sx = dx == 0 ? 0 : 1;
        const int sy = dy == 0 ? 0 : 1;
        QtLine(s, device, x1 + sx, y1 + sy, x2 + sx, y2 + sy, colour);
        return;
    }
    TPixelClip beyondEnd = device;
    if (xMajor)
        beyondEnd.left = x2 + 1 > 0 ? x2 + 1 : 0;
    else
        beyondEnd.top = y2 + 1 > 0 ? y2 + 1 : 0;
    QtLine(s, beyondEnd, x1, y1, x2, y2, colour);
    Put(s, device, x1, y1, colour);
}
