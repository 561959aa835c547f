#include "ImageDocument.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

[[noreturn]] void CannotOpen(const QString& fileName)
{
    throw TImageError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fileName));
}

struct TBmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; ///< absolute; the sign only says top-down or bottom-up
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = 0;
};

/// The file header and the start of the info header (the first 34 bytes are all it reads).
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

bool IsRunLength(const TBmpHeader& h)
{
    return (h.compression == 1 && h.bits == 8) || (h.compression == 2 && h.bits == 4);
}

/// The first bytes of a device that shows only [0, limit) of another one: the bitmap reader then
/// finds the end of the file where the picture's data must end, however large the file is.
class TWindowDevice final : public QIODevice {
public:
    TWindowDevice(QIODevice& inner, qint64 limit) : inner_(inner), limit_(std::min(limit, inner.size()))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return limit_; }
    bool seek(qint64 pos) override { return pos >= 0 && pos <= limit_ && QIODevice::seek(pos) && inner_.seek(pos); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 left = limit_ - inner_.pos();
        return left <= 0 ? 0 : inner_.read(data, std::min(maxSize, left));
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& inner_;
    qint64 limit_;
};

/// Bytes of a device one at a time, read in blocks.
class TByteReader {
public:
    explicit TByteReader(QIODevice& device) : device_(device) {}
    bool Next(unsigned& byte)
    {
        if (at_ == count_) {
            count_ = device_.read(buffer_, sizeof buffer_);
            at_ = 0;
            if (count_ <= 0) {
                count_ = 0;
                return false;
            }
        }
        byte = static_cast<unsigned char>(buffer_[at_++]);
        return true;
    }

private:
    QIODevice& device_;
    char buffer_[1 << 16];
    qint64 count_ = 0;
    qint64 at_ = 0;
};

/// Whether a run-length stream reaches its end marker, or the end of its last row, before the
/// device ends: Qt's reader keeps whatever rows a cut-off stream gave, without a word.
bool RunLengthComplete(QIODevice& device, const TBmpHeader& h)
{
    if (!device.seek(h.pixelOffset))
        return false;
    auto reader = std::make_unique<TByteReader>(device);
    std::int64_t row = 0;
    unsigned count = 0, value = 0;
    while (reader->Next(count) && reader->Next(value)) {
        if (count != 0)
            continue;
        if (value == 1)
            return true;
        if (value == 0) {
            if (++row >= h.height)
                return true;
        } else if (value == 2) {
            unsigned dx = 0, dy = 0;
            if (!reader->Next(dx) || !reader->Next(dy))
                return false;
            row += dy;
            if (row >= h.height)
                return true;
        } else {
            // An absolute run of `value` pixels, padded to a whole number of 16-bit words.
            unsigned skipped = 0;
            for (unsigned i = ((value * h.bits + 7) / 8 + 1) / 2 * 2; i > 0; --i)
                if (!reader->Next(skipped))
                    return false;
        }
    }
    return false;
}

std::int64_t PictureByteLimit = 0;

} // namespace

void LimitPictureBytes(std::int64_t bytes)
{
    PictureByteLimit = bytes;
}

std::int64_t MaxPictureBytes()
{
    if (PictureByteLimit > 0)
        return PictureByteLimit;
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
    // Magnitudes as unsigned 64-bit numbers hold every value, the most negative one included; a
    // product that does not fit in 64 bits is far beyond any limit.
    const auto magnitude = [](std::int64_t v) {
        return v < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    };
    std::uint64_t pixels = 0;
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(magnitude(width), magnitude(height), &pixels) ||
        __builtin_mul_overflow(pixels, magnitude(bytesPerPixel), &bytes) ||
        bytes > static_cast<std::uint64_t>(MaxPictureBytes()))
        throw TImageError(QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(width).arg(height));
}

void OpenPictureFile(const QString& fileName, QFile& file)
{
    // Only a regular file has an end; a pipe or a device named *.bmp would block or never stop.
    // O_NONBLOCK makes even a pipe put there after a check fail at once instead of waiting.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        CannotOpen(fileName);
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        CannotOpen(fileName);
    }
}

QImage DecodeBitmap(QIODevice& device)
{
    const TBmpHeader h = ParseBmpHeader(device.peek(34));
    // The claim is checked before anything else is read: a few header bytes can claim gigabytes.
    CheckPictureSize(h.width, h.height, 4);
    const std::int64_t size = device.size();
    const int bits = h.bits > 0 && h.bits <= 32 ? h.bits : 32;
    const std::int64_t rowBytes = (h.width * bits + 31) / 32 * 4;
    // Uncompressed pixel rows must all be there; Qt's reader would quietly keep a partial picture.
    const bool uncompressed = h.compression == 0 || h.compression == 3 || h.compression == 6;
    if (uncompressed && h.bits > 0) {
        const std::int64_t lastRow = (h.width * h.bits + 7) / 8;
        if (size < std::int64_t(h.pixelOffset) + rowBytes * (h.height - 1) + lastRow)
            Invalid();
    }
    // No valid stream needs more than two bytes a pixel (a run of one) and an end-of-line mark a
    // row; an uncompressed picture ends with its last row. The file headers and a full palette
    // lie within the first 2 KB wherever the pixels begin.
    const std::int64_t pixelBytes = IsRunLength(h) ? 2 * h.width * h.height + 4 * h.height + 16 : rowBytes * h.height;
    TWindowDevice window(device, std::max<std::int64_t>(h.pixelOffset, 2048) + pixelBytes);
    if (IsRunLength(h) && !RunLengthComplete(window, h))
        Invalid();

    window.seek(0);
    QImageReader reader(&window, "bmp");
    // Qt's default limit (128 MiB) refuses ordinary scans; the size was checked above instead.
    QImageReader::setAllocationLimit(static_cast<int>(MaxPictureBytes() >> 20) + 1);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        Invalid();
    if (h.bits == 24)
        image.convertTo(QImage::Format_BGR888);
    return image;
}

QImage DecodePictureBytes(const QByteArray& bytes, QImage (*decode)(QIODevice&))
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer);
}

QImage DecodePictureFile(const QString& fileName, QImage (*decode)(QIODevice&))
{
    QFile file;
    OpenPictureFile(fileName, file);
    try {
        return decode(file);
    } catch (const TImageError&) {
        // A disk that fails while the pixels are read is the file's fault, not the picture's.
        if (file.error() != QFileDevice::NoError)
            CannotOpen(fileName);
        throw;
    }
}

QImage DecodeBitmap(const QByteArray& bytes)
{
    return DecodePictureBytes(bytes, static_cast<QImage (*)(QIODevice&)>(DecodeBitmap));
}

QImage LoadBitmapFile(const QString& fileName)
{
    return DecodePictureFile(fileName, static_cast<QImage (*)(QIODevice&)>(DecodeBitmap));
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
