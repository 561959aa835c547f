#include "Recovery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <unistd.h>

namespace {

QString LockOf(const QString& copy)
{
    QString lock = copy;
    lock.chop(QStringLiteral(".zovori").size());
    return lock + QStringLiteral(".lock");
}

} // namespace

QString RecoveryFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // Only an absolute path counts, as the base directory rules say.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/zovori");
}

TRecoveryStore::TRecoveryStore(const QString& folder) : folder_(folder)
{
    QDir().mkpath(folder_);
    own_ = QStringLiteral("%1/recovery-%2.zovori").arg(folder_).arg(::getpid());
    // A copy under this very name was left by a program of an earlier boot that had the same process
    // id: it keeps a name of its own, without a lock, and is offered like any other.
    if (QFile::exists(own_))
        QFile::rename(own_, QStringLiteral("%1/recovery-%2-%3.zovori")
                                .arg(folder_)
                                .arg(::getpid())
                                .arg(QDateTime::currentMSecsSinceEpoch()));
    lock_ = std::make_unique<QLockFile>(LockOf(own_));
    // Held for the whole run: it must never count as stale while this program lives.
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
}

TRecoveryStore::~TRecoveryStore() = default;

QStringList TRecoveryStore::Orphans() const
{
    QStringList orphans;
    const QFileInfoList copies = QDir(folder_).entryInfoList({QStringLiteral("recovery-*.zovori")}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies) {
        const QString path = copy.absoluteFilePath();
        if (path == QFileInfo(own_).absoluteFilePath())
            continue;
        // A lock that can be taken belongs to nobody: its program has ended without cleaning up.
        QLockFile lock(LockOf(path));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock();
            orphans << path;
        }
    }
    return orphans;
}

bool TRecoveryStore::Write(const std::string& bytes)
{
    QSaveFile file(own_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void TRecoveryStore::Remove()
{
    QFile::remove(own_);
}

void TRecoveryStore::Discard(const QString& orphan)
{
    QFile::remove(orphan);
    QFile::remove(LockOf(orphan));
}

TRecoveryWriter::TRecoveryWriter(TRecoveryStore& store) : store_(store), thread_([this] { Run(); }) {}

TRecoveryWriter::~TRecoveryWriter()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TRecoveryWriter::PostWrite(std::function<std::string()> bytes)
{
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(bytes);
        removePending_ = false;
    }
    wake_.notify_all();
}

void TRecoveryWriter::PostRemove()
{
    {
        std::lock_guard lock(mutex_);
        pending_ = nullptr;
        removePending_ = true;
    }
    wake_.notify_all();
}

void TRecoveryWriter::Flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !pending_ && !removePending_; });
}

void TRecoveryWriter::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_ || removePending_; });
        if (stop_)
            return;
        std::function<std::string()> job = std::move(pending_);
        pending_ = nullptr;
        const bool remove = removePending_;
        removePending_ = false;
        busy_ = true;
        lock.unlock();
        if (job) {
            try {
                store_.Write(job());
            } catch (...) {
                // A copy that cannot be made now is tried again at the next change; the work itself is untouched.
            }
        } else if (remove) {
            store_.Remove();
        }
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}
