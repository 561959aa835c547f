#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

EFCreateError::EFCreateError(const QString& fileName)
    : std::runtime_error(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(QDir::toNativeSeparators(fileName)).toStdString())
{
}

namespace {

void WriteDirectly(const QString& path, const std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EFCreateError(path);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        throw EWriteError();
}

} // namespace

void WriteProfileFile(const QString& path, const std::string& bytes)
{
    const QFileInfo info(path);
    // Replacing a device node by a renamed temporary file would destroy it (we may run as root).
    if (info.exists() && !info.isFile() && !info.isDir()) {
        WriteDirectly(path, bytes);
        return;
    }

    QSaveFile file(path);
    // Unbuffered: through Qt's buffer a short write (a full disk) is lost silently in commit(),
    // which then puts the truncated file in place and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EFCreateError(path);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        throw EWriteError();
    }
    if (!file.commit()) {
        // The bytes are flushed before the rename: a failed rename means the file could not be
        // put in place, anything else that its content did not arrive.
        if (file.error() == QFileDevice::RenameError)
            throw EFCreateError(path);
        throw EWriteError();
    }
}
