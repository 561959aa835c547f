#include "WorkSnapshot.h"

#include "ImageDocument.h"
#include "Unit1.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

TPictureHashCache& PictureHashes()
{
    static TPictureHashCache hashes;
    return hashes;
}

TWorkSnapshot TakeWorkSnapshot(const QString& title)
{
    TWorkSnapshot s;
    s.Work.Points = ContourPoints;
    s.Work.View = {View.ViewOriginX, View.ViewOriginY, View.ZoomLevel, View.ZoomFactor, View.RotationAngle, View.PointRadius};
    s.Work.Title = title.toStdString();
    s.Work.ProfileSaved = ProfileSaved;
    if (SourceImage && !SourceImage->isNull()) {
        s.Picture = *SourceImage;
        s.PictureKey = SourceImage->cacheKey();
        s.Work.Mirrors = MirrorsSinceLoading();
        TWorkPicture picture;
        picture.Page = PictureOrigin.Page;
        picture.Dpi = PictureOrigin.Dpi;
        picture.FromClipboard = PictureOrigin.FromClipboard || PictureOrigin.Path.empty();
        if (!picture.FromClipboard) {
            s.PictureFile = QString::fromStdString(PictureOrigin.Path);
            picture.AbsolutePath = PictureOrigin.Path;
        }
        s.Work.Picture = picture;
    }
    return s;
}

bool SameSnapshot(const TWorkSnapshot& a, const TWorkSnapshot& b)
{
    return a.PictureKey == b.PictureKey && a.PictureFile == b.PictureFile && SameWork(a.Work, b.Work);
}

TWork CompleteWork(const TWorkSnapshot& snapshot, const QString& workFile, bool embed, TPictureHashCache& hashes)
{
    TWork work = snapshot.Work;
    if (!work.Picture)
        return work;
    TWorkPicture& picture = *work.Picture;
    if (snapshot.Picture.isNull()) {
        // A work opened without its picture keeps the record of the picture it names.
        picture.Path = RelativePicturePath(workFile, QString::fromStdString(picture.AbsolutePath));
        return work;
    }
    if (!snapshot.PictureFile.isEmpty()) {
        std::optional<std::string> hash;
        if (!snapshot.KnownSha256.empty())
            hash = snapshot.KnownSha256;
        else
            hash = hashes.Hash(snapshot.PictureFile);
        if (hash) {
            picture.Sha256 = *hash;
            picture.Path = RelativePicturePath(workFile, snapshot.PictureFile);
        } else {
            // The file is gone or unreadable: the work keeps the picture itself instead.
            picture.AbsolutePath.clear();
            embed = true;
        }
    }
    if (embed || picture.AbsolutePath.empty())
        picture.EmbeddedPng = EncodeEmbeddedPicture(snapshot.Picture);
    return work;
}

std::string EncodeEmbeddedPicture(const QImage& picture)
{
    const bool grey = picture.format() == QImage::Format_Indexed8 && picture.isGrayscale();
    const QImage canonical = grey ? picture : picture.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(canonical);
    return bytes.toStdString();
}

QImage DecodeEmbeddedPicture(const std::string& png)
{
    QByteArray bytes = QByteArray::fromStdString(png);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid())
        throw TWorkError("Das eingebettete Bild der Arbeitsdatei ist beschädigt.");
    // The size is decided from the header, before any pixel is decoded.
    CheckPictureSize(size.width(), size.height(), 4);
    QImageReader::setAllocationLimit(static_cast<int>(MaxPictureBytes() >> 20) + 1);
    QImage image = reader.read();
    if (image.isNull())
        throw TWorkError("Das eingebettete Bild der Arbeitsdatei ist beschädigt.");
    if (image.format() == QImage::Format_Indexed8 && image.isGrayscale())
        return image;
    return image.convertToFormat(QImage::Format_BGR888);
}
