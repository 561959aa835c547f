#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <vector>

/// The kinds of picture an import recognises, by their first bytes and never by the file's name.
enum class TPictureKind { Bmp, Jpeg, Png, Tiff, WebP, Pdf };

/// What a file holds before any pixel is decoded: enough to ask the user for a page.
struct TPictureFileInfo {
    TPictureKind Kind = TPictureKind::Bmp;
    int PageCount = 1;
    std::vector<QSizeF> PageSizes; ///< PDF only: each page's size in points (1/72 inch)
};

/// The resolution a PDF page is rendered at unless the user chooses another.
constexpr double DefaultPdfDpi = 300.0;
/// Below this a page is a postage stamp: no outline could be digitised from it.
constexpr double MinPdfDpi = 10.0;

/// The highest resolution, in whole dpi, at which a page of that size in points renders within the
/// picture size limit; at least MinPdfDpi.
double MaxPdfDpi(QSizeF pagePoints);

/// Reads what the file is and how many pages it has. Throws TImageError with
/// "Das Bild %1 kann nicht importiert werden: %2", the reason after the colon.
TPictureFileInfo InspectPictureFile(const QString& path);

/// Reads a picture file of any recognised kind as the picture the program works on. BMP and JPEG
/// go through the same decoders as "Bild laden" and give the same picture; every other kind gives
/// Format_BGR888, or Format_Indexed8 with a grey palette when every pixel is grey, transparency laid
/// on white and 16-bit channels rounded to 8 bits. `page` is 1-based, 0 the first or only page;
/// `dpi` is the resolution of a PDF page (0 for DefaultPdfDpi) and ignored for pixel formats. The
/// size limit is checked from the header before any pixel is decoded. Throws TImageError with the
/// message of InspectPictureFile.
QImage ImportPictureFile(const QString& path, int page, double dpi);

/// The same from bytes in memory (a pasted file, a fuzz input); its TImageError carries the reason alone.
TPictureFileInfo InspectPictureData(const QByteArray& bytes);
QImage ImportPictureData(const QByteArray& bytes, int page, double dpi);

/// Converts a decoded picture to the program's own formats as described at ImportPictureFile.
/// Throws the size limit's TImageError for a picture beyond it.
QImage ToProgramPicture(const QImage& decoded);
