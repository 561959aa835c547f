#pragma once

#include <cstddef>
#include <cstdint>

/// Rows of 32-bit pixels, as a QImage of Format_RGB32 holds them, without the toolkit.
struct TPixelSurface {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; ///< pixels from one row to the next
};

/// Canvas::MoveTo(x1, y1) and LineTo(x2, y2) with a solid one-pixel pen in copy mode, on a device of
/// the surface's size at one device pixel per pixel: exactly the pixels Canvas paints (the start
/// pixel painted, the end pixel not, whichever way the line runs), without a painter per line.
/// Anything off the surface is left out cheaply; ends must lie within +-2^24.
void DrawPixelLine(const TPixelSurface& surface, int x1, int y1, int x2, int y2, std::uint32_t colour);
