#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

/// How one row of a picture holds its pixels. Rows are addressed from the top.
enum class TPixelLayout {
    Mono,     ///< 1 bit a pixel, the first pixel in the highest bit of a byte, through the palette
    MonoLsb,  ///< 1 bit a pixel, the first pixel in the lowest bit of a byte, through the palette
    Palette8, ///< one palette index a pixel
    Grey8,    ///< one brightness byte a pixel
    Bgr24,    ///< blue, green, red bytes
    Rgb24,    ///< red, green, blue bytes
    Bgrx32,   ///< blue, green, red and an unused byte (a 32-bit 0xXXRRGGBB word, little-endian)
};

/// A read-only view of a picture's pixel bytes, free of any toolkit. The bytes outlive the view.
struct TPictureBytes {
    const std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t BytesPerLine = 0;
    TPixelLayout Layout = TPixelLayout::Grey8;
    /// The brightness of each palette index, for the palette layouts.
    std::array<std::uint8_t, 256> PaletteBrightness{};
};

/// The brightness (0 black .. 255 white) of a colour: its luma with the weights of television,
/// so that a dark blue or red pen counts as dark and faint blue graph paper as light.
constexpr std::uint8_t PixelBrightness(int red, int green, int blue)
{
    return static_cast<std::uint8_t>((77 * red + 150 * green + 29 * blue + 128) >> 8);
}

/// The brightness of pixel x of a row of a picture of layout L.
template <TPixelLayout L>
inline std::uint8_t LayoutBrightness(const TPictureBytes& picture, const std::uint8_t* row, int x)
{
    if constexpr (L == TPixelLayout::Mono)
        return picture.PaletteBrightness[(row[x >> 3] >> (7 - (x & 7))) & 1];
    else if constexpr (L == TPixelLayout::MonoLsb)
        return picture.PaletteBrightness[(row[x >> 3] >> (x & 7)) & 1];
    else if constexpr (L == TPixelLayout::Palette8)
        return picture.PaletteBrightness[row[x]];
    else if constexpr (L == TPixelLayout::Grey8)
        return row[x];
    else if constexpr (L == TPixelLayout::Bgr24)
        return PixelBrightness(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    else if constexpr (L == TPixelLayout::Rgb24)
        return PixelBrightness(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    else
        return PixelBrightness(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
}

/// The brightness of pixel x of a row of the picture.
inline std::uint8_t RowBrightness(const TPictureBytes& picture, const std::uint8_t* row, int x)
{
    switch (picture.Layout) {
    case TPixelLayout::Mono:
        return LayoutBrightness<TPixelLayout::Mono>(picture, row, x);
    case TPixelLayout::MonoLsb:
        return LayoutBrightness<TPixelLayout::MonoLsb>(picture, row, x);
    case TPixelLayout::Palette8:
        return LayoutBrightness<TPixelLayout::Palette8>(picture, row, x);
    case TPixelLayout::Grey8:
        return LayoutBrightness<TPixelLayout::Grey8>(picture, row, x);
    case TPixelLayout::Bgr24:
        return LayoutBrightness<TPixelLayout::Bgr24>(picture, row, x);
    case TPixelLayout::Rgb24:
        return LayoutBrightness<TPixelLayout::Rgb24>(picture, row, x);
    case TPixelLayout::Bgrx32:
        return LayoutBrightness<TPixelLayout::Bgrx32>(picture, row, x);
    }
    return 0;
}

/// The brightness of pixel (x, y); requires 0 <= x < Width, 0 <= y < Height.
inline std::uint8_t PixelBrightnessAt(const TPictureBytes& picture, int x, int y)
{
    return RowBrightness(picture, picture.Bits + picture.BytesPerLine * y, x);
}
