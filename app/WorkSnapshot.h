#pragma once

#include "WorkFile.h"
#include "WorkPaths.h"

#include <QByteArray>
#include <QImage>
#include <QString>

/// The work as it stands, taken on the GUI thread in a few copies: the points, the view, the title
/// and a shared (copy-on-write) reference to the picture. Hashing and encoding come later, anywhere.
struct TWorkSnapshot {
    TWork Work;              ///< without relative path, hash or embedded picture yet
    QImage Picture;          ///< the picture on screen; null when there is none
    QString PictureFile;     ///< the file it was read from; empty for a pasted picture
    qint64 PictureKey = 0;   ///< changes whenever the picture does
    std::string KnownSha256; ///< the hash of the bytes the picture was read from, where known
};

/// Hashes of picture files, shared by saving and the recovery writer.
TPictureHashCache& PictureHashes();

/// Takes the snapshot from the main window's module state and the review window's title.
TWorkSnapshot TakeWorkSnapshot(const QString& title);

/// Whether two snapshots hold the same work, the picture compared by identity.
bool SameSnapshot(const TWorkSnapshot& a, const TWorkSnapshot& b);

/// The work ready to write next to `workFile`: the picture's path relative to it and its hash;
/// the picture embedded when asked for, when it was pasted, or when its file can no longer be read.
TWork CompleteWork(const TWorkSnapshot& snapshot, const QString& workFile, bool embed, TPictureHashCache& hashes);

/// Lossless PNG of a picture, the same bytes for the same pixels whatever 24-bit layout holds them.
std::string EncodeEmbeddedPicture(const QImage& picture);
/// The embedded picture back as "Bild laden" would give it (24-bit, or 8-bit grey with a palette);
/// throws TWorkError when it is damaged or beyond the picture size limit.
QImage DecodeEmbeddedPicture(const std::string& png);
