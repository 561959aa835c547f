// The limits of a picture load: the size check on every header value, files far larger than their
// picture (read only as far as the picture needs), and progressive JPEGs of absurdly many scans.
#include "HostileFixture.h"
#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QFile>

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using samples::Bytes;
using samples::JpegKind;

constexpr std::int64_t GiB = std::int64_t(1) << 30;

QString TooBig(qint64 width, qint64 height)
{
    return QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(width).arg(height);
}

void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

/// Bytes this process has read through read() and its kind so far, or -1 without /proc/self/io.
std::int64_t BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::int64_t value = -1;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

TEST(PictureSizeCheck, IsExactForEveryHeaderValue)
{
    constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();
    const std::int64_t limit = MaxPictureBytes();
    struct Row {
        const char* name;
        std::int64_t width;
        std::int64_t height;
        int bytesPerPixel;
        bool refused;
    };
    const Row rows[] = {
        {"largest int32 by smallest int32", 0x7FFFFFFF, -(std::int64_t(1) << 31), 4, true},
        {"2^31 squared times 4 is 2^64", std::int64_t(1) << 31, std::int64_t(1) << 31, 4, true},
        {"2^32 squared is 2^64", std::int64_t(1) << 32, std::int64_t(1) << 32, 1, true},
        {"2^32 + 1 squared wraps to 2^33 + 1", (std::int64_t(1) << 32) + 1, (std::int64_t(1) << 32) + 1, 1, true},
        {"smallest int64 by 1", min64, 1, 1, true},
        {"smallest int64 squared", min64, min64, 4, true},
        {"largest int64 by -1", max64, -1, 1, true},
        {"zero by largest int64", 0, max64, 4, false},
        {"exactly the limit", limit, 1, 1, false},
        {"exactly the limit, negative", 1, -limit, 1, false},
        {"one byte over the limit", limit + 1, 1, 1, true},
        {"the limit in four-byte pixels, one over", limit / 4 + 1, 1, 4, true},
    };
    for (const Row& row : rows) {
        try {
            CheckPictureSize(row.width, row.height, row.bytesPerPixel);
            EXPECT_FALSE(row.refused) << row.name << " passed";
        } catch (const TImageError& error) {
            EXPECT_TRUE(row.refused) << row.name << " refused";
            EXPECT_EQ(QString::fromStdString(error.what()), TooBig(row.width, row.height)) << row.name;
        }
    }
}

/// Writes `head` at the start of a sparse file of `size` bytes, and `tail` at `tailAt` if given.
QString SparseFile(const QString& path, const Bytes& head, std::int64_t size, std::int64_t tailAt = 0,
                   const Bytes& tail = {})
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(head.data()), qint64(head.size()));
    if (!tail.empty()) {
        file.seek(tailAt);
        file.write(reinterpret_cast<const char*>(tail.data()), qint64(tail.size()));
    }
    EXPECT_TRUE(file.resize(size));
    return path;
}

// A few kilobytes on disk may claim gigabytes: the header is checked and the pixels read where the
// picture needs them, never the whole file.
TEST_F(HostileFiles, FilesFarLargerThanTheirPictureAreReadOnlyAsFarAsItNeeds)
{
    if (BytesReadSoFar() < 0)
        GTEST_SKIP() << "no /proc/self/io to count the bytes read";
    const QString Invalid = QStringLiteral("Bitmap ist ungültig");

    Bytes huge = samples::MakeBmp(20, 20, 24);
    Put(huge, 18, 30000, 4);
    Put(huge, 22, 30000, 4);
    Put(huge, 34, 0, 4);

    // The pixels of a 64 x 48 bitmap moved 2 GiB into the file, the pixel offset pointing there.
    const Bytes small = samples::MakeBmp(64, 48, 24);
    Bytes farHead(small.begin(), small.begin() + 54);
    Put(farHead, 10, 2 * GiB - 4096, 4);
    const Bytes farPixels(small.begin() + 54, small.end());

    // A 10 x 10 run-length stream of runs of one pixel that never ends, 4 MB of it.
    Bytes endless = samples::MakeBmp(10, 10, 8, true);
    const std::uint32_t offset = endless[10] | (endless[11] << 8);
    endless.resize(offset + (std::size_t(1) << 22));
    for (std::size_t i = offset; i < endless.size(); i += 2) {
        endless[i] = 1;
        endless[i + 1] = 0;
    }

    struct Row {
        const char* name;
        QString path;
        QString message; ///< empty: loads with the size below
        QSize size;
    };
    const Row rows[] = {
        {"30000 x 30000 claimed by a 3 GiB file", SparseFile(dir.filePath("riesig.bmp"), huge, 3 * GiB),
         TooBig(30000, 30000), {}},
        {"64 x 48 at the start of 3 GiB", SparseFile(dir.filePath("lang.bmp"), small, 3 * GiB), {}, {64, 48}},
        {"64 x 48 whose pixels lie 2 GiB in",
         SparseFile(dir.filePath("fern.bmp"), farHead, 3 * GiB, 2 * GiB - 4096, farPixels), {}, {64, 48}},
        {"endless run-length stream", Write("endlos.bmp", endless), Invalid, {}},
        {"baseline jpeg at the start of 3 GiB",
         SparseFile(dir.filePath("lang.jpg"), samples::MakeJpeg(64, 48, JpegKind::Baseline), 3 * GiB), {}, {64, 48}},
    };
    for (const Row& row : rows) {
        const std::int64_t before = BytesReadSoFar();
        Load(row.path);
        EXPECT_LT(BytesReadSoFar() - before, 1 << 20) << row.name;
        if (row.message.isEmpty())
            ExpectLoaded(row.size, row.name);
        else
            ExpectRefused(row.message, row.name);
    }

    // The far pixels are the picture's own.
    Load(rows[2].path);
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 5)
            ASSERT_EQ(Rgb(*SourceImage, x, y), samples::ExpectedBmpColor(x, y, 24)) << x << "," << y;
}

/// A progressive JPEG whose first or last scan is repeated until the file has `scans` scans (libjpeg
/// warns about the repetition and decodes on). libjpeg's progression starts with the DC scan (one
/// coefficient a block) and ends with the last AC refinement (63 coefficients a luminance block).
Bytes WithScans(const Bytes& jpeg, int scans, bool repeatLast)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            starts.push_back(i);
    const std::size_t end = jpeg.size() - 2; // the end-of-image marker
    const std::size_t from = repeatLast ? starts.back() : starts.front();
    const std::size_t to = repeatLast ? end : starts[1];
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = static_cast<int>(starts.size()); i < scans; ++i)
        out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(from), jpeg.begin() + static_cast<std::ptrdiff_t>(to));
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(end), jpeg.end());
    return out;
}

TEST_F(HostileFiles, ProgressiveJpegOfTooManyScansIsRefused)
{
    const Bytes jpeg = samples::MakeJpeg(64, 48, JpegKind::Progressive);
    const QString tooMany = QStringLiteral("Das JPEG-Bild hat zu viele Durchläufe");
    struct Row {
        const char* name;
        int scans;
        bool repeatLast;
        bool refused;
    };
    const Row rows[] = {
        {"cheap scans up to the scan limit", MaxJpegScans, false, false},
        {"one cheap scan over it", MaxJpegScans + 1, false, true},
        {"2000 cheap scans", 2000, false, true},
        // 48 luminance and 2 x 12 chroma blocks allow 72 x 64 x 8 = 36864 block coefficients. libjpeg's
        // ten scans take 12240 of them, each repeat of the last (luminance 1..63) 48 x 63 = 3024 more.
        {"eight more full refinements", 18, true, false},
        {"nine more full refinements", 19, true, true},
    };
    for (const Row& row : rows) {
        Load(Write("scans.jpg", WithScans(jpeg, row.scans, row.repeatLast)));
        if (row.refused)
            ExpectRefused(tooMany, row.name);
        else
            ExpectLoaded({64, 48}, row.name);
    }
}

} // namespace
