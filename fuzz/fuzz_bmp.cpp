// The BMP load path on arbitrary bytes: a picture or "Bitmap ist ungültig" / the size refusal,
// never a crash; a picture that loads also survives the 24-bit conversion and both mirrors.
#include "ImageDocument.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

std::int64_t Le(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return bytes == 2 ? std::int64_t(v) : std::int64_t(std::int32_t(v));
}

/// The pixel count the header claims, as the loader reads it; 0 when it has none.
std::int64_t ClaimedPixels(const std::uint8_t* data, std::size_t size)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return 0;
    const bool core = Le(data + 14, 4) == 12;
    if (!core && size < 34)
        return 0;
    const std::int64_t w = core ? Le(data + 18, 2) : Le(data + 18, 4);
    const std::int64_t h = core ? Le(data + 20, 2) : Le(data + 22, 4);
    return std::llabs(w) * std::llabs(h);
}

bool IsLoadMessage(const std::string& message)
{
    return message == "Bitmap ist ungültig" || message.rfind("Das Bild ist zu groß (", 0) == 0;
}

} // namespace

// Qt's reader warns about every odd palette index; millions of such lines only slow the run.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A compressed picture may claim gigabytes in a few bytes, which the loader accepts up to a
    // quarter of the memory; the fuzzer's memory limit is far below that, so such claims are
    // left to the unit tests of the size check.
    if (ClaimedPixels(data, size) > (std::int64_t(1) << 22))
        return -1;
    QImage image;
    try {
        image = DecodeBitmap(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const TImageError& error) {
        if (!IsLoadMessage(error.what()))
            std::abort();
        return 0;
    }
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        std::abort();
    const QSize loaded = image.size();
    MirrorHorizontal(image);
    MirrorVertical(image);
    if (image.format() != QImage::Format_BGR888 || image.size() != loaded)
        std::abort();
    return 0;
}
