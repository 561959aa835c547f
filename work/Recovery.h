#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

/// The folder of the recovery copies: $XDG_STATE_HOME/zovori, else ~/.local/state/zovori.
QString RecoveryFolder();

/// The recovery copies in one folder. Each running program owns "recovery-<pid>.zovori" and holds
/// the lock "recovery-<pid>.lock" for as long as it runs; a copy whose lock nobody holds was left
/// by a program that crashed or was killed.
class TRecoveryStore {
public:
    /// Takes this program's lock; the folder is made when it does not exist.
    explicit TRecoveryStore(const QString& folder);
    ~TRecoveryStore();
    TRecoveryStore(const TRecoveryStore&) = delete;
    TRecoveryStore& operator=(const TRecoveryStore&) = delete;

    QString OwnCopy() const { return own_; }
    /// Copies left by programs that no longer run, the newest first.
    QStringList Orphans() const;
    /// Writes this program's copy atomically: it is either the old one or the new one, never half.
    bool Write(const std::string& bytes);
    /// Removes this program's copy, if any.
    void Remove();
    /// Removes a copy left by another program, with its lock.
    static void Discard(const QString& orphan);

private:
    QString folder_;
    QString own_;
    std::unique_ptr<QLockFile> lock_;
};

/// Writes the recovery copy on a thread of its own, so that the GUI thread only takes a snapshot.
/// Only the latest request counts: a write or removal not yet started is replaced by the next one.
class TRecoveryWriter {
public:
    explicit TRecoveryWriter(TRecoveryStore& store);
    /// Finishes the request under way, drops one not started, and ends the thread.
    ~TRecoveryWriter();
    TRecoveryWriter(const TRecoveryWriter&) = delete;
    TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;

    /// `bytes` runs on the writer's thread and gives the copy's content.
    void PostWrite(std::function<std::string()> bytes);
    void PostRemove();
    /// Waits until every request posted so far is done.
    void Flush();

private:
    void Run();

    TRecoveryStore& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::function<std::string()> pending_;
    bool removePending_ = false;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};
