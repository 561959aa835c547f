// The work file of the main window: "Arbeit öffnen …", "Arbeit speichern …" and Ctrl+S.
#include "Unit1.h"

#include "ErrorHandler.h"
#include "ImageDocument.h"
#include "PictureImport.h"
#include "WorkFile.h"
#include "WorkPaths.h"
#include "WorkSnapshot.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QSaveFile>

#include <stdexcept>

namespace {

const QString WorkFilter = QStringLiteral("Zovori-Arbeit *.zovori|*.zovori");
const QString LocateFilter =
    QStringLiteral("Bilder|*.bmp;*.jpg;*.jpeg;*.jpe;*.png;*.tif;*.tiff;*.webp;*.pdf|Alle Dateien *.*|*");

/// Mirrors of the picture on screen, valid while the picture's key is the one after the last mirror.
std::vector<TMirror> Mirrors;
qint64 MirroredPictureKey = 0;

/// The last work file opened or saved: Ctrl+S writes there again, with the same choice of embedding.
QString LastWorkFile;
bool EmbedPicture = false;

/// The picture of a work opened without it: saving again keeps its record.
std::optional<TWorkPicture> AbsentPicture;
std::vector<TMirror> AbsentMirrors;

/// The hash of the file the picture on screen was read from by an open, and the picture's key then:
/// a later save records it even when the file has changed or gone since.
qint64 KnownPictureKey = 0;
std::string KnownPictureSha256;

/// The work as last saved or opened, against which the contour counts as unsaved.
TWorkSnapshot SavedWork;

[[noreturn]] void CannotOpen(const QString& fileName, const QString& reason)
{
    throw std::runtime_error(
        QStringLiteral("Die Arbeit %1 kann nicht geöffnet werden: %2").arg(fileName, reason).toStdString());
}

/// Reads the picture from the bytes already hashed, as the import reads it (BMP and JPEG as "Bild laden").
QImage DecodePicture(const QString& fileName, const QByteArray& bytes, const TWorkPicture& recorded)
{
    try {
        return ImportPictureData(bytes, recorded.Page, recorded.Dpi);
    } catch (const TImageError& e) {
        throw TImageError(QStringLiteral("Das Bild %1 kann nicht gelesen werden: %2").arg(fileName, QString::fromStdString(e.what())));
    }
}

void ApplyMirrors(QImage& picture, const std::vector<TMirror>& mirrors)
{
    for (const TMirror m : mirrors) {
        if (m == TMirror::Horizontal)
            MirrorHorizontal(picture);
        else
            MirrorVertical(picture);
    }
}

} // namespace

void RecordMirror(TMirror mirror, qint64 before)
{
    if (!SourceImage)
        return;
    if (before != MirroredPictureKey)
        Mirrors.clear();
    Mirrors.push_back(mirror);
    MirroredPictureKey = SourceImage->cacheKey();
}

std::vector<TMirror> MirrorsSinceLoading()
{
    // Every load, import or paste puts a new picture in place, whose key differs.
    if (!SourceImage || SourceImage->cacheKey() != MirroredPictureKey)
        return {};
    return Mirrors;
}

bool WorkUnsaved(const TWorkSnapshot& now)
{
    if (now.Work.Points.empty())
        return false;
    // The view and the .dat flag do not make work unsaved; the contour, the picture and the title do.
    TWorkSnapshot compared = now;
    compared.Work.View = SavedWork.Work.View;
    compared.Work.ProfileSaved = SavedWork.Work.ProfileSaved;
    return !SameSnapshot(compared, SavedWork);
}

void ResetWorkState()
{
    SavedWork = TWorkSnapshot{};
    KnownPictureKey = 0;
    KnownPictureSha256.clear();
    Mirrors.clear();
    MirroredPictureKey = 0;
    LastWorkFile.clear();
    EmbedPicture = false;
    AbsentPicture.reset();
    AbsentMirrors.clear();
}

TWorkSnapshot TForm1::WorkSnapshotNow() const
{
    TWorkSnapshot snapshot = TakeWorkSnapshot(ReviewTitle ? ReviewTitle->text() : QStringLiteral("Test-Zovori"));
    if (!snapshot.Picture.isNull() && snapshot.PictureKey == KnownPictureKey)
        snapshot.KnownSha256 = KnownPictureSha256;
    if (!snapshot.Work.Picture && AbsentPicture) {
        snapshot.Work.Picture = AbsentPicture;
        snapshot.Work.Mirrors = AbsentMirrors;
    }
    return snapshot;
}

void TForm1::CreateWorkItems()
{
    N4 = Laden1->addSeparator();
    Arbeitffnen1 = Laden1->addAction(QStringLiteral("Arbeit öffnen …"));
    Arbeitspeichern1 = Laden1->addAction(QStringLiteral("Arbeit speichern …"));
    // One shortcut, the item's, for the whole program: a second one for the window made the key
    // ambiguous, and a window's shortcut is dead while a menu is open. The key saves to the last
    // file again (see eventFilter); a click on the item always asks.
    Arbeitspeichern1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Arbeitspeichern1->setShortcutContext(Qt::ApplicationShortcut);
    Arbeitspeichern1->installEventFilter(this);
    connect(Arbeitffnen1, &QAction::triggered, this, [this] { platform::Guarded([&] { Arbeitffnen1Click(); }); });
    connect(Arbeitspeichern1, &QAction::triggered, this, [this] { platform::Guarded([&] { Arbeitspeichern1Click(); }); });
}

void TForm1::Arbeitffnen1Click()
{
    platform::FileDialogRequest request;
    request.initialDirectory =
        LastWorkFile.isEmpty() ? platform::Current().ProgramDirectory() : QFileInfo(LastWorkFile).absolutePath();
    request.filter = WorkFilter;
    const std::optional<QString> chosen = platform::Current().OpenFile(this, request);
    if (chosen)
        OpenWork(*chosen, false);
}

void TForm1::Arbeitspeichern1Click()
{
    platform::FileDialogRequest request;
    request.initialDirectory =
        LastWorkFile.isEmpty() ? platform::Current().ProgramDirectory() : QFileInfo(LastWorkFile).absolutePath();
    request.filter = WorkFilter;
    request.defaultExtension = QStringLiteral("zovori");
    request.overwritePrompt = true;
    request.checkBox = QStringLiteral("Bild in die Arbeit einbetten");
    request.checkBoxChecked = EmbedPicture;
    bool embed = EmbedPicture;
    const std::optional<QString> chosen = platform::Current().SaveFileWithOption(this, request, embed);
    if (chosen)
        SaveWorkTo(*chosen, embed);
}

void TForm1::SaveWorkAgain()
{
    if (LastWorkFile.isEmpty())
        Arbeitspeichern1Click();
    else
        SaveWorkTo(LastWorkFile, EmbedPicture);
}

void TForm1::SaveWorkTo(const QString& fileName, bool embed)
{
    const TWork work = CompleteWork(WorkSnapshotNow(), fileName, embed, PictureHashes());
    const std::string bytes = WriteWork(work);
    const auto refuse = [&](const QString& why) {
        return std::runtime_error(QStringLiteral("Die Arbeit %1 kann nicht gespeichert werden: %2").arg(fileName, why).toStdString());
    };
    // A pipe or a device would be replaced by the renamed file: refused, as the profile's save does.
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile())
        throw refuse(QStringLiteral("keine reguläre Datei"));
    QSaveFile file(fileName);
    // Unbuffered: through Qt's buffer a short write (a full disk) would be lost in commit(), which
    // would then report success for a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit())
        throw refuse(file.errorString());
    LastWorkFile = QFileInfo(fileName).absoluteFilePath();
    EmbedPicture = embed;
    SavedWork = WorkSnapshotNow();
}

bool TForm1::OpenWork(const QString& fileName, bool recovered)
{
    const std::optional<QByteArray> bytes = ReadRegularFile(fileName, qint64(MaxWorkFileBytes));
    if (!bytes)
        CannotOpen(fileName, QStringLiteral("Die Datei kann nicht gelesen werden oder ist zu groß."));
    TWork work;
    try {
        work = ReadWork(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    } catch (const TWorkError& e) {
        CannotOpen(fileName, QString::fromStdString(e.what()));
    }

    // The picture first: nothing of the window changes until everything has been read.
    QImage picture;
    TPictureOrigin origin;
    std::string sha256;
    bool withoutPicture = false;
    if (work.Picture) {
        const TWorkPicture& recorded = *work.Picture;
        origin.Page = recorded.Page;
        origin.Dpi = recorded.Dpi;
        if (!recorded.EmbeddedPng.empty()) {
            try {
                picture = DecodeEmbeddedPicture(recorded.EmbeddedPng);
            } catch (const std::exception& e) {
                CannotOpen(fileName, QString::fromStdString(e.what()));
            }
            origin.Path = recorded.AbsolutePath;
            origin.FromClipboard = recorded.FromClipboard;
            sha256 = recorded.Sha256;
        } else {
            for (const QString& candidate : PictureCandidates(fileName, recorded)) {
                const std::optional<QByteArray> file = ReadRegularFile(candidate, qint64(MaxWorkFileBytes) * 4);
                if (file && Sha256Hex(*file) == recorded.Sha256) {
                    picture = DecodePicture(candidate, *file, recorded);
                    ApplyMirrors(picture, work.Mirrors);
                    sha256 = recorded.Sha256;
                    origin.Path = QFileInfo(candidate).absoluteFilePath().toStdString();
                    break;
                }
            }
            if (picture.isNull()) {
                const QString name = QString::fromStdString(recorded.AbsolutePath);
                if (platform::Current().Confirm(this, QStringLiteral("Das Bild %1 fehlt oder wurde verändert. Bild suchen? "
                                                                     "(Nein: Arbeit ohne Bild öffnen)")
                                                          .arg(name))) {
                    platform::FileDialogRequest request;
                    request.initialDirectory = QFileInfo(fileName).absolutePath();
                    request.filter = LocateFilter;
                    const std::optional<QString> located = platform::Current().OpenFile(this, request);
                    if (!located)
                        return false;
                    const std::optional<QByteArray> file = ReadRegularFile(*located, qint64(MaxWorkFileBytes) * 4);
                    if (!file)
                        throw TImageError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(*located));
                    picture = DecodePicture(*located, *file, recorded);
                    ApplyMirrors(picture, work.Mirrors);
                    sha256 = Sha256Hex(*file);
                    origin.Path = QFileInfo(*located).absoluteFilePath().toStdString();
                } else {
                    withoutPicture = true;
                }
            }
        }
    }

    *SourceImage = picture;
    PictureOrigin = picture.isNull() ? TPictureOrigin{} : origin;
    Mirrors = work.Mirrors;
    MirroredPictureKey = picture.isNull() ? 0 : SourceImage->cacheKey();
    KnownPictureKey = MirroredPictureKey;
    KnownPictureSha256 = sha256;
    AbsentPicture.reset();
    AbsentMirrors.clear();
    if (withoutPicture) {
        AbsentPicture = work.Picture;
        AbsentMirrors = work.Mirrors;
    }
    ContourPoints = work.Points;
    ContourHistory.Reset();
    EditMode = Idle;
    SavedEditMode = Idle;
    Hit.HotPointIndex = -1;
    Hit.HotSegmentIndex = -1;
    View.ViewOriginX = work.View.OriginX;
    View.ViewOriginY = work.View.OriginY;
    View.ZoomLevel = work.View.ZoomLevel;
    View.ZoomFactor = work.View.ZoomFactor;
    View.PreviousZoomFactor = work.View.ZoomFactor;
    View.RotationAngle = work.View.RotationAngle;
    View.PointRadius = work.View.PointRadius;
    View.WheelTicks = 0;
    if (ReviewTitle)
        ReviewTitle->setText(QString::fromStdString(work.Title));
    ProfileSaved = recovered ? false : work.ProfileSaved;
    ProfileDirty = true;
    if (recovered) {
        LastWorkFile.clear();
    } else {
        LastWorkFile = QFileInfo(fileName).absoluteFilePath();
        EmbedPicture = work.Picture && !work.Picture->EmbeddedPng.empty() && !work.Picture->FromClipboard;
    }
    SavedWork = recovered ? TWorkSnapshot{} : WorkSnapshotNow();
    RenderView();
    Client->repaint();
    return true;
}
