// "Bild laden" and the two mirror commands, through the main window.
#include "ImageDocument.h"
#include "JpegDecoder.h"
#include "ViewFixture.h"

#include "Colors.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace {

using samples::JpegKind;

TEST_F(MainView, OpenDialogStartsInTheProgramDirectoryWithThreeFilters)
{
    services.programDirectory = QStringLiteral("/somewhere/zovori");
    services.openAnswer.reset();
    form->Bildladen1->trigger();
    form->Bildladen1->trigger();
    ASSERT_EQ(services.openRequests.size(), 2u);
    for (const auto& request : services.openRequests) {
        EXPECT_EQ(request.initialDirectory, QStringLiteral("/somewhere/zovori"));
        EXPECT_EQ(request.filter, QStringLiteral("*.bmp , *.jpg|*.bmp;*.jpg|Bitmaps *.bmp|*.bmp|JPG *.jpg|*.JPG"));
        EXPECT_EQ(request.filterIndex, 0);
    }
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(MainView, CancelResetsRotationAndOriginButKeepsZoomAndContour)
{
    ContourPoints = {{5, 6, 0}};
    View.RotationAngle = 35;
    View.ViewOriginX = 17;
    View.ViewOriginY = -4;
    View.ZoomFactor = 8;
    View.ZoomLevel = 200;
    services.openAnswer.reset();
    form->Bildladen1->trigger();
    EXPECT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(View.RotationAngle, 0.0);
    EXPECT_EQ(View.ViewOriginX, 0);
    EXPECT_EQ(View.ViewOriginY, 0);
    EXPECT_EQ(View.ZoomFactor, 8.0);
    EXPECT_EQ(ViewImage->size(), form->frameGeometry().size());
}

TEST_F(MainView, ExtensionDecidesTheLoaderWhateverItsCase)
{
    const samples::Bytes jpeg = samples::MakeJpeg(24, 16, JpegKind::Baseline);
    struct Row {
        const char* name;
        bool loads;
    };
    const Row rows[] = {{"x.jpg", true}, {"x.Jpg", true}, {"y.JPG", true}, {"x.jpeg", false}, {"x.jpe", false},
                        {"nodot", false}};
    for (const Row& row : rows) {
        const QString path = Write(QString::fromLatin1(row.name), jpeg);
        *SourceImage = QImage(3, 3, QImage::Format_RGB32);
        ContourPoints = {{1, 1, 0}};
        View.RotationAngle = 10;
        PictureOrigin = TPictureOrigin{"/before.png", 2, 0.0, false};
        Load(path);
        EXPECT_EQ(PictureOrigin.Path, row.loads ? QFileInfo(path).absoluteFilePath().toStdString() : "/before.png");
        EXPECT_EQ(PictureOrigin.Page, row.loads ? 0 : 2) << row.name;
        EXPECT_TRUE(ContourPoints.empty()) << row.name;
        EXPECT_EQ(View.RotationAngle, 0.0) << row.name;
        EXPECT_EQ(SourceImage->size(), row.loads ? QSize(24, 16) : QSize(3, 3)) << row.name;
        if (row.loads) {
            EXPECT_EQ(SourceImage->format(), QImage::Format_BGR888) << row.name;
        }
    }
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST_F(MainView, LoadedPictureShowsUnrotatedAtTheOriginAtTheCurrentZoom)
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString path = Path(QStringLiteral("red.bmp"));
    ASSERT_TRUE(red.save(path, "BMP"));
    View.ZoomFactor = 2;
    View.ViewOriginX = 300;
    View.RotationAngle = 90;
    Load(path);
    EXPECT_EQ(Rgb(*ViewImage, 0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(*ViewImage, 7, 7), 0xFF0000u);
    EXPECT_EQ(Rgb(*ViewImage, 8, 0), ToQColor(clBtnFace).rgb() & 0xFFFFFFu);
}

TEST_F(MainView, ColourJpegDecodesAs24BitBgrLikeAnotherDecoder)
{
    const QString path = Write(QStringLiteral("c.jpg"), samples::MakeJpeg(64, 48, JpegKind::Progressive, 95));
    QImage reference;
    if (!reference.load(path, "JPEG"))
        GTEST_SKIP() << "no JPEG plugin in this Qt to compare with";
    Load(path);
    ASSERT_EQ(SourceImage->format(), QImage::Format_BGR888);
    ASSERT_EQ(SourceImage->size(), QSize(64, 48));
    // Another inverse DCT may differ by a level or two; a swapped channel differs by far more.
    int worst = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const unsigned want = Rgb(reference, x, y);
            const unsigned got = Rgb(*SourceImage, x, y);
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((want >> shift) & 0xFF) - int((got >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, 4);
}

TEST_F(MainView, GreyscaleJpegIs8BitAndMirrorsTo24Bit)
{
    Load(Write(QStringLiteral("g.jpg"), samples::MakeJpeg(40, 30, JpegKind::Greyscale)));
    ASSERT_EQ(SourceImage->format(), QImage::Format_Indexed8);
    EXPECT_LE(SourceImage->colorCount(), 236);
    EXPECT_GE(SourceImage->colorCount(), 2);
    for (QRgb c : SourceImage->colorTable())
        EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
    const QImage before = SourceImage->convertToFormat(QImage::Format_RGB32);
    form->Bildhorizontalspiegeln1Click();
    ASSERT_EQ(SourceImage->format(), QImage::Format_BGR888);
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 3)
            EXPECT_EQ(Rgb(*SourceImage, x, y), Rgb(before, 39 - x, y)) << x << "," << y;
}

TEST_F(MainView, EveryBmpVariantLoadsInItsOwnFormat)
{
    struct Row {
        const char* name;
        int bits;
        bool rle;
        QImage::Format format;
    };
    const Row rows[] = {
        {"1 bit", 1, false, QImage::Format_Mono},         {"4 bit", 4, false, QImage::Format_Indexed8},
        {"4 bit rle", 4, true, QImage::Format_Indexed8},  {"8 bit", 8, false, QImage::Format_Indexed8},
        {"8 bit rle", 8, true, QImage::Format_Indexed8},  {"16 bit", 16, false, QImage::Format_RGB32},
        {"24 bit", 24, false, QImage::Format_BGR888},     {"32 bit", 32, false, QImage::Format_RGB32},
    };
    for (const Row& row : rows) {
        Load(Write(QStringLiteral("v.bmp"), samples::MakeBmp(13, 7, row.bits, row.rle)));
        ASSERT_EQ(SourceImage->size(), QSize(13, 7)) << row.name;
        EXPECT_EQ(SourceImage->format(), row.format) << row.name;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(Rgb(*SourceImage, x, y), samples::ExpectedBmpColor(x, y, row.bits))
                    << row.name << " at " << x << "," << y;
    }
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST_F(MainView, EightBitBmpMirrorsToA24BitPictureThatLooksTheSame)
{
    Load(Write(QStringLiteral("p.bmp"), samples::MakeBmp(9, 5, 8)));
    ASSERT_EQ(SourceImage->format(), QImage::Format_Indexed8);
    form->Bildvertikalspiegeln1Click();
    ASSERT_EQ(SourceImage->format(), QImage::Format_BGR888);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(Rgb(*SourceImage, x, y), samples::ExpectedBmpColor(x, 4 - y, 8)) << x << "," << y;
}

TEST_F(MainView, MirrorCommandsSwapHalvesClearTheContourAndKeepTheView)
{
    QImage halves(10, 6, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 6; ++y)
        for (int x = 5; x < 10; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    for (int x = 0; x < 10; ++x)
        halves.setPixel(x, 0, qRgb(0, 255, 0));
    *SourceImage = halves;
    ContourPoints = {{1, 2, 0}};
    View.ViewOriginX = 3;
    View.ZoomFactor = 2;
    form->Bildhorizontalspiegeln1Click();
    EXPECT_TRUE(ContourPoints.empty());
    EXPECT_EQ(View.ViewOriginX, 3);
    EXPECT_EQ(Rgb(*SourceImage, 0, 3), 0x0000FFu);
    EXPECT_EQ(Rgb(*SourceImage, 9, 3), 0xFF0000u);
    EXPECT_EQ(Rgb(*ViewImage, 3, 6), 0x0000FFu) << "the view is composed again";
    form->Bildvertikalspiegeln1Click();
    EXPECT_EQ(Rgb(*SourceImage, 4, 5), 0x00FF00u);
    EXPECT_EQ(Rgb(*SourceImage, 4, 0), 0x0000FFu);
    form->Bildvertikalspiegeln1Click();
    form->Bildhorizontalspiegeln1Click();
    EXPECT_EQ(SourceImage->convertToFormat(QImage::Format_RGB32), halves) << "mirroring twice gives it back";
}

TEST(Mirror, OnePixelWideOrHighPicturesMirrorToThemselvesAndPaddingStays)
{
    for (const QSize size : {QSize(1, 5), QSize(5, 1), QSize(1, 1), QSize(0, 0)}) {
        QImage image(size, QImage::Format_BGR888);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x * 40, y * 40, 7));
        QImage h = image, v = image;
        MirrorHorizontal(h);
        MirrorVertical(v);
        if (size.width() == 1) {
            EXPECT_EQ(h, image);
        }
        if (size.height() == 1) {
            EXPECT_EQ(v, image);
        }
    }
    // Rows of 5 pixels are 15 bytes and one alignment byte; that byte is not a pixel and stays.
    QImage odd(5, 2, QImage::Format_BGR888);
    odd.fill(Qt::white);
    odd.scanLine(0)[15] = 0xAB;
    MirrorHorizontal(odd);
    MirrorVertical(odd);
    EXPECT_EQ(odd.constScanLine(0)[15], 0xAB);
}

TEST(Mirror, EveryWidthMirrorsPixelForPixel)
{
    for (int w = 1; w <= 13; ++w) {
        QImage image(w, 3, QImage::Format_BGR888);
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < w * 3; ++i)
                image.scanLine(y)[i] = static_cast<uchar>(i * 29 + y * 71 + w);
        QImage h = image;
        MirrorHorizontal(h);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(h.constScanLine(y)[x * 3 + c], image.constScanLine(y)[(w - 1 - x) * 3 + c])
                        << "width " << w << " pixel " << x << " byte " << c;
    }
}

samples::Bytes Patched(samples::Bytes bytes, std::size_t at, std::initializer_list<std::uint8_t> values)
{
    for (std::uint8_t v : values)
        bytes.at(at++) = v;
    return bytes;
}

std::size_t StartOfFrame(const samples::Bytes& jpeg)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
            return i;
    return 0;
}

TEST_F(MainView, BadFilesGiveTheirMessageAndLeaveTheStateAsDescribed)
{
    const samples::Bytes bmp = samples::MakeBmp(20, 20, 24);
    const samples::Bytes jpeg = samples::MakeJpeg(32, 32, JpegKind::Baseline);
    const std::size_t sof = StartOfFrame(jpeg);
    ASSERT_GT(sof, 0u);
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.jpg"));

    struct Row {
        const char* name;
        QString file;
        QString message; ///< the start of the message
        bool jpegPath;
    };
    const QString invalid = QStringLiteral("Bitmap ist ungültig");
    const QString jpegError = QStringLiteral("JPEG-Fehler #");
    const QString tooBig = QStringLiteral("Das Bild ist zu groß");
    const Row rows[] = {
        {"empty bmp", Write("empty.bmp", {}), invalid, false},
        {"truncated bmp", Write("cut.bmp", samples::Bytes(bmp.begin(), bmp.begin() + bmp.size() / 2)), invalid, false},
        {"wrong magic bmp", Write("magic.bmp", Patched(bmp, 0, {'X', 'Y'})), invalid, false},
        {"jpeg named bmp", Write("jpeg.bmp", jpeg), invalid, false},
        {"absurd bmp", Write("huge.bmp", Patched(bmp, 18, {0x40, 0x42, 0x0F, 0x00, 0x40, 0x42, 0x0F, 0x00})), tooBig,
         false},
        {"directory bmp", Path("folder.bmp"), "Datei " + Path("folder.bmp") + " kann nicht geöffnet werden", false},
        {"missing bmp", Path("none.bmp"), "Datei " + Path("none.bmp") + " kann nicht geöffnet werden", false},
        {"empty jpg", Write("empty.jpg", {}), jpegError, true},
        {"header only jpg", Write("cut.jpg", samples::Bytes(jpeg.begin(), jpeg.begin() + sof + 6)), jpegError, true},
        {"bmp named jpg", Write("bmp.jpg", bmp), jpegError, true},
        {"cmyk jpg", Write("cmyk.jpg", samples::MakeJpeg(8, 8, JpegKind::Cmyk)), jpegError, true},
        {"absurd jpg", Write("huge.jpg", Patched(jpeg, sof + 5, {0xEA, 0x60, 0xEA, 0x60})), tooBig, true},
        {"beyond libjpeg jpg", Write("max.jpg", Patched(jpeg, sof + 5, {0xFF, 0xFF, 0xFF, 0xFF})), jpegError, true},
        {"directory jpg", Path("folder.jpg"), "Datei " + Path("folder.jpg") + " kann nicht geöffnet werden", true},
    };
    QImage old(60, 60, QImage::Format_RGB32);
    old.fill(Qt::magenta);
    for (const Row& row : rows) {
        services.errors.clear();
        *SourceImage = old;
        View.RotationAngle = 45;
        ContourPoints = {{1, 1, 0}};
        form->RenderView();
        Load(row.file);
        ASSERT_EQ(services.errors.size(), 1) << row.name;
        EXPECT_TRUE(services.errors[0].startsWith(row.message)) << row.name << ": " << services.errors[0].toStdString();
        EXPECT_TRUE(ContourPoints.empty()) << row.name;
        EXPECT_EQ(View.RotationAngle, 45.0) << row.name << ": the view is not reset after a failure";
        EXPECT_TRUE(SourceImage->isNull()) << row.name << ": the old picture is gone before the read";
        EXPECT_TRUE(PictureOrigin.Path.empty()) << row.name;
        // A failed JPEG composes the view (background only); a failed BMP leaves the last one.
        const bool magenta = Rgb(*ViewImage, 40, 40) == 0xFF00FFu;
        EXPECT_EQ(magenta, !row.jpegPath) << row.name;
    }
}

TEST(LargeScans, TenThousandBySevenThousandLoadsAsJpegAndBmp)
{
    const samples::Bytes jpeg = samples::MakeJpeg(10000, 7000, JpegKind::Baseline, 75);
    const QImage fromJpeg = DecodeJpeg(QByteArray(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()));
    EXPECT_EQ(fromJpeg.size(), QSize(10000, 7000));
    const samples::Bytes bmp = samples::MakeBmp(10000, 7000, 24);
    const QImage fromBmp = DecodeBitmap(QByteArray(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
    ASSERT_EQ(fromBmp.size(), QSize(10000, 7000));
    EXPECT_EQ(Rgb(fromBmp, 9999, 6999), samples::SampleColor(9999, 6999));
}

} // namespace
