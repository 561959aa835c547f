#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

/// Picture files of the imported kinds made in memory, for tests, fuzz seeds and benchmarks.
namespace import_samples {

/// A PNG of raw rows (filter byte 0 added here): colour type 0 grey, 2 RGB, 3 palette, 4 grey + alpha,
/// 6 RGBA; `palette` as RGB triples, `alpha` a tRNS chunk. Every variant, also those Qt cannot write.
QByteArray MakePng(int width, int height, int colourType, int bitDepth, const QByteArray& rows,
                   const QByteArray& palette = {}, const QByteArray& alpha = {});

/// One page of a TIFF: raw rows as libtiff takes them (MSB-first bits, native-endian 16-bit samples).
struct TiffPage {
    int width = 0;
    int height = 0;
    int bitsPerSample = 8;
    int samplesPerPixel = 1;
    int photometric = 1; ///< 0 white is zero, 1 black is zero, 2 RGB
    int compression = 1; ///< libtiff's COMPRESSION_* values: 1 none, 3 G3, 4 G4, 5 LZW, 8 Deflate, 32773 PackBits
    QByteArray rows;
};
/// A TIFF written by libtiff with one directory for each page.
QByteArray MakeTiff(const std::vector<TiffPage>& pages);

/// A PDF of `pages` A4 pages (595 x 842 points); page n has a black square of 72 points (an inch)
/// whose top-left corner lies n inches right of and one inch below the page's top-left corner.
QByteArray MakePdf(int pages);

/// A lossless WebP of the picture.
QByteArray MakeWebP(const QImage& image);

} // namespace import_samples
