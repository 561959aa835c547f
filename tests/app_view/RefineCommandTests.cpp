// "Stützpunkte auf die Linie setzen" through the real window, and the byte view of every picture format.
#include "ImageDocument.h"
#include "JpegDecoder.h"
#include "PictureView.h"
#include "ViewFixture.h"

#include <QAction>
#include <QMenu>
#include <QPainter>

#include <string>
#include <utility>
#include <vector>

namespace {

QByteArray Bytes(const samples::Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

TEST(PictureViewOf, GivesEveryLoadedFormatsBrightnessWithoutCopyingIt)
{
    QImage mirrored = DecodeBitmap(Bytes(samples::MakeBmp(11, 6, 8)));
    MirrorHorizontal(mirrored);
    const std::vector<std::pair<std::string, QImage>> loaded = {
        {"1-bit BMP", DecodeBitmap(Bytes(samples::MakeBmp(21, 5, 1)))},
        {"4-bit BMP", DecodeBitmap(Bytes(samples::MakeBmp(13, 7, 4)))},
        {"8-bit RLE BMP", DecodeBitmap(Bytes(samples::MakeBmp(13, 7, 8, true)))},
        {"16-bit BMP", DecodeBitmap(Bytes(samples::MakeBmp(9, 4, 16)))},
        {"24-bit BMP", DecodeBitmap(Bytes(samples::MakeBmp(9, 4, 24)))},
        {"32-bit BMP", DecodeBitmap(Bytes(samples::MakeBmp(9, 4, 32)))},
        {"colour JPEG", DecodeJpeg(Bytes(samples::MakeJpeg(17, 9, samples::JpegKind::Baseline)))},
        {"greyscale JPEG", DecodeJpeg(Bytes(samples::MakeJpeg(17, 9, samples::JpegKind::Greyscale)))},
        {"mirrored", mirrored},
    };
    const QImage other = loaded[4].second.convertToFormat(QImage::Format_RGB16);
    for (const auto& [name, image] : loaded) {
        SCOPED_TRACE(name);
        QImage converted;
        const TPictureBytes view = PictureViewOf(image, converted);
        EXPECT_EQ(view.Bits, image.constBits()); // a scan of hundreds of megabytes is read in place
        ASSERT_EQ(view.Width, image.width());
        ASSERT_EQ(view.Height, image.height());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                ASSERT_EQ(PixelBrightnessAt(view, x, y), PixelBrightness(qRed(c), qGreen(c), qBlue(c))) << x << "," << y;
            }
    }
    // A format no loader gives is read through a converted copy.
    QImage converted;
    const TPictureBytes view = PictureViewOf(other, converted);
    ASSERT_EQ(view.Bits, converted.constBits());
    const QRgb c = other.pixel(3, 2);
    EXPECT_EQ(PixelBrightnessAt(view, 3, 2), PixelBrightness(qRed(c), qGreen(c), qBlue(c)));
    EXPECT_EQ(PictureViewOf(QImage(), converted).Bits, nullptr);
}

/// A scan with a 2-pixel dark line whose centre is on pixel row 40, at y = 40.5 in the frame the
/// view draws (row 40 spans 40 to 41, as in Qt).
QImage LineScan()
{
    QImage scan(200, 100, QImage::Format_RGB32);
    scan.fill(qRgb(236, 232, 220));
    QPainter painter(&scan);
    painter.setRenderHint(QPainter::Antialiasing);
    // The pen from 39.5 to 41.5 is centred on row 40.
    painter.setPen(QPen(QColor(30, 30, 45), 2.0));
    painter.drawLine(QPointF(0, 40.5), QPointF(200, 40.5));
    return scan;
}

TEST_F(MainView, RefiningFollowsTheHistoryItemsAndIsOneUndoableContourEdit)
{
    const QList<QAction*> items = form->Edit1->actions();
    const qsizetype at = items.indexOf(form->SttzpunkteaufdieLiniesetzen1);
    ASSERT_GE(at, 2);
    EXPECT_EQ(items[at]->text(), QStringLiteral("Stützpunkte auf die Linie setzen"));
    EXPECT_TRUE(items[at - 1]->isSeparator());
    EXPECT_EQ(items[at - 2], form->Wiederholen1);

    const QString path = Path(QStringLiteral("line.bmp"));
    ASSERT_TRUE(LineScan().save(path, "BMP"));
    Load(path);
    const TContourPointArray clicked{{30, 42.5, 0}, {60, 38.8, 0}, {90, 41.7, 0}, {120, 37.6, 0}, {150, 43, 0}};
    ContourPoints = clicked;
    ProfileDirty = false;
    ProfileSaved = true;
    form->SttzpunkteaufdieLiniesetzen1->trigger();
    ASSERT_EQ(ContourPoints.size(), clicked.size());
    for (std::size_t i = 0; i < clicked.size(); ++i) {
        EXPECT_NEAR(ContourPoints[i].y, 40.5, 0.05) << i;
        EXPECT_NEAR(ContourPoints[i].x, clicked[i].x, 1e-6) << i;
    }
    EXPECT_TRUE(ProfileDirty);
    EXPECT_FALSE(ProfileSaved);

    form->Timer1Timer(); // the menu follows within a tick
    form->Rckgngig1->trigger();
    for (std::size_t i = 0; i < clicked.size(); ++i)
        EXPECT_EQ(ContourPoints[i].y, clicked[i].y) << i;

    // Points already on the line: no edit, no step, no flag.
    form->Timer1Timer();
    form->Wiederholen1->trigger();
    const TContourPointArray refined = ContourPoints;
    ProfileDirty = false;
    ProfileSaved = true;
    form->SttzpunkteaufdieLiniesetzen1->trigger();
    for (std::size_t i = 0; i < refined.size(); ++i)
        EXPECT_EQ(ContourPoints[i].y, refined[i].y) << i;
    EXPECT_FALSE(ProfileDirty);
    EXPECT_TRUE(ProfileSaved);
    EXPECT_FALSE(ContourHistory.CanRedo());
    form->Timer1Timer();
    form->Rckgngig1->trigger();
    EXPECT_EQ(ContourPoints[0].y, clicked[0].y);
}

TEST_F(MainView, WithoutAPictureOrPointsRefiningDoesNothing)
{
    ContourPoints = {{30, 42.5, 0}, {60, 38.8, 0}};
    form->SttzpunkteaufdieLiniesetzen1->trigger();
    EXPECT_EQ(ContourPoints[0].y, 42.5);
    EXPECT_TRUE(ProfileSaved);
    EXPECT_FALSE(ContourHistory.CanUndo());

    const QString path = Path(QStringLiteral("line.bmp"));
    ASSERT_TRUE(LineScan().save(path, "BMP"));
    Load(path);
    form->SttzpunkteaufdieLiniesetzen1->trigger();
    EXPECT_TRUE(ContourPoints.empty());
    EXPECT_TRUE(ProfileSaved);
}

} // namespace
