// Picture files a scanner, a phone or a broken copy can produce, through "Bild laden": each ends
// in a picture or in exactly one message, with the state the command leaves.
#include "HostileFixture.h"
#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QByteArray>
#include <QtGlobal>
#include <QAction>

#include <cstdio>
#include <string>
#include <vector>

#include <QFile>

#include <sys/stat.h>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using samples::Bytes;
using samples::JpegKind;

const QString Invalid = QStringLiteral("Bitmap ist ungültig");

QString JpegError(int code)
{
    return QStringLiteral("JPEG-Fehler #%1").arg(code);
}

QString TooBig(qint64 width, qint64 height)
{
    return QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(width).arg(height);
}

QByteArray AsQt(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

Bytes Flipped(Bytes bytes, std::size_t at, int bit)
{
    bytes.at(at) ^= static_cast<std::uint8_t>(1u << bit);
    return bytes;
}

void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t Marker(const Bytes& jpeg, std::uint8_t code)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code)
            return i;
    ADD_FAILURE() << "no marker " << int(code);
    return 0;
}

std::size_t StartOfFrame(const Bytes& jpeg)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
            return i;
    ADD_FAILURE() << "no start of frame";
    return 0;
}

/// A bottom-up palette bitmap with `colours` palette entries (red, green, blue, ...) whose
/// pixels hold the given indices row by row from the top, whatever the palette's size.
Bytes PaletteBmp(int width, int bits, int colours, const std::vector<std::vector<int>>& rows)
{
    const int height = static_cast<int>(rows.size());
    const int rowBytes = (width * bits + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    Bytes b(offset + rowBytes * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    Put(b, 10, offset, 4);
    Put(b, 14, 40, 4);
    Put(b, 18, width, 4);
    Put(b, 22, height, 4);
    Put(b, 26, 1, 2);
    Put(b, 28, bits, 2);
    Put(b, 46, colours, 4);
    const std::uint32_t palette[] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < colours; ++i)
        Put(b, 54 + 4 * i, palette[i % 3], 4);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.data() + offset + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int bitPos = x * bits;
            row[bitPos / 8] |= static_cast<std::uint8_t>(rows[y][x] << (8 - bits - bitPos % 8));
        }
    }
    return b;
}

/// A JPEG of two colour components, which has no colour space libjpeg can turn into RGB.
Bytes TwoComponentJpeg(int width, int height)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 2;
    cinfo.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 2, 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

TEST_F(HostileFiles, ZeroByteFilesAreRefusedByBothLoaders)
{
    Load(Write("leer.bmp", {}));
    ExpectRefused(Invalid, "bmp");
    Load(Write("leer.jpg", {}));
    // libjpeg's memory source reports an empty buffer as a file without a start marker.
    ExpectRefused(JpegError(JERR_INPUT_EMPTY), "jpg");
}

// Uncompressed rows that are not all there are refused: the loader checks the size against the
// header, since Qt's reader would keep a partial picture without a word.
TEST_F(HostileFiles, TruncatedUncompressedBitmapsAreRefused)
{
    for (const int bits : {1, 4, 8, 16, 24, 32})
        for (const int percent : {10, 50, 99}) {
            const std::string row = std::to_string(bits) + " bit at " + std::to_string(percent) + " %";
            Load(Write("cut.bmp", Prefix(samples::MakeBmp(40, 30, bits), percent)));
            ExpectRefused(Invalid, row);
        }
}

TEST_F(HostileFiles, TruncatedRunLengthBitmapsAreRefused)
{
    for (const int bits : {4, 8})
        for (const int percent : {10, 50, 99}) {
            const std::string row = std::to_string(bits) + " bit rle at " + std::to_string(percent) + " %";
            Load(Write("cut.bmp", Prefix(samples::MakeBmp(40, 30, bits, true), percent)));
            ExpectRefused(Invalid, row);
        }
}

// A JPEG cut inside its scan loads what it has: libjpeg warns, ends the data itself and fills the
// missing rows, so the picture keeps its size and the rows that arrived decode as in the full file.
TEST_F(HostileFiles, JpegCutInsideTheScanLoadsWhatArrived)
{
    for (const auto& [kind, name] : {std::pair{JpegKind::Baseline, "baseline"}, {JpegKind::Progressive, "progressive"},
                                     {JpegKind::Greyscale, "greyscale"}}) {
        const Bytes full = samples::MakeJpeg(256, 192, kind, 90);
        const QImage whole = DecodeJpeg(AsQt(full));
        ASSERT_GT(full.size() / 10, Marker(full, 0xDA) + 64) << name << ": 10 % must lie inside the scan";
        for (const int percent : {10, 50, 99}) {
            const std::string row = std::string(name) + " at " + std::to_string(percent) + " %";
            Load(Write("cut.jpg", Prefix(full, percent)));
            ExpectLoaded(QSize(256, 192), row);
            EXPECT_EQ(SourceImage->format(), whole.format()) << row;
            // 10 % of a baseline file ends inside its first row of blocks.
            if (kind != JpegKind::Progressive && percent >= 50) {
                for (int x = 0; x < 256; ++x)
                    ASSERT_EQ(Rgb(*SourceImage, x, 0), Rgb(whole, x, 0)) << row << " top row at " << x;
            }
        }
    }
}

TEST_F(HostileFiles, JpegCutBeforeItsScanIsRefused)
{
    const Bytes full = samples::MakeJpeg(64, 48, JpegKind::Baseline);
    Load(Write("kopf.jpg", Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(Marker(full, 0xDA)))));
    ExpectRefused(JpegError(JERR_SOF_NO_SOS), "cut at the scan header");
}

TEST_F(HostileFiles, SingleBitFlipsGiveTheirOwnOutcome)
{
    const Bytes bmp = samples::MakeBmp(40, 30, 24);
    const Bytes jpeg = samples::MakeJpeg(64, 48, JpegKind::Baseline);
    const std::size_t sof = StartOfFrame(jpeg);
    const std::size_t scan = (Marker(jpeg, 0xDA) + jpeg.size()) / 2;
    ASSERT_NE(jpeg[scan], 0xFF);
    ASSERT_NE(jpeg[scan - 1], 0xFF);
    ASSERT_NE(jpeg[scan] ^ 1, 0xFF);

    struct Row {
        const char* name;
        const char* file;
        Bytes bytes;
        QString message; ///< empty: the picture loads with the size below
        QSize size;
    };
    const Row rows[] = {
        {"bmp magic", "a.bmp", Flipped(bmp, 0, 0), Invalid, {}},
        {"bmp pixel offset one further", "b.bmp", Flipped(bmp, 10, 0), Invalid, {}},
        {"bmp bit count 25", "c.bmp", Flipped(bmp, 28, 0), Invalid, {}},
        {"bmp height's sign bit", "d.bmp", Flipped(bmp, 25, 7), TooBig(40, 2147483618), {}},
        {"bmp pixel byte", "e.bmp", Flipped(bmp, 54 + 3 * 40 * 7 + 5, 3), {}, {40, 30}},
        {"jpeg start marker", "a.jpg", Flipped(jpeg, 1, 0), JpegError(JERR_NO_SOI), {}},
        {"jpeg precision 9", "b.jpg", Flipped(jpeg, sof + 4, 0), JpegError(JERR_BAD_PRECISION), {}},
        {"jpeg scan byte", "c.jpg", Flipped(jpeg, scan, 0), {}, {64, 48}},
    };
    for (const Row& row : rows) {
        Load(Write(row.file, row.bytes));
        if (row.message.isEmpty())
            ExpectLoaded(row.size, row.name);
        else
            ExpectRefused(row.message, row.name);
    }

    // The flipped bmp pixel byte is the red channel of pixel (1, 22), row 7 from the bottom.
    Load(Write("e.bmp", Flipped(bmp, 54 + 3 * 40 * 7 + 5, 3)));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const unsigned want = samples::ExpectedBmpColor(x, y, 24) ^ (x == 1 && y == 22 ? 0x080000u : 0u);
            ASSERT_EQ(Rgb(*SourceImage, x, y), want) << x << "," << y;
        }
}

// Every single-bit flip of small files of each kind: a picture or one of the loader's messages.
TEST(HostileBits, EveryBitFlipOfSmallFilesLoadsOrGivesALoaderMessage)
{
    const auto isLoaderMessage = [](const QString& m) {
        return m == Invalid || m.startsWith(QLatin1String("JPEG-Fehler #")) ||
               m.startsWith(QStringLiteral("Das Bild ist zu groß ("));
    };
    struct File {
        const char* name;
        Bytes bytes;
        bool jpeg;
    };
    const File files[] = {
        {"bmp 1 bit", samples::MakeBmp(7, 3, 1), false},     {"bmp 4 bit rle", samples::MakeBmp(7, 3, 4, true), false},
        {"bmp 8 bit rle", samples::MakeBmp(7, 3, 8, true), false}, {"bmp 16 bit", samples::MakeBmp(7, 3, 16), false},
        {"bmp 32 bit", samples::MakeBmp(7, 3, 32), false},    {"jpeg baseline", samples::MakeJpeg(16, 8, JpegKind::Baseline), true},
        {"jpeg progressive", samples::MakeJpeg(16, 8, JpegKind::Progressive), true},
        {"jpeg greyscale", samples::MakeJpeg(16, 8, JpegKind::Greyscale), true},
    };
    for (const File& file : files) {
        int loaded = 0, refused = 0;
        for (std::size_t at = 0; at < file.bytes.size(); ++at) {
            const Bytes bytes = Flipped(file.bytes, at, static_cast<int>(at % 8));
            try {
                QImage image = file.jpeg ? DecodeJpeg(AsQt(bytes)) : DecodeBitmap(AsQt(bytes));
                // A picture that loads must also survive what the program does with it next.
                if (qint64(image.width()) * image.height() <= (qint64(1) << 22)) {
                    MirrorHorizontal(image);
                    MirrorVertical(image);
                }
                ASSERT_FALSE(image.isNull()) << file.name << " byte " << at;
                ++loaded;
            } catch (const TImageError& error) {
                ASSERT_TRUE(isLoaderMessage(QString::fromStdString(error.what())))
                    << file.name << " byte " << at << ": " << error.what();
                ++refused;
            }
        }
        EXPECT_GT(loaded, 0) << file.name;
        EXPECT_GT(refused, 0) << file.name;
    }
}

TEST_F(HostileFiles, AbsurdSizeClaimsAreRefusedBeforeAnyPixelIsAllocated)
{
    Bytes bmp = samples::MakeBmp(20, 20, 24);
    Put(bmp, 18, 60000, 4);
    Put(bmp, 22, 60000, 4);
    Load(Write("riesig.bmp", bmp));
    ExpectRefused(TooBig(60000, 60000), "bmp 60000 x 60000");

    Bytes rle = samples::MakeBmp(20, 20, 8, true);
    Put(rle, 18, 60000, 4);
    Put(rle, 22, 60000, 4);
    Load(Write("riesig-rle.bmp", rle));
    ExpectRefused(TooBig(60000, 60000), "rle bmp 60000 x 60000");

    // Height and width of the frame header set to 65500 (0xFFDC).
    const auto claim65500 = [](JpegKind kind) {
        Bytes jpeg = samples::MakeJpeg(32, 32, kind);
        const std::size_t sof = StartOfFrame(jpeg);
        for (std::size_t i : {sof + 5, sof + 7}) {
            jpeg[i] = 0xFF;
            jpeg[i + 1] = 0xDC;
        }
        return jpeg;
    };
    Load(Write("riesig.jpg", claim65500(JpegKind::Baseline)));
    ExpectRefused(TooBig(65500, 65500), "jpeg 65500 x 65500");
    // One byte per pixel still claims 4.3 GB: refused too, instead of decoding filler for minutes.
    Load(Write("riesig-grau.jpg", claim65500(JpegKind::Greyscale)));
    ExpectRefused(TooBig(65500, 65500), "greyscale jpeg 65500 x 65500");
}

TEST_F(HostileFiles, PipesAndDevicesNamedLikePicturesAreRefusedWithoutWaiting)
{
    const QString fifo = dir.filePath(QStringLiteral("rohr.bmp"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    Load(fifo);
    ExpectRefused(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(fifo), "fifo");

    const QString device = dir.filePath(QStringLiteral("null.jpg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    Load(device);
    ExpectRefused(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(device), "device");
}

// Indices beyond the palette are not refused; they take the colour Qt gives an index outside the
// table (black, or white for the second colour of a one-colour monochrome table) and never read
// beyond it.
TEST_F(HostileFiles, PaletteIndexBeyondThePaletteShowsBlack)
{
    struct Row {
        const char* name;
        int bits;
        int colours;
        std::vector<std::vector<int>> pixels;
        unsigned outside;
    };
    const Row rows[] = {
        {"8 bit, 2 colours", 8, 2, {{0, 1, 2, 255}, {1, 0, 200, 3}}, 0x000000u},
        {"4 bit, 2 colours", 4, 2, {{0, 1, 15, 7}, {1, 0, 2, 3}}, 0x000000u},
        {"1 bit, 1 colour", 1, 1, {{0, 1, 0, 1}, {1, 1, 0, 0}}, 0xFFFFFFu},
    };
    for (const Row& row : rows) {
        Load(Write("palette.bmp", PaletteBmp(4, row.bits, row.colours, row.pixels)));
        ExpectLoaded({4, 2}, row.name);
        form->Bildhorizontalspiegeln1Click();
        ASSERT_EQ(SourceImage->format(), QImage::Format_BGR888) << row.name;
        const unsigned palette[] = {0xFF0000, 0x00FF00};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const int index = row.pixels[y][3 - x];
                const unsigned want = index < row.colours ? palette[index] : row.outside;
                EXPECT_EQ(Rgb(*SourceImage, x, y), want) << row.name << " at " << x << "," << y;
                EXPECT_EQ(Rgb(*ViewImage, x, y), want) << row.name << " shown at " << x << "," << y;
            }
    }
}

TEST_F(HostileFiles, JpegColourSpacesWithoutRgbConversionAreRefused)
{
    Load(Write("cmyk.jpg", samples::MakeJpeg(16, 16, JpegKind::Cmyk)));
    ExpectRefused(JpegError(JERR_CONVERSION_NOTIMPL), "cmyk");
    Load(Write("zwei.jpg", TwoComponentJpeg(16, 16)));
    ExpectRefused(JpegError(JERR_CONVERSION_NOTIMPL), "two components");
}

} // namespace
