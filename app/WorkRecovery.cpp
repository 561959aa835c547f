#include "WorkRecovery.h"

#include "ErrorHandler.h"
#include "Services.h"
#include "Unit1.h"

TWorkRecovery::TWorkRecovery(TForm1& form, const QString& folder, int intervalMs)
    : form_(form), store_(folder), writer_(store_)
{
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { platform::Guarded([&] { Check(); }); });
    timer_.start();
}

TWorkRecovery::~TWorkRecovery()
{
    timer_.stop();
    writer_.PostRemove();
    writer_.Flush();
}

void TWorkRecovery::Check()
{
    TWorkSnapshot now = form_.WorkSnapshotNow();
    if (!WorkUnsaved(now)) {
        if (written_) {
            writer_.PostRemove();
            written_.reset();
        }
        return;
    }
    if (written_ && SameSnapshot(*written_, now))
        return;
    written_ = now;
    writer_.PostWrite([snapshot = std::move(now), file = store_.OwnCopy()] {
        return WriteWork(CompleteWork(snapshot, file, false, PictureHashes()));
    });
}

void TWorkRecovery::OfferRestore()
{
    const QStringList orphans = store_.Orphans();
    if (orphans.isEmpty())
        return;
    if (platform::Current().Confirm(&form_, QStringLiteral("Zovori wurde zuletzt nicht ordnungsgemäß beendet. "
                                                           "Soll die ungesicherte Arbeit wiederhergestellt werden?"))) {
        bool opened = false;
        platform::Guarded([&] { opened = form_.OpenWork(orphans.front(), true); });
        if (!opened)
            return; // kept for the next start
        // Restored work is unsaved: it becomes this program's own copy at once.
        Check();
    }
    for (const QString& orphan : orphans)
        TRecoveryStore::Discard(orphan);
}
