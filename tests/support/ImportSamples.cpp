#include "ImportSamples.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QtEndian>

#include <tiffio.h>

namespace import_samples {
namespace {

std::uint32_t Crc32(const QByteArray& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char b : bytes) {
        crc ^= static_cast<std::uint8_t>(b);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray Be32(std::uint32_t v)
{
    QByteArray out(4, '\0');
    qToBigEndian(v, out.data());
    return out;
}

void Chunk(QByteArray& png, const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type) + data;
    png += Be32(static_cast<std::uint32_t>(data.size())) + body + Be32(Crc32(body));
}

} // namespace

QByteArray MakePng(int width, int height, int colourType, int bitDepth, const QByteArray& rows,
                   const QByteArray& palette, const QByteArray& alpha)
{
    QByteArray png("\x89PNG\r\n\x1a\n");
    QByteArray header = Be32(width) + Be32(height);
    header += char(bitDepth);
    header += char(colourType);
    header += QByteArray(3, '\0');
    Chunk(png, "IHDR", header);
    if (!palette.isEmpty())
        Chunk(png, "PLTE", palette);
    if (!alpha.isEmpty())
        Chunk(png, "tRNS", alpha);
    const int rowBytes = rows.size() / height;
    QByteArray filtered;
    for (int y = 0; y < height; ++y)
        filtered += '\0' + rows.mid(y * rowBytes, rowBytes);
    Chunk(png, "IDAT", qCompress(filtered).mid(4)); // qCompress puts the length before the zlib stream
    Chunk(png, "IEND", {});
    return png;
}

QByteArray MakeTiff(const std::vector<TiffPage>& pages)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    TIFF* tiff = TIFFOpen(file.fileName().toLocal8Bit().constData(), "w");
    if (!tiff)
        return {};
    for (const TiffPage& page : pages) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.photometric);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, page.compression);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 64);
        if (pages.size() > 1)
            TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        const int rowBytes = page.rows.size() / page.height;
        for (int y = 0; y < page.height; ++y) {
            QByteArray row = page.rows.mid(y * rowBytes, rowBytes);
            TIFFWriteScanline(tiff, row.data(), y, 0);
        }
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    file.seek(0);
    return file.readAll();
}

QByteArray MakePdf(int pages)
{
    QByteArray pdf("%PDF-1.4\n");
    std::vector<qsizetype> offsets;
    const auto object = [&](const QByteArray& body) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    // Objects: 1 catalog, 2 page tree, then a page and its content for each page.
    object("<< /Type /Catalog /Pages 2 0 R >>");
    QByteArray kids;
    for (int n = 1; n <= pages; ++n)
        kids += QByteArray::number(1 + 2 * n) + " 0 R ";
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    for (int n = 1; n <= pages; ++n) {
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents " + QByteArray::number(2 + 2 * n) +
               " 0 R >>");
        const QByteArray content = "0 0 0 rg " + QByteArray::number(72 * n) + " 698 72 72 re f";
        object("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream");
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray MakeWebP(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    writer.setQuality(100); // lossless
    writer.write(image);
    return buffer.data();
}

} // namespace import_samples
