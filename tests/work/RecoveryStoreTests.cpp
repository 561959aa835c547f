#include "Recovery.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void Touch(const QString& path, const QDateTime& time = QDateTime::currentDateTime())
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{}");
    f.flush();
    f.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

TEST(RecoveryStore, OffersOnlyCopiesWhoseProgramHasEnded)
{
    QTemporaryDir dir;
    const QString own = dir.filePath(QStringLiteral("recovery-%1.zovori").arg(::getpid()));
    Touch(own); // left by a program of an earlier boot with this process id
    // A living program's copy: its lock is held.
    Touch(dir.filePath(QStringLiteral("recovery-77.zovori")));
    QLockFile living(dir.filePath(QStringLiteral("recovery-77.lock")));
    ASSERT_TRUE(living.tryLock(0));
    Touch(dir.filePath(QStringLiteral("recovery-78.zovori")), QDateTime::currentDateTime().addSecs(-60));

    TRecoveryStore store(dir.path());
    EXPECT_EQ(store.OwnCopy(), own);
    EXPECT_FALSE(QFile::exists(own));
    const QStringList orphans = store.Orphans();
    ASSERT_EQ(orphans.size(), 2) << orphans.join(' ').toStdString();
    EXPECT_TRUE(QFileInfo(orphans[0]).fileName().startsWith(QStringLiteral("recovery-%1-").arg(::getpid())));
    EXPECT_EQ(QFileInfo(orphans[1]).fileName(), QStringLiteral("recovery-78.zovori"));

    ASSERT_TRUE(store.Write("abc"));
    TRecoveryWriter writer(store);
    writer.PostWrite([] { return std::string("def"); });
    writer.Flush();
    QFile copy(own);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("def"));
    writer.PostRemove();
    writer.Flush();
    EXPECT_FALSE(QFile::exists(own));
}
