#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Small picture files made in memory, for tests and fuzzing seeds: every BMP variant a scanner
/// writes and the JPEG kinds libjpeg decodes. Pixel (x, y) has a colour that depends on x and y only,
/// so that a decoded picture can be checked.
namespace samples {

using Bytes = std::vector<std::uint8_t>;

/// The colour a sample gives pixel (x, y), as 0x00RRGGBB.
std::uint32_t SampleColor(int x, int y);

/// The colour, as 0x00RRGGBB, that a reader must give pixel (x, y) of MakeBmp's picture of that depth.
std::uint32_t ExpectedBmpColor(int x, int y, int bits);

/// A bottom-up Windows bitmap. bits: 1, 4, 8 (palette), 16 (5-5-5), 24, 32. rle: 4- or 8-bit RLE.
Bytes MakeBmp(int width, int height, int bits, bool rle = false);

enum class JpegKind { Baseline, Progressive, Greyscale, Cmyk };
/// A JPEG file of the given kind and quality.
Bytes MakeJpeg(int width, int height, JpegKind kind, int quality = 90);

/// A JPEG file of the given pixels: rows from the top, `components` bytes a pixel, 1 (grey) or 3
/// (red, green, blue).
Bytes EncodeJpeg(int width, int height, int components, const Bytes& pixels, int quality);

/// Writes the bytes to a file; returns false when the file cannot be written.
bool WriteFile(const std::string& path, const Bytes& bytes);

} // namespace samples
