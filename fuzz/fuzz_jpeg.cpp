// The JPEG decoder on arbitrary bytes: a picture or "JPEG-Fehler #<code>" / the size refusal,
// never a crash and never an exit of the process from inside libjpeg.
#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

/// The largest picture any start-of-frame marker in the bytes claims. Every FF Cx counts, not
/// only the one libjpeg will read, so the bound errs on the side of skipping.
std::int64_t LargestClaim(const std::uint8_t* data, std::size_t size)
{
    std::int64_t largest = 0;
    for (std::size_t i = 0; i + 8 < size; ++i) {
        const std::uint8_t m = data[i + 1];
        if (data[i] != 0xFF || (m & 0xF0) != 0xC0 || m == 0xC4 || m == 0xC8 || m == 0xCC)
            continue;
        const std::int64_t h = (data[i + 5] << 8) | data[i + 6];
        const std::int64_t w = (data[i + 7] << 8) | data[i + 8];
        largest = std::max(largest, w * h);
    }
    return largest;
}

bool IsLoadMessage(const std::string& message)
{
    return message.rfind("JPEG-Fehler #", 0) == 0 || message.rfind("Das Bild ist zu groß (", 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Claims up to 65535 x 65535 are refused by the size check or decoded for real; decoding them
    // would take the fuzzer's memory and time, so the size check is left to the unit tests.
    if (LargestClaim(data, size) > (std::int64_t(1) << 20))
        return -1;
    QImage image;
    try {
        image = DecodeJpeg(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const TImageError& error) {
        if (!IsLoadMessage(error.what()))
            std::abort();
        return 0;
    }
    if (image.isNull())
        std::abort();
    if (image.format() == QImage::Format_Indexed8) {
        if (image.colorCount() < 1 || image.colorCount() > 236)
            std::abort();
        // Every pixel must index the colour table libjpeg's quantiser gave.
        for (int y = 0; y < image.height(); ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (row[x] >= image.colorCount())
                    std::abort();
        }
    } else if (image.format() != QImage::Format_BGR888) {
        std::abort();
    }
    return 0;
}
