#pragma once

#include "Recovery.h"
#include "WorkSnapshot.h"

#include <QObject>
#include <QTimer>

#include <optional>

class TForm1;

/// Keeps a recovery copy of unsaved work while the program runs and offers it back after a crash.
/// Every check takes a snapshot on the GUI thread; the copy is made and written on a thread of its own.
class TWorkRecovery final : public QObject {
public:
    /// Checks every `intervalMs` (10 s in the program): a copy is written only when the work changed.
    TWorkRecovery(TForm1& form, const QString& folder, int intervalMs = 10000);
    /// The normal end: the copy goes.
    ~TWorkRecovery() override;

    /// At start: one question when a copy of a program that did not end normally lies in the folder.
    void OfferRestore();
    /// One check, as the timer makes it.
    void Check();
    /// Waits for the copy being written (tests).
    void Flush() { writer_.Flush(); }
    const TRecoveryStore& Store() const { return store_; }

private:
    TForm1& form_;
    TRecoveryStore store_;
    TRecoveryWriter writer_;
    QTimer timer_;
    std::optional<TWorkSnapshot> written_; ///< what the copy holds; none when there is no copy
};
