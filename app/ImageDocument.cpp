#include "ImageDocument.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

std::uint32_t Le32(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t Le16(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

[[noreturn]] void Invalid()
{
    throw TImageError(QStringLiteral("Bitmap ist ungültig"));
}

struct TBmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; ///< absolute; the sign only says top-down or bottom-up
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = 0;
};

TBmpHeader ParseBmpHeader(const QByteArray& bytes)
{
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        Invalid();
    TBmpHeader h;
    h.pixelOffset = Le32(bytes, 10);
    const std::uint32_t infoSize = Le32(bytes, 14);
    if (infoSize == 12) {
        h.width = Le16(bytes, 18);
        h.height = Le16(bytes, 20);
        h.bits = Le16(bytes, 24);
    } else {
        if (infoSize < 40 || bytes.size() < 34)
            Invalid();
        h.width = static_cast<std::int32_t>(Le32(bytes, 18));
        h.height = static_cast<std::int32_t>(Le32(bytes, 22));
        h.bits = Le16(bytes, 28);
        h.compression = Le32(bytes, 30);
    }
    if (h.height < 0)
        h.height = -h.height;
    if (h.width <= 0 || h.height <= 0)
        Invalid();
    return h;
}

/// Whether a run-length stream reaches its end marker, or the end of its last row, inside the
/// file: Qt's reader keeps whatever rows a cut-off stream gave, without a word.
bool RunLengthComplete(const QByteArray& bytes, const TBmpHeader& h, int bits)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const std::int64_t size = bytes.size();
    std::int64_t at = h.pixelOffset;
    std::int64_t row = 0;
    while (at + 1 < size) {
        const unsigned count = p[at];
        const unsigned value = p[at + 1];
        at += 2;
        if (count != 0)
            continue;
        if (value == 1)
            return true;
        if (value == 0) {
            if (++row >= h.height)
                return true;
        } else if (value == 2) {
            if (at + 1 >= size)
                return false;
            row += p[at + 1];
            at += 2;
            if (row >= h.height)
                return true;
        } else {
            // An absolute run of `value` pixels, padded to a whole number of 16-bit words.
            at += ((value * bits + 7) / 8 + 1) / 2 * 2;
        }
    }
    return false;
}

} // namespace

std::int64_t MaxPictureBytes()
{
    // 1 GiB holds an 18000 x 18000 colour scan; beyond it a few bytes of header could make the
    // program allocate and decode filler for minutes.
    constexpr std::int64_t cap = std::int64_t(1) << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return cap;
    return std::min(cap, std::int64_t(pages) * pageSize / 4);
}

namespace {
struct TMapping {
    void* address;
    std::size_t length;
};

void Unmap(void* info)
{
    auto* mapping = static_cast<TMapping*>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}
} // namespace

QImage AllocatePicture(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0)
        return QImage();
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::int64_t bytesPerLine = (std::int64_t(width) * depth + 31) / 32 * 4;
    const std::int64_t bytes = bytesPerLine * height;
    if (bytesPerLine > std::numeric_limits<int>::max() || bytes > std::int64_t(std::numeric_limits<qsizetype>::max()))
        return QImage();
    void* address = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return QImage();
#ifdef MADV_HUGEPAGE
    madvise(address, static_cast<std::size_t>(bytes), MADV_HUGEPAGE);
#endif
    auto* mapping = new TMapping{address, static_cast<std::size_t>(bytes)};
    QImage image(static_cast<uchar*>(address), width, height, static_cast<qsizetype>(bytesPerLine), format, Unmap,
                 mapping);
    if (image.isNull())
        Unmap(mapping);
    return image;
}

void CheckPictureSize(std::int64_t width, std::int64_t height, int bytesPerPixel)
{
    // Each factor stays below 2^32, so the product cannot overflow 64 bits.
    if (width * height * bytesPerPixel > MaxPictureBytes())
        throw TImageError(QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(width).arg(height));
}

QByteArray ReadPictureFile(const QString& fileName)
{
    QFile file(fileName);
    // Only a regular file has an end: a pipe or a device named *.bmp would block or never stop.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw TImageError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TImageError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
    return bytes;
}

QImage DecodeBitmap(const QByteArray& bytes)
{
    const TBmpHeader h = ParseBmpHeader(bytes);
    CheckPictureSize(h.width, h.height, 4);
    // Uncompressed pixel rows must all be there; Qt's reader would quietly keep a partial picture.
    const bool uncompressed = h.compression == 0 || h.compression == 3 || h.compression == 6;
    if (uncompressed && h.bits > 0) {
        const std::int64_t rowBytes = (h.width * h.bits + 31) / 32 * 4;
        const std::int64_t lastRow = (h.width * h.bits + 7) / 8;
        if (std::int64_t(bytes.size()) < std::int64_t(h.pixelOffset) + rowBytes * (h.height - 1) + lastRow)
            Invalid();
    }
    if ((h.compression == 1 && h.bits == 8) || (h.compression == 2 && h.bits == 4)) {
        if (!RunLengthComplete(bytes, h, h.bits))
            Invalid();
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    // Qt's default limit (128 MiB) refuses ordinary scans; the size was checked above instead.
    QImageReader::setAllocationLimit(static_cast<int>(MaxPictureBytes() >> 20) + 1);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        Invalid();
    if (h.bits == 24)
        image.convertTo(QImage::Format_BGR888);
    return image;
}

QImage LoadBitmapFile(const QString& fileName)
{
    return DecodeBitmap(ReadPictureFile(fileName));
}

void ConvertTo24Bit(QImage& bitmap)
{
    if (!bitmap.isNull() && bitmap.format() != QImage::Format_BGR888)
        bitmap.convertTo(QImage::Format_BGR888);
}

void MirrorHorizontal(QImage& bitmap)
{
    static_assert(std::endian::native == std::endian::little, "the word shuffle below assumes little-endian words");
    ConvertTo24Bit(bitmap);
    const int w = bitmap.width();
    const int h = bitmap.height();
    if (w < 2)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    std::vector<uchar> row(rowBytes);
    for (int y = 0; y < h; ++y) {
        uchar* line = bitmap.scanLine(y);
        std::memcpy(row.data(), line, rowBytes);
        // Four pixels (three words) at a time: the last four of the buffer, in reverse order.
        const int groups = w / 4;
        for (int g = 0; g < groups; ++g) {
            // Word by word: a 12-byte copy through a small array stalls on store forwarding.
            const uchar* src = row.data() + (static_cast<std::size_t>(w) - 4 - 4 * std::size_t(g)) * 3;
            std::uint32_t in0, in1, in2;
            std::memcpy(&in0, src, 4);
            std::memcpy(&in1, src + 4, 4);
            std::memcpy(&in2, src + 8, 4);
            // in: a0 a1 a2 b0 | b1 b2 c0 c1 | c2 d0 d1 d2 (little-endian), out: d c b a.
            const std::uint32_t out0 = (in2 >> 8) | ((in1 << 8) & 0xFF000000u);
            const std::uint32_t out1 = (in1 >> 24) | ((in2 & 0xFFu) << 8) | ((in0 >> 24) << 16) | ((in1 & 0xFFu) << 24);
            const std::uint32_t out2 = ((in1 >> 8) & 0xFFu) | (in0 << 8);
            uchar* dst = line + std::size_t(g) * 12;
            std::memcpy(dst, &out0, 4);
            std::memcpy(dst + 4, &out1, 4);
            std::memcpy(dst + 8, &out2, 4);
        }
        for (int x = groups * 4; x < w; ++x) {
            const uchar* from = row.data() + static_cast<std::size_t>(w - 1 - x) * 3;
            uchar* to = line + static_cast<std::size_t>(x) * 3;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

void MirrorVertical(QImage& bitmap)
{
    ConvertTo24Bit(bitmap);
    const int h = bitmap.height();
    if (h < 2)
        return;
    // Rows are swapped pairwise through one row buffer: the same picture as copying every row
    // into a second bitmap, without the second bitmap.
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * 3;
    std::vector<uchar> row(rowBytes);
    for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
        uchar* a = bitmap.scanLine(top);
        uchar* b = bitmap.scanLine(bottom);
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
}
