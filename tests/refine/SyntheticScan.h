#pragma once

#include "PictureBytes.h"
#include "SampleImages.h"

#include <array>
#include <cstdint>
#include <vector>

/// Scans of straight dark lines on grainy paper, made in memory with exact area coverage, in every
/// pixel layout the program loads. Coordinates are the continuous frame the view draws: pixel (i, j)
/// covers [i, i + 1) x [j, j + 1), its centre is (i + 0.5, j + 0.5).
namespace scan {

/// A straight stroke through (x, y) at `angle` degrees (clockwise, y downward), `width` pixels wide.
struct TStroke {
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;
    double width = 1.0;
    int ink = 30; ///< brightness of full ink
    /// Where the stroke starts and ends along its direction from (x, y); cut square. Only for
    /// upright strokes (angle 0), where the cut is exact.
    double from = -1e9;
    double to = 1e9;
};

/// A straight piece of line from (x0, y0) to (x1, y1) with round ends: pieces that share an end
/// join round, as a pen draws a polyline.
struct TPiece {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    double width = 1.0;
};

struct TPaper {
    int width = 160;
    int height = 160;
    int paper = 232; ///< brightness of the paper
    int grain = 8;   ///< each pixel varies by up to this much either way
    std::uint32_t seed = 1;
};

/// A picture in memory with its byte view.
struct TScan {
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t BytesPerLine = 0;
    TPixelLayout Layout = TPixelLayout::Grey8;
    std::vector<std::uint8_t> Bytes;
    std::array<std::uint8_t, 256> Palette{};
    TPictureBytes View() const;
};

/// Signed distance of a point from the stroke's centre line, picture pixels.
double DistanceToStroke(const TStroke& stroke, double x, double y);

/// The area of the unit square centred on (x, y) that the stroke covers, exactly: pixel (i, j) is
/// the square centred on (i + 0.5, j + 0.5).
double Coverage(const TStroke& stroke, double x, double y);

/// Brightness and colour of a sheet: paper with grain, darkened by the strokes' coverage. The
/// colour picture has cream paper and dark blue ink of the same brightness as the grey one.
struct TSheet {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Grey; ///< one byte a pixel
    std::vector<std::uint8_t> Rgb;  ///< red, green, blue a pixel
};
/// The pieces are drawn with one ink (`pieceInk`), covering what their union covers.
TSheet Draw(const TPaper& paper, const std::vector<TStroke>& strokes, const std::vector<TPiece>& pieces = {},
            int pieceInk = 35);

enum class TForm {
    Grey8,
    Palette8, ///< grey levels behind a shuffled palette
    Bgr24,
    Rgb24,
    Bgrx32,
    JpegColour, ///< saved as a colour JPEG and decoded to 24 bits, as the program does
    JpegGrey,   ///< saved as a greyscale JPEG and decoded to a palette of at most 236 greys
};

/// The sheet in the given form; rows carry a few alignment bytes, as a bitmap's do.
TScan InForm(const TSheet& sheet, TForm form, int jpegQuality = 80);

/// The grey sheet thresholded at `level` into 1 bit a pixel (black below), in either bit order.
TScan AsMono(const TSheet& sheet, int level, bool lsbFirst);

} // namespace scan
