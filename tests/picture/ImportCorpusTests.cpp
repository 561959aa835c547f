// Every imported kind and variant, made here, opens to the right pixels or is refused with its reason.
#include "ImageDocument.h"
#include "ImportSamples.h"
#include "JpegDecoder.h"
#include "PictureImport.h"
#include "SampleImages.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

using import_samples::MakePng;
using import_samples::MakeTiff;
using import_samples::TiffPage;

QByteArray Raw(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (const int b : bytes)
        out += char(b);
    return out;
}

QByteArray Raw16(std::initializer_list<int> samples, bool bigEndian)
{
    QByteArray out;
    for (const int v : samples) {
        const char high = char(v >> 8), low = char(v);
        out.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return out;
}

QByteArray FromSamples(const samples::Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

struct Opens {
    const char* name;
    QByteArray file;
    int page;
    double dpi;
    QImage::Format format;
    QSize size;
    std::vector<std::pair<QPoint, unsigned>> pixels; ///< spots and their colours 0xRRGGBB
};

const unsigned W = 0xFFFFFF;
const unsigned K = 0x000000;

TEST(ImportCorpus, EveryVariantOpensToItsPixelsInTheProgramsFormat)
{
    const auto grey = QImage::Format_Indexed8;
    const auto colour = QImage::Format_BGR888;
    // 16-bit samples 128 and 129 lie either side of the half step: rounding gives 0 and 1, cutting 0 and 0.
    const std::vector<Opens> rows = {
        {"png 1-bit grey", MakePng(4, 1, 0, 1, Raw({0xA0})), 0, 0, grey, {4, 1}, {{{0, 0}, W}, {{1, 0}, K}}},
        {"png 8-bit grey", MakePng(2, 1, 0, 8, Raw({7, 200})), 0, 0, grey, {2, 1}, {{{0, 0}, 0x070707}, {{1, 0}, 0xC8C8C8}}},
        {"png 16-bit grey rounds", MakePng(3, 1, 0, 16, Raw16({128, 129, 0x8080}, true)), 0, 0, grey, {3, 1},
         {{{0, 0}, 0}, {{1, 0}, 0x010101}, {{2, 0}, 0x808080}}},
        {"png grey + alpha on white", MakePng(2, 1, 4, 8, Raw({0, 128, 0, 255})), 0, 0, grey, {2, 1},
         {{{0, 0}, 0x7F7F7F}, {{1, 0}, K}}},
        {"png 16-bit grey + alpha", MakePng(1, 1, 4, 16, Raw16({0, 0}, true)), 0, 0, grey, {1, 1}, {{{0, 0}, W}}},
        {"png palette with transparency", MakePng(3, 1, 3, 8, Raw({0, 1, 2}), Raw({255, 0, 0, 0, 0, 255, 9, 9, 9}), Raw({255, 0})),
         0, 0, colour, {3, 1}, {{{0, 0}, 0xFF0000}, {{1, 0}, W}, {{2, 0}, 0x090909}}},
        {"png 4-bit grey palette", MakePng(2, 1, 3, 4, Raw({0x10}), Raw({0, 0, 0, 80, 80, 80})), 0, 0, grey, {2, 1},
         {{{0, 0}, 0x505050}, {{1, 0}, K}}},
        {"png rgb", MakePng(1, 1, 2, 8, Raw({10, 20, 30})), 0, 0, colour, {1, 1}, {{{0, 0}, 0x0A141E}}},
        {"png rgba on white", MakePng(2, 1, 6, 8, Raw({255, 0, 0, 0, 0, 0, 255, 255})), 0, 0, colour, {2, 1},
         {{{0, 0}, W}, {{1, 0}, 0x0000FF}}},
        {"png 16-bit rgb rounds", MakePng(1, 1, 2, 16, Raw16({129, 0x8080, 0xFFFF}, true)), 0, 0, colour, {1, 1},
         {{{0, 0}, 0x0180FF}}},
        {"png 16-bit rgba half", MakePng(1, 1, 6, 16, Raw16({0, 0, 0, 0x8000}, true)), 0, 0, grey, {1, 1},
         {{{0, 0}, 0x7F7F7F}}},
        {"tiff g3 1-bit", MakeTiff({{8, 2, 1, 1, 0, 3, Raw({0x0F, 0xF0})}}), 0, 0, grey, {8, 2},
         {{{0, 0}, W}, {{4, 0}, K}, {{0, 1}, K}}},
        {"tiff g4 1-bit", MakeTiff({{8, 2, 1, 1, 0, 4, Raw({0x0F, 0xF0})}}), 0, 0, grey, {8, 2},
         {{{0, 0}, W}, {{4, 0}, K}, {{7, 1}, W}}},
        {"tiff lzw grey", MakeTiff({{2, 1, 8, 1, 1, 5, Raw({3, 250})}}), 0, 0, grey, {2, 1}, {{{1, 0}, 0xFAFAFA}}},
        {"tiff deflate rgb", MakeTiff({{1, 1, 8, 3, 2, 8, Raw({1, 2, 3})}}), 0, 0, colour, {1, 1}, {{{0, 0}, 0x010203}}},
        {"tiff packbits grey", MakeTiff({{3, 1, 8, 1, 1, 32773, Raw({0, 0, 9})}}), 0, 0, grey, {3, 1}, {{{2, 0}, 0x090909}}},
        {"tiff 16-bit grey rounds", MakeTiff({{2, 1, 16, 1, 1, 1, Raw16({128, 129}, false)}}), 0, 0, grey, {2, 1},
         {{{0, 0}, K}, {{1, 0}, 0x010101}}},
        {"tiff 16-bit rgb", MakeTiff({{1, 1, 16, 3, 2, 1, Raw16({0xFFFF, 129, 0}, false)}}), 0, 0, colour, {1, 1},
         {{{0, 0}, 0xFF0100}}},
        {"tiff page 2 of 3",
         MakeTiff({{1, 1, 8, 1, 1, 1, Raw({1})}, {2, 1, 8, 1, 1, 5, Raw({2, 3})}, {3, 1, 8, 1, 1, 1, Raw({4, 5, 6})}}), 2, 0,
         grey, {2, 1}, {{{1, 0}, 0x030303}}},
        {"webp", import_samples::MakeWebP([] {
             QImage i(2, 1, QImage::Format_RGB32);
             i.setPixel(0, 0, 0xFF0000);
             i.setPixel(1, 0, 0x00FF00);
             return i;
         }()),
         0, 0, colour, {2, 1}, {{{0, 0}, 0xFF0000}, {{1, 0}, 0x00FF00}}},
        // Page 2's square covers 144..216 points across and 72..144 down: at 72 dpi one pixel a point.
        {"pdf page 2 at 72 dpi", import_samples::MakePdf(2), 2, 72, grey, {595, 842},
         {{{180, 108}, K}, {{100, 108}, W}, {{180, 160}, W}}},
        {"pdf first page at the default 300 dpi", import_samples::MakePdf(1), 0, 0, grey, {2479, 3508},
         {{{450, 450}, K}, {{250, 450}, W}}},
    };
    for (const Opens& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.file.isEmpty());
        QImage image;
        try {
            image = ImportPictureData(row.file, row.page, row.dpi);
        } catch (const TImageError& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        EXPECT_EQ(image.format(), row.format);
        EXPECT_EQ(image.size(), row.size);
        for (const auto& [at, rgb] : row.pixels)
            EXPECT_EQ(image.pixel(at) & 0xFFFFFFu, rgb) << at.x() << "," << at.y();
    }
}

TEST(ImportCorpus, BmpAndJpegUnderAnyNameGiveWhatBildLadenGives)
{
    const QByteArray bmp = FromSamples(samples::MakeBmp(7, 5, 1));
    const QByteArray jpeg = FromSamples(samples::MakeJpeg(9, 6, samples::JpegKind::Greyscale));
    EXPECT_EQ(ImportPictureData(bmp, 0, 0), DecodeBitmap(bmp));
    EXPECT_EQ(ImportPictureData(jpeg, 1, 0), DecodeJpeg(jpeg));
    EXPECT_EQ(InspectPictureData(jpeg).PageCount, 1);
}

TEST(ImportCorpus, PagesAndPageSizesAreKnownBeforeDecoding)
{
    const QByteArray tiff = MakeTiff({{1, 1, 8, 1, 1, 1, Raw({1})}, {1, 1, 8, 1, 1, 1, Raw({2})}});
    EXPECT_EQ(InspectPictureData(tiff).PageCount, 2);
    const TPictureFileInfo pdf = InspectPictureData(import_samples::MakePdf(3));
    EXPECT_EQ(pdf.Kind, TPictureKind::Pdf);
    ASSERT_EQ(pdf.PageCount, 3);
    EXPECT_EQ(pdf.PageSizes[2], QSizeF(595, 842));
    // The largest resolution keeps the rendered page within the limit, one more passes it.
    const double max = MaxPdfDpi(pdf.PageSizes[0]);
    const auto bytes = [](double dpi) {
        return std::int64_t(std::ceil(595 * dpi / 72)) * std::int64_t(std::ceil(842 * dpi / 72)) * 4;
    };
    EXPECT_LE(bytes(max), MaxPictureBytes());
    EXPECT_GT(bytes(max + 1), MaxPictureBytes());
}

struct Refused {
    const char* name;
    QByteArray file;
    int page;
    double dpi;
    QString reason; ///< the start of the reason
};

TEST(ImportCorpus, DamagedTruncatedAndHostileFilesAreRefusedWithTheirReasonAtOnce)
{
    const QString damaged = QStringLiteral("Die Datei ist beschädigt oder unvollständig");
    const QString tooBig = QStringLiteral("Das Bild ist zu groß (");
    const QString unknown = QStringLiteral("Das Format der Datei ist unbekannt");
    QByteArray rgbRows(3 * 64 * 64, '\x55');
    const QByteArray png = MakePng(64, 64, 2, 8, rgbRows);
    const QByteArray tiff = MakeTiff({{64, 64, 8, 3, 2, 5, rgbRows}});
    // The first directory's offset lies at byte 4; its entries start 2 bytes further, 12 bytes each.
    const quint32 ifd = qFromLittleEndian<quint32>(tiff.constData() + 4);
    const quint16 entries = qFromLittleEndian<quint16>(tiff.constData() + ifd);
    QByteArray loop = tiff;
    qToLittleEndian<quint32>(ifd, loop.data() + ifd + 2 + 12 * entries);
    QByteArray hugeTiff = tiff; // width and height become LONG values of 100000
    for (int i = 0; i < entries; ++i) {
        char* entry = hugeTiff.data() + ifd + 2 + 12 * i;
        const quint16 tag = qFromLittleEndian<quint16>(entry);
        if (tag == 256 || tag == 257) {
            qToLittleEndian<quint16>(4, entry + 2);
            qToLittleEndian<quint32>(100000, entry + 8);
        }
    }
    const std::vector<Refused> rows = {
        {"empty", QByteArray(), 0, 0, unknown},
        {"text", QByteArray("x;y\n1;2\n"), 0, 0, unknown},
        {"png cut in half", png.left(png.size() / 2), 0, 0, damaged},
        {"png header only", png.left(33), 0, 0, damaged},
        {"png bomb: 100000 x 100000 claimed", MakePng(100000, 100000, 0, 8, QByteArray(1000, '\0')), 0, 0,
         tooBig + "100000 x 100000"},
        {"png page 2", png, 2, 0, QStringLiteral("Die Datei hat keine Seite 2")},
        {"tiff cut in half", tiff.left(tiff.size() / 2), 0, 0, damaged},
        {"tiff bomb: 100000 x 100000 claimed", hugeTiff, 0, 0, tooBig + "100000 x 100000"},
        {"tiff endless directory chain, page 2", loop, 2, 0, QStringLiteral("Die Datei hat keine Seite 2")},
        {"pdf without pages", QByteArray("%PDF-1.4\n1 0 obj << >> endobj\n%%EOF\n"), 0, 0, damaged},
        {"pdf page 3 of 2", import_samples::MakePdf(2), 3, 0, QStringLiteral("Die Datei hat keine Seite 3")},
        {"pdf at a resolution beyond the limit", import_samples::MakePdf(1), 1, 20000, tooBig},
        {"pdf at 0.5 dpi", import_samples::MakePdf(1), 1, 0.5, QStringLiteral("Die Auflösung 0.5 dpi ist ungültig")},
        {"webp cut", import_samples::MakeWebP(QImage(8, 8, QImage::Format_RGB32)).left(20), 0, 0, damaged},
        {"jpeg keeps its own reason", FromSamples(samples::MakeJpeg(8, 8, samples::JpegKind::Cmyk)), 0, 0,
         QStringLiteral("JPEG-Fehler #")},
    };
    for (const Refused& row : rows) {
        SCOPED_TRACE(row.name);
        QElapsedTimer clock;
        clock.start();
        try {
            (void)ImportPictureData(row.file, row.page, row.dpi);
            ADD_FAILURE() << "opened";
        } catch (const TImageError& error) {
            EXPECT_TRUE(QString::fromStdString(error.what()).startsWith(row.reason)) << error.what();
        }
        EXPECT_LT(clock.elapsed(), 1000);
    }
}

} // namespace
