#pragma once

#include <QByteArray>
#include <QImage>
#include <QIODevice>
#include <QString>

/// More scans than any scanner or camera writes (libjpeg's own progressions have at most 42, the
/// usual colour one 10). Each scan of a progressive file passes over the whole picture, so a few
/// bytes a scan could otherwise keep the program busy for minutes.
constexpr int MaxJpegScans = 100;
/// How often the scans may pass over each coefficient of the picture, counted as blocks times
/// coefficients of each scan. A progression visits each coefficient once for its first bits and
/// once per refinement bit: libjpeg's writes 3 passes, none goes beyond 5 in practice.
constexpr int MaxJpegCoefficientPasses = 8;

/// Decodes a JPEG file through libjpeg with the program's fixed settings: floating-point inverse
/// DCT, block smoothing on, full scale. A greyscale file becomes Format_Indexed8 quantised to at most
/// 236 grey colours, every other file Format_BGR888. A file libjpeg rejects throws TImageError
/// "JPEG-Fehler #%d" with libjpeg's message code; libjpeg never ends the process. A file beyond
/// MaxJpegScans or MaxJpegCoefficientPasses throws "Das JPEG-Bild hat zu viele Durchläufe". The file
/// is read in blocks as libjpeg asks for them, and nothing after the picture's last row is read.
QImage LoadJpegFile(const QString& fileName);
/// The same from an open device (a file or a buffer) positioned at the start.
QImage DecodeJpeg(QIODevice& device);
QImage DecodeJpeg(const QByteArray& bytes);
