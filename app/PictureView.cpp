#include "PictureView.h"

#include <bit>

TPictureBytes PictureViewOf(const QImage& picture, QImage& converted)
{
    // Qt keeps a 32-bit pixel as one 0xAARRGGBB word: blue comes first in memory only here.
    static_assert(std::endian::native == std::endian::little);
    TPictureBytes view;
    if (picture.isNull())
        return view;
    const QImage* source = &picture;
    switch (picture.format()) {
    case QImage::Format_Mono:
        view.Layout = TPixelLayout::Mono;
        break;
    case QImage::Format_MonoLSB:
        view.Layout = TPixelLayout::MonoLsb;
        break;
    case QImage::Format_Indexed8:
        view.Layout = TPixelLayout::Palette8;
        break;
    case QImage::Format_Grayscale8:
        view.Layout = TPixelLayout::Grey8;
        break;
    case QImage::Format_BGR888:
        view.Layout = TPixelLayout::Bgr24;
        break;
    case QImage::Format_RGB888:
        view.Layout = TPixelLayout::Rgb24;
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        view.Layout = TPixelLayout::Bgrx32;
        break;
    default:
        converted = picture.convertToFormat(QImage::Format_RGB32);
        source = &converted;
        view.Layout = TPixelLayout::Bgrx32;
        break;
    }
    const QList<QRgb> table = source->colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        view.PaletteBrightness[static_cast<std::size_t>(i)] =
            PixelBrightness(qRed(table[i]), qGreen(table[i]), qBlue(table[i]));
    view.Bits = source->constBits();
    view.Width = source->width();
    view.Height = source->height();
    view.BytesPerLine = source->bytesPerLine();
    return view;
}
