#include "PictureImport.h"

#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImageReader>

#include <poppler-qt6.h>

#include <cmath>
#include <memory>

namespace {

const QString Damaged = QStringLiteral("Die Datei ist beschädigt oder unvollständig");

/// Rendering a page that takes longer than this is given up: a hostile page can keep the renderer
/// busy for minutes, while a real scan page renders in well under a second.
constexpr qint64 PdfRenderMilliseconds = 20000;

[[noreturn]] void Fail(const QString& reason)
{
    throw TImageError(reason);
}

TPictureKind Sniff(QIODevice& device)
{
    const QByteArray head = device.peek(1024);
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return TPictureKind::Png;
    if (head.startsWith("\xFF\xD8\xFF"))
        return TPictureKind::Jpeg;
    if (head.startsWith("II*") || head.startsWith(QByteArray("MM\0*", 4)))
        return TPictureKind::Tiff;
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return TPictureKind::WebP;
    if (head.startsWith("BM"))
        return TPictureKind::Bmp;
    // Readers of PDF accept a few bytes of rubbish before the header, and so do we.
    if (head.contains("%PDF-"))
        return TPictureKind::Pdf;
    Fail(QStringLiteral("Das Format der Datei ist unbekannt"));
}

const char* QtFormat(TPictureKind kind)
{
    switch (kind) {
    case TPictureKind::Png:
        return "png";
    case TPictureKind::Tiff:
        return "tiff";
    default:
        return "webp";
    }
}

void SilencePoppler()
{
    // Poppler reports every oddity of a damaged file on the console; the user gets our message instead.
    static const bool silenced = [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        return true;
    }();
    (void)silenced;
}

std::unique_ptr<Poppler::Document> OpenPdf(QIODevice& device)
{
    SilencePoppler();
    if (device.size() > MaxPictureBytes())
        Fail(Damaged);
    const QByteArray bytes = device.readAll();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document)
        Fail(Damaged);
    if (document->isLocked())
        Fail(QStringLiteral("Das PDF-Dokument ist mit einem Kennwort geschützt"));
    if (document->numPages() < 1)
        Fail(QStringLiteral("Das PDF-Dokument hat keine Seiten"));
    return document;
}

/// Pixels of a page of that size in points at that resolution, as the renderer rounds them.
QSize PagePixels(QSizeF points, double dpi)
{
    return QSize(static_cast<int>(std::min(std::ceil(points.width() * dpi / 72.0), 2e9)),
                 static_cast<int>(std::min(std::ceil(points.height() * dpi / 72.0), 2e9)));
}

void CheckPage(int page, int count)
{
    if (page < 0 || page > count)
        Fail(QStringLiteral("Die Datei hat keine Seite %1").arg(page));
}

std::unique_ptr<QImageReader> QtReader(QIODevice& device, TPictureKind kind)
{
    auto reader = std::make_unique<QImageReader>(&device, QtFormat(kind));
    // Qt's own limit would refuse ordinary scans; ours is checked from the header instead, and
    // Qt's is set to match it, so that nothing larger is ever allocated.
    QImageReader::setAllocationLimit(static_cast<int>(MaxPictureBytes() >> 20) + 1);
    return reader;
}

int QtPageCount(QImageReader& reader, TPictureKind kind)
{
    // An animated WebP has frames, not pages: its first frame is the picture.
    if (kind != TPictureKind::Tiff)
        return 1;
    const int count = reader.imageCount();
    if (count < 1)
        Fail(Damaged);
    return count;
}

QImage ReadWithQt(QIODevice& device, TPictureKind kind, int page)
{
    std::unique_ptr<QImageReader> reader = QtReader(device, kind);
    if (page > 1) {
        CheckPage(page, QtPageCount(*reader, kind));
        if (!reader->jumpToImage(page - 1))
            Fail(Damaged);
    }
    const QSize size = reader->size();
    if (!size.isValid() || size.isEmpty())
        Fail(Damaged);
    const QImage::Format format = reader->imageFormat();
    const int decodedBytes = format == QImage::Format_Invalid ? 4 : std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    CheckPictureSize(size.width(), size.height(), std::max(decodedBytes, 3));
    QImage decoded;
    if (!reader->read(&decoded) || decoded.isNull())
        Fail(Damaged);
    return ToProgramPicture(decoded);
}

QImage RenderPdf(QIODevice& device, int page, double dpi)
{
    if (dpi == 0)
        dpi = DefaultPdfDpi;
    if (!(dpi >= MinPdfDpi) || !std::isfinite(dpi))
        Fail(QStringLiteral("Die Auflösung %1 dpi ist ungültig").arg(dpi));
    const std::unique_ptr<Poppler::Document> document = OpenPdf(device);
    CheckPage(page, document->numPages());
    const std::unique_ptr<Poppler::Page> pdfPage = document->page(std::max(page, 1) - 1);
    if (!pdfPage)
        Fail(Damaged);
    const QSize pixels = PagePixels(pdfPage->pageSizeF(), dpi);
    if (pixels.isEmpty())
        Fail(Damaged);
    // The renderer draws into 32 bits a pixel; the page is refused before anything is drawn.
    CheckPictureSize(pixels.width(), pixels.height(), 4);
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    document->setPaperColor(Qt::white);
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + PdfRenderMilliseconds;
    const QImage rendered = pdfPage->renderToImage(
        dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
        [](const QVariant& end) { return QDateTime::currentMSecsSinceEpoch() > end.toLongLong(); }, QVariant(deadline));
    if (QDateTime::currentMSecsSinceEpoch() > deadline)
        Fail(QStringLiteral("Die Seite ist zu aufwendig zum Darstellen"));
    if (rendered.isNull())
        Fail(Damaged);
    // The renderer may round a pixel more than our estimate; the limit holds for what it made.
    CheckPictureSize(rendered.width(), rendered.height(), 4);
    return ToProgramPicture(rendered);
}

TPictureFileInfo Inspect(QIODevice& device)
{
    TPictureFileInfo info;
    info.Kind = Sniff(device);
    if (info.Kind == TPictureKind::Pdf) {
        const std::unique_ptr<Poppler::Document> document = OpenPdf(device);
        info.PageCount = document->numPages();
        for (int i = 0; i < info.PageCount; ++i) {
            const std::unique_ptr<Poppler::Page> page = document->page(i);
            info.PageSizes.push_back(page ? page->pageSizeF() : QSizeF());
        }
    } else if (info.Kind == TPictureKind::Tiff) {
        std::unique_ptr<QImageReader> reader = QtReader(device, info.Kind);
        info.PageCount = QtPageCount(*reader, info.Kind);
    }
    return info;
}

QImage Import(QIODevice& device, int page, double dpi)
{
    if (page < 0)
        CheckPage(page, 1);
    switch (Sniff(device)) {
    case TPictureKind::Bmp:
        CheckPage(page, 1);
        return DecodeBitmap(device);
    case TPictureKind::Jpeg:
        CheckPage(page, 1);
        return DecodeJpeg(device);
    case TPictureKind::Pdf:
        return RenderPdf(device, page, dpi);
    case TPictureKind::Tiff:
        return ReadWithQt(device, TPictureKind::Tiff, page);
    case TPictureKind::Png:
    case TPictureKind::WebP:
        CheckPage(page, 1);
        return ReadWithQt(device, Sniff(device), page);
    }
    Fail(Damaged);
}

/// Runs a read of the file with its reasons turned into the message that names the file.
template <typename Read>
auto WithFile(const QString& path, Read read)
{
    const auto fail = [&](const QString& reason) {
        return TImageError(QStringLiteral("Das Bild %1 kann nicht importiert werden: %2").arg(path, reason));
    };
    QFile file;
    try {
        OpenPictureFile(path, file);
    } catch (const TImageError&) {
        throw fail(QStringLiteral("Die Datei kann nicht geöffnet werden"));
    }
    try {
        return read(file);
    } catch (const TImageError& error) {
        if (file.error() != QFileDevice::NoError)
            throw fail(QStringLiteral("Die Datei kann nicht gelesen werden"));
        throw fail(QString::fromStdString(error.what()));
    }
}

QBuffer* OpenBuffer(QBuffer& buffer, const QByteArray& bytes)
{
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return &buffer;
}

} // namespace

double MaxPdfDpi(QSizeF pagePoints)
{
    const double area = pagePoints.width() * pagePoints.height();
    if (!(area > 0) || !std::isfinite(area))
        return MinPdfDpi;
    double dpi = std::floor(72.0 * std::sqrt(double(MaxPictureBytes()) / 4.0 / area));
    const auto fits = [&](double d) {
        const QSize pixels = PagePixels(pagePoints, d);
        return std::int64_t(pixels.width()) * pixels.height() * 4 <= MaxPictureBytes();
    };
    while (dpi > MinPdfDpi && !fits(dpi))
        dpi -= 1;
    return std::max(dpi, MinPdfDpi);
}

TPictureFileInfo InspectPictureFile(const QString& path)
{
    return WithFile(path, [](QIODevice& file) { return Inspect(file); });
}

QImage ImportPictureFile(const QString& path, int page, double dpi)
{
    return WithFile(path, [&](QIODevice& file) { return Import(file, page, dpi); });
}

TPictureFileInfo InspectPictureData(const QByteArray& bytes)
{
    QBuffer buffer;
    return Inspect(*OpenBuffer(buffer, bytes));
}

QImage ImportPictureData(const QByteArray& bytes, int page, double dpi)
{
    QBuffer buffer;
    return Import(*OpenBuffer(buffer, bytes), page, dpi);
}
