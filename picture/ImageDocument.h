#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <stdexcept>

/// A picture that cannot be read, carrying the message the user is shown.
class TImageError : public std::runtime_error {
public:
    explicit TImageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

/// The largest decoded picture, in bytes, that a load accepts: a quarter of the physical memory,
/// at most 1 GiB. A 10000 x 7000 scan at 32 bits needs 280 MB.
std::int64_t MaxPictureBytes();

/// Lowers MaxPictureBytes for the rest of the process, for fuzz harnesses whose memory limit lies
/// below the program's; 0 gives the program's own limit back.
void LimitPictureBytes(std::int64_t bytes);

/// Opens a regular file for reading without ever waiting on it (a pipe named *.bmp would block),
/// or throws TImageError "Datei %s kann nicht geöffnet werden" (also for a directory or a device).
void OpenPictureFile(const QString& fileName, QFile& file);

/// The front the picture readers share: `decode` run on a file opened by OpenPictureFile, where a
/// failing disk is reported as the file's fault, not the picture's; or on the bytes in memory.
QImage DecodePictureFile(const QString& fileName, QImage (*decode)(QIODevice&));
QImage DecodePictureBytes(const QByteArray& bytes, QImage (*decode)(QIODevice&));

/// A new uninitialised picture whose pixel memory is mapped for the picture alone and backed by
/// huge pages where the system offers them: a large scan then costs a few dozen page faults
/// instead of tens of thousands. A null image when the memory is not available.
QImage AllocatePicture(int width, int height, QImage::Format format);

/// Throws "Das Bild ist zu groß (%1 x %2 Bildpunkte)" when |width| x |height| x |bytesPerPixel|
/// exceeds MaxPictureBytes; exact for every value, a product beyond 64 bits included.
void CheckPictureSize(std::int64_t width, std::int64_t height, int bytesPerPixel);

/// Reads a Windows bitmap file. The picture keeps the file's format: 1-bit as Format_Mono, 4- and
/// 8-bit with their palette as Format_Indexed8, 24-bit as Format_BGR888, 16- and 32-bit as Qt's
/// 32-bit formats. Throws "Bitmap ist ungültig" for anything that is not a complete bitmap.
/// The header's claims are checked against the limit and the file's size before any pixel is read,
/// and no more of the file is read than its picture can need: memory is the picture's own.
QImage LoadBitmapFile(const QString& fileName);
/// The same from an open random-access device (a file or a buffer) positioned at the start.
QImage DecodeBitmap(QIODevice& device);
QImage DecodeBitmap(const QByteArray& bytes);

/// Converts the picture to 24 bits per pixel, rows blue, green, red (a no-op when it is already).
void ConvertTo24Bit(QImage& bitmap);

/// Mirror the picture in place, left-right and top-bottom; both convert it to 24 bits first.
/// Only the pixel bytes of each row are touched, not its alignment bytes.
void MirrorHorizontal(QImage& bitmap);
void MirrorVertical(QImage& bitmap);
