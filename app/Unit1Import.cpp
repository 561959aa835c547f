// Pictures in from elsewhere: the import command, the clipboard, and files dropped onto the window.
#include "Unit1.h"

#include "BusyCursor.h"
#include "ErrorHandler.h"
#include "ImageDocument.h"
#include "PictureImport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// One entry for every kind the import reads; the kind is decided by content, so all files may be tried.
const QString ImportFilter = QStringLiteral(
    "Bilder und PDF-Dokumente|*.png;*.tif;*.tiff;*.webp;*.bmp;*.jpg;*.jpeg;*.jpe;*.pdf|Alle Dateien|*");

/// The first local file among the URLs, or an empty string.
QString LocalFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

void TForm1::AddImportItems()
{
    N3 = Laden1->addSeparator();
    Bildimportieren1 = Laden1->addAction(QStringLiteral("Bild importieren …"));
    Bildeinfgen1 = Laden1->addAction(QStringLiteral("Bild einfügen"));
    Bildimportieren1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Bildeinfgen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(Bildimportieren1, &QAction::triggered, this, [this] { platform::Guarded([&] { Bildimportieren1Click(); }); });
    connect(Bildeinfgen1, &QAction::triggered, this, [this] { platform::Guarded([&] { Bildeinfgen1Click(); }); });
    setAcceptDrops(true);
}

void TForm1::Bildimportieren1Click()
{
    ImportDialog1.initialDirectory = platform::Current().ProgramDirectory();
    ImportDialog1.filter = ImportFilter;
    ImportDialog1.filterIndex = 0;
    const std::optional<QString> chosen = platform::Current().OpenFile(this, ImportDialog1);
    if (chosen)
        ImportPicture(*chosen);
}

void TForm1::ImportPicture(const QString& fileName)
{
    const TPictureFileInfo info = InspectPictureFile(fileName);
    const bool pdf = info.Kind == TPictureKind::Pdf;
    TPictureOrigin origin;
    origin.Path = QFileInfo(fileName).absoluteFilePath().toStdString();
    if (info.PageCount > 1 || pdf) {
        platform::PageRequest request;
        request.pageCount = info.PageCount;
        request.askResolution = pdf;
        request.dpi = static_cast<int>(DefaultPdfDpi);
        request.minDpi = static_cast<int>(MinPdfDpi);
        for (const QSizeF& size : info.PageSizes)
            request.maxDpi.push_back(MaxPdfDpi(size));
        const std::optional<platform::PageChoice> choice = platform::Current().ChoosePage(this, request);
        if (!choice)
            return;
        origin.Page = info.PageCount > 1 ? choice->page : 0;
        origin.Dpi = pdf ? choice->dpi : 0.0;
    }
    QImage picture;
    {
        TBusyCursor busy;
        picture = ImportPictureFile(fileName, origin.Page, origin.Dpi);
    }
    ShowImportedPicture(std::move(picture), origin);
}

void TForm1::Bildeinfgen1Click()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QString file = LocalFile(mime);
    if (!file.isEmpty()) {
        ImportPicture(file);
        return;
    }
    QImage picture;
    try {
        TBusyCursor busy;
        // Encoded bytes go through the import's own limits; only a bare image comes decoded already.
        if (mime && mime->hasFormat(QStringLiteral("image/png"))) {
            picture = ImportPictureData(mime->data(QStringLiteral("image/png")), 0, 0);
        } else if (mime && mime->hasImage()) {
            const QImage image = qvariant_cast<QImage>(mime->imageData());
            CheckPictureSize(image.width(), image.height(), 4);
            picture = ToProgramPicture(image);
        }
    } catch (const TImageError& error) {
        throw TImageError(QStringLiteral("Das Bild aus der Zwischenablage kann nicht eingefügt werden: %1")
                              .arg(QString::fromStdString(error.what())));
    }
    if (picture.isNull())
        throw TImageError(QStringLiteral("Die Zwischenablage enthält kein Bild"));
    TPictureOrigin origin;
    origin.FromClipboard = true;
    ShowImportedPicture(std::move(picture), origin);
}

void TForm1::ShowImportedPicture(QImage picture, const TPictureOrigin& origin)
{
    Polygonlschen1->trigger();
    *SourceImage = std::move(picture);
    PictureOrigin = origin;
    ResetView();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString file = LocalFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop completes first: the page dialog or a message must not keep the dragging program waiting.
    QTimer::singleShot(0, this, [this, file] { platform::Guarded([&] { ImportPicture(file); }); });
}
