#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

EFCreateError::EFCreateError(const QString& fileName)
    : std::runtime_error(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(QDir::toNativeSeparators(fileName)).toStdString())
{
}

ENotRegularFile::ENotRegularFile(const QString& fileName)
    : std::runtime_error(QStringLiteral("Datei %1 ist keine reguläre Datei").arg(QDir::toNativeSeparators(fileName)).toStdString())
{
}

namespace {

/// An old file larger than this is overwritten without a copy to put back.
constexpr off_t MaxKeptContent = off_t(64) << 20;

bool WriteAll(int fd, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& content, off_t size)
{
    content.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = pread(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

/// Owns a descriptor.
struct TDescriptor {
    int fd;
    ~TDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

void WriteInPlace(const QString& path, const std::string& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    // Read access as well where there is any, for the copy to put back.
    TDescriptor file{::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC)};
    const bool readable = file.fd >= 0;
    if (!readable)
        file.fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        throw EFCreateError(path);
    struct stat status {};
    if (fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode))
        throw ENotRegularFile(path);

    std::string old;
    const bool kept = readable && status.st_size <= MaxKeptContent && ReadAll(file.fd, old, status.st_size);
    // Reserving the length first makes a full disk or a size limit fail before anything changed.
    // Filesystems without reservation (EOPNOTSUPP) write without it.
    if (!bytes.empty()) {
        const int reserved = posix_fallocate(file.fd, 0, static_cast<off_t>(bytes.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            if (ftruncate(file.fd, status.st_size) != 0) {
                // The length stays as a failed reservation left it; the old bytes are untouched.
            }
            throw EWriteError();
        }
    }
    const bool written = WriteAll(file.fd, bytes.data(), bytes.size()) &&
                         ftruncate(file.fd, static_cast<off_t>(bytes.size())) == 0 && fsync(file.fd) == 0;
    if (!written) {
        if (kept && WriteAll(file.fd, old.data(), old.size()) && ftruncate(file.fd, status.st_size) == 0)
            fsync(file.fd);
        throw EWriteError();
    }
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0)
        throw EWriteError();
}

} // namespace

void WriteProfileFile(const QString& path, const std::string& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    const bool exists = ::stat(name.constData(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        throw EFCreateError(path);
    // Replacing a device node by a renamed file would destroy it, and opening a pipe waits for a
    // reader: neither is ever opened.
    if (exists && !S_ISREG(status.st_mode))
        throw ENotRegularFile(path);

    QSaveFile file(path);
    // Unbuffered: through Qt's buffer a short write (a full disk) is lost silently in commit(),
    // which then puts the truncated file in place and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The folder refuses the temporary file (QSaveFile itself refuses a read-only file).
        if (exists && ::access(name.constData(), W_OK) == 0) {
            WriteInPlace(path, bytes);
            return;
        }
        throw EFCreateError(path);
    }
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
