#include "WorkPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string RelativePicturePath(const QString& workFile, const QString& picture)
{
    const QDir folder = QFileInfo(workFile).absoluteDir();
    return QDir::fromNativeSeparators(folder.relativeFilePath(QFileInfo(picture).absoluteFilePath())).toStdString();
}

QStringList PictureCandidates(const QString& workFile, const TWorkPicture& picture)
{
    QStringList candidates;
    if (!picture.Path.empty())
        candidates << QDir::cleanPath(QFileInfo(workFile).absoluteDir().filePath(QString::fromStdString(picture.Path)));
    const QString absolute = QDir::cleanPath(QString::fromStdString(picture.AbsolutePath));
    if (!picture.AbsolutePath.empty() && QDir::isAbsolutePath(absolute) && !candidates.contains(absolute))
        candidates << absolute;
    return candidates;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes)
{
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; fstat then refuses it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.read(std::min<qint64>(st.st_size, maxBytes) + 1);
    if (bytes.size() > maxBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::string Sha256Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::optional<std::string> TPictureHashCache::Hash(const QString& path)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    const qint64 time = info.lastModified().toMSecsSinceEpoch();
    {
        std::lock_guard lock(mutex_);
        const auto it = known_.find(path);
        if (it != known_.end() && std::get<0>(it->second) == size && std::get<1>(it->second) == time)
            return std::get<2>(it->second);
    }
    const std::optional<QByteArray> bytes = ReadRegularFile(path, qint64(MaxWorkFileBytes) * 4);
    if (!bytes)
        return std::nullopt;
    std::string hash = Sha256Hex(*bytes);
    std::lock_guard lock(mutex_);
    known_[path] = {size, time, hash};
    return hash;
}
