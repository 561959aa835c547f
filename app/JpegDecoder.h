#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

/// Decodes a JPEG file through libjpeg with the program's fixed settings: floating-point inverse
/// DCT, block smoothing on, full scale. A greyscale file becomes Format_Indexed8 quantised to at most
/// 236 grey colours, every other file Format_BGR888. A file libjpeg rejects throws TImageError
/// "JPEG-Fehler #%d" with libjpeg's message code; libjpeg never ends the process.
QImage LoadJpegFile(const QString& fileName);
QImage DecodeJpeg(const QByteArray& bytes);
