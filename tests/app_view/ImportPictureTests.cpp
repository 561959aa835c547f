// "Bild importieren …", "Bild einfügen" and dropped files, through the main window.
#include "ImportSamples.h"
#include "ViewFixture.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {

class ImportView : public MainView {
protected:
    QString WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        return Write(name, samples::Bytes(bytes.begin(), bytes.end()));
    }

    /// A contour, a turned view and a magenta picture, to see what an import changed.
    void Prepare()
    {
        services.errors.clear();
        QImage old(6, 6, QImage::Format_RGB32);
        old.fill(Qt::magenta);
        *SourceImage = old;
        ContourPoints = {{1, 1, 0}, {2, 2, 0}};
        View.RotationAngle = 30;
        PictureOrigin = TPictureOrigin{"/old.bmp", 0, 0.0, false};
    }

    void Import(const QString& path)
    {
        services.openAnswer = path;
        form->Bildimportieren1->trigger();
    }

    void ExpectUnchanged(const char* what)
    {
        EXPECT_EQ(SourceImage->size(), QSize(6, 6)) << what;
        EXPECT_EQ(ContourPoints.size(), 2u) << what;
        EXPECT_EQ(View.RotationAngle, 30.0) << what;
        EXPECT_EQ(PictureOrigin.Path, "/old.bmp") << what;
    }

    QByteArray png = import_samples::MakePng(3, 2, 2, 8, QByteArray(18, '\x40'));
};

TEST_F(ImportView, ItemsFollowProgrammendeAndOpenTheDialogWithEveryReadableKind)
{
    QStringList captions;
    for (const QAction* action : form->Laden1->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions.join('|'), QStringLiteral("Bild laden|Programmende|-|Bild importieren …|Bild einfügen|-|Arbeit öffnen …|Arbeit speichern …"));
    EXPECT_EQ(form->Bildimportieren1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(form->Bildeinfgen1->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));

    services.openAnswer.reset();
    Prepare();
    form->Bildimportieren1->trigger();
    ASSERT_EQ(services.openRequests.size(), 1u);
    EXPECT_EQ(services.openRequests[0].initialDirectory, services.programDirectory);
    EXPECT_TRUE(services.openRequests[0].filter.contains(QStringLiteral("*.tif;*.tiff;*.webp")));
    ExpectUnchanged("cancelled");
}

TEST_F(ImportView, ImportedPictureReplacesTheOldAsBildLadenDoes)
{
    Prepare();
    const QString path = WriteBytes(QStringLiteral("scan.png.old"), png);
    Import(path);
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
    EXPECT_EQ(SourceImage->size(), QSize(3, 2));
    EXPECT_EQ(SourceImage->format(), QImage::Format_Indexed8);
    EXPECT_TRUE(ContourPoints.empty());
    EXPECT_EQ(View.RotationAngle, 0.0);
    EXPECT_EQ(PictureOrigin.Path, QFileInfo(path).absoluteFilePath().toStdString());
    // The cleared contour is one step of the history.
    form->Rckgngig1Click();
    EXPECT_EQ(ContourPoints.size(), 2u);
}

TEST_F(ImportView, SeveralPagesOrAPdfAskForThePageAndResolution)
{
    using import_samples::TiffPage;
    const QString tiff = WriteBytes(QStringLiteral("pages.tif"),
                                    import_samples::MakeTiff({TiffPage{1, 1, 8, 1, 1, 1, QByteArray(1, '\1')},
                                                              TiffPage{4, 1, 8, 1, 1, 1, QByteArray(4, '\2')}}));
    Prepare();
    services.pageAnswer.reset();
    Import(tiff);
    ExpectUnchanged("page dialog cancelled");
    EXPECT_TRUE(services.errors.isEmpty());

    services.pageAnswer = platform::PageChoice{2, 0.0};
    Import(tiff);
    EXPECT_EQ(SourceImage->size(), QSize(4, 1));
    EXPECT_EQ(PictureOrigin.Page, 2);
    ASSERT_EQ(services.pageRequests.size(), 2u);
    EXPECT_EQ(services.pageRequests[1].pageCount, 2);
    EXPECT_FALSE(services.pageRequests[1].askResolution);

    services.pageAnswer = platform::PageChoice{1, 72.0};
    Import(WriteBytes(QStringLiteral("report"), import_samples::MakePdf(1)));
    ASSERT_EQ(services.pageRequests.size(), 3u);
    const platform::PageRequest& pdf = services.pageRequests[2];
    EXPECT_TRUE(pdf.askResolution);
    EXPECT_EQ(pdf.dpi, 300);
    ASSERT_EQ(pdf.maxDpi.size(), 1u);
    EXPECT_GE(pdf.maxDpi[0], 600.0); // an A4 page at 600 dpi fits the limit of any machine this runs on
    EXPECT_EQ(SourceImage->size(), QSize(595, 842));
    EXPECT_EQ(PictureOrigin.Dpi, 72.0);
    EXPECT_EQ(PictureOrigin.Page, 0);
}

TEST_F(ImportView, FailedImportNamesFileAndReasonAndChangesNothing)
{
    const std::pair<QString, const char*> rows[] = {
        {WriteBytes(QStringLiteral("cut.png"), png.left(40)), "Die Datei ist beschädigt oder unvollständig"},
        {Path(QStringLiteral("missing.png")), "Die Datei kann nicht geöffnet werden"},
    };
    for (const auto& [path, reason] : rows) {
        Prepare();
        Import(path);
        ASSERT_EQ(services.errors.size(), 1) << reason;
        EXPECT_EQ(services.errors[0], QStringLiteral("Das Bild %1 kann nicht importiert werden: %2").arg(path, QString::fromUtf8(reason)));
        ExpectUnchanged(reason);
    }
}

TEST_F(ImportView, PasteTakesAnImageOrACopiedFile)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    Prepare();
    clipboard->setText(QStringLiteral("no picture"));
    form->Bildeinfgen1->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_EQ(services.errors[0], QStringLiteral("Die Zwischenablage enthält kein Bild"));
    ExpectUnchanged("text in the clipboard");

    QImage transparent(5, 4, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    transparent.setPixel(1, 1, qRgba(255, 0, 0, 255));
    clipboard->setImage(transparent);
    form->Bildeinfgen1->trigger();
    EXPECT_EQ(SourceImage->size(), QSize(5, 4));
    EXPECT_EQ(SourceImage->pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(SourceImage->pixel(1, 1) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_TRUE(PictureOrigin.FromClipboard && PictureOrigin.Path.empty());

    auto* copied = new QMimeData;
    const QString path = WriteBytes(QStringLiteral("copied.png"), png);
    copied->setUrls({QUrl::fromLocalFile(path)});
    clipboard->setMimeData(copied);
    form->Bildeinfgen1->trigger();
    EXPECT_EQ(SourceImage->size(), QSize(3, 2));
    EXPECT_EQ(PictureOrigin.Path, path.toStdString());
}

TEST_F(ImportView, DroppedLocalFileIsImported)
{
    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(WriteBytes(QStringLiteral("dropped.png"), png))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    Prepare();
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &drop);
    QTRY_COMPARE(SourceImage->size(), QSize(3, 2));
    EXPECT_TRUE(ContourPoints.empty());
}

} // namespace
