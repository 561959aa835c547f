// Decoded pictures of any Qt format become the program's own: 24-bit BGR, or 8-bit grey with a palette.
#include "ImageDocument.h"
#include "PictureImport.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

/// A channel with straight alpha laid on white, rounded to the nearest value.
inline std::uint8_t OnWhite8(unsigned c, unsigned a)
{
    return static_cast<std::uint8_t>((c * a + 255u * (255u - a) + 127u) / 255u);
}

/// The same for 16-bit channels, the result rounded to 8 bits.
inline std::uint8_t OnWhite16(std::uint64_t c, std::uint64_t a)
{
    const std::uint64_t v16 = (c * a + 65535u * (65535u - a) + 32767u) / 65535u;
    return static_cast<std::uint8_t>((v16 * 255u + 32767u) / 65535u);
}

QImage NewPicture(int width, int height, bool grey)
{
    QImage out = AllocatePicture(width, height, grey ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (out.isNull()) // no memory left for it: too big for this machine at this moment
        throw TImageError(QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(width).arg(height));
    if (grey) {
        QList<QRgb> palette(256);
        for (int i = 0; i < 256; ++i)
            palette[i] = qRgb(i, i, i);
        out.setColorTable(palette);
    }
    return out;
}

/// Pictures of 1 or 8 bits with a colour table: the table decides grey or colour once.
/// One pixel of red, green, blue into a row of the program's picture: grey or 24-bit (stored blue first).
template <typename Channels>
inline void PutPixel(uchar* row, int x, bool grey, const Channels& c)
{
    if (grey) {
        row[x] = static_cast<uchar>(c[0]);
    } else {
        row[3 * x] = static_cast<uchar>(c[2]);
        row[3 * x + 1] = static_cast<uchar>(c[1]);
        row[3 * x + 2] = static_cast<uchar>(c[0]);
    }
}

QImage FromPalette(const QImage& src)
{
    std::array<std::array<std::uint8_t, 3>, 256> lut{};
    const QList<QRgb> table = src.colorTable();
    bool grey = true;
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        const unsigned a = static_cast<unsigned>(qAlpha(c));
        lut[i] = {OnWhite8(qRed(c), a), OnWhite8(qGreen(c), a), OnWhite8(qBlue(c), a)};
        grey = grey && lut[i][0] == lut[i][1] && lut[i][1] == lut[i][2];
    }
    const int w = src.width();
    QImage out = NewPicture(w, src.height(), grey);
    if (grey && src.depth() == 1) {
        // A scan of 1 bit a pixel is the common large case: each byte becomes its eight grey bytes at once.
        const bool lsb = src.format() == QImage::Format_MonoLSB;
        std::array<std::array<std::uint8_t, 8>, 256> expand{};
        for (int b = 0; b < 256; ++b)
            for (int k = 0; k < 8; ++k)
                expand[b][k] = lut[lsb ? (b >> k) & 1 : (b >> (7 - k)) & 1][0];
        for (int y = 0; y < src.height(); ++y) {
            const uchar* in = src.constScanLine(y);
            uchar* row = out.scanLine(y);
            const int whole = w / 8;
            for (int i = 0; i < whole; ++i)
                std::memcpy(row + 8 * i, expand[in[i]].data(), 8);
            if (w % 8)
                std::memcpy(row + 8 * whole, expand[in[whole]].data(), w % 8);
        }
        return out;
    }
    const bool mono = src.depth() == 1;
    const bool lsb = src.format() == QImage::Format_MonoLSB;
    for (int y = 0; y < src.height(); ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int index = !mono ? in[x] : lsb ? (in[x >> 3] >> (x & 7)) & 1 : (in[x >> 3] >> (7 - (x & 7))) & 1;
            const auto& c = lut[index];
            PutPixel(row, x, grey, c);
        }
    }
    return out;
}

QImage FromGrey16(const QImage& src)
{
    QImage out = NewPicture(src.width(), src.height(), true);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint16_t*>(src.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x)
            row[x] = static_cast<uchar>((in[x] * 255u + 32767u) / 65535u);
    }
    return out;
}

/// Straight-alpha pixels of 8 or 16 bits a channel (QRgb or QRgba64): one pass finds out whether
/// the picture is grey on white, a second writes it.
template <typename Pixel, typename Channels>
QImage FromDirect(const QImage& src, Channels channels)
{
    const int w = src.width();
    const int h = src.height();
    bool grey = true;
    for (int y = 0; y < h && grey; ++y) {
        const auto* in = reinterpret_cast<const Pixel*>(src.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const auto c = channels(in[x]);
            if (c[0] != c[1] || c[1] != c[2]) {
                grey = false;
                break;
            }
        }
    }
    QImage out = NewPicture(w, h, grey);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const Pixel*>(src.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const auto c = channels(in[x]);
            PutPixel(row, x, grey, c);
        }
    }
    return out;
}

} // namespace

QImage ToProgramPicture(const QImage& decoded)
{
    if (decoded.isNull())
        return QImage();
    switch (decoded.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        return FromPalette(decoded);
    case QImage::Format_Grayscale8: {
        QImage out = NewPicture(decoded.width(), decoded.height(), true);
        for (int y = 0; y < decoded.height(); ++y)
            std::copy_n(decoded.constScanLine(y), decoded.width(), out.scanLine(y));
        return out;
    }
    case QImage::Format_Grayscale16:
        return FromGrey16(decoded);
    default:
        break;
    }
    const auto rgb = [](QRgb p) {
        const unsigned a = static_cast<unsigned>(qAlpha(p));
        if (a == 255) // rendered pages and most scans: nothing to lay on white
            return std::array<std::uint8_t, 3>{std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)};
        return std::array<std::uint8_t, 3>{OnWhite8(qRed(p), a), OnWhite8(qGreen(p), a), OnWhite8(qBlue(p), a)};
    };
    if (decoded.depth() == 64 && decoded.pixelFormat().typeInterpretation() != QPixelFormat::FloatingPoint) {
        const QImage straight = decoded.format() == QImage::Format_RGBA64 || decoded.format() == QImage::Format_RGBX64
                                    ? decoded
                                    : decoded.convertToFormat(QImage::Format_RGBA64);
        return FromDirect<QRgba64>(straight, [](QRgba64 p) {
            return std::array<std::uint8_t, 3>{OnWhite16(p.red(), p.alpha()), OnWhite16(p.green(), p.alpha()),
                                               OnWhite16(p.blue(), p.alpha())};
        });
    }
    if (decoded.format() == QImage::Format_RGB32 || decoded.format() == QImage::Format_ARGB32)
        return FromDirect<QRgb>(decoded, rgb);
    return FromDirect<QRgb>(decoded.convertToFormat(QImage::Format_ARGB32), rgb);
}
