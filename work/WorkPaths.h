#pragma once

#include "WorkFile.h"

#include <QString>
#include <QStringList>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

/// The picture's path as a work file records it: relative to the work file's folder, '/' between
/// names (".." where it lies elsewhere).
std::string RelativePicturePath(const QString& workFile, const QString& picture);

/// Where to look for the picture of a work file, in this order: its relative path from the work
/// file's folder, then its absolute path. Only these two files are ever read.
QStringList PictureCandidates(const QString& workFile, const TWorkPicture& picture);

/// Reads a whole regular file of at most `maxBytes` without ever waiting on it (a pipe, a device or
/// a folder is refused at once). No value when it cannot be read.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);

/// SHA-256 as 64 lower-case hex digits.
std::string Sha256Hex(const QByteArray& bytes);

/// SHA-256 of picture files, each computed once while its size and time stay the same; safe to
/// use from the recovery writer and the GUI thread at once.
class TPictureHashCache {
public:
    /// No value when the file cannot be read as a regular file.
    std::optional<std::string> Hash(const QString& path);

private:
    std::mutex mutex_;
    std::map<QString, std::tuple<qint64, qint64, std::string>> known_; ///< size, time, hash
};
