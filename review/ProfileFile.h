#pragma once

#include <QString>

#include <stdexcept>
#include <string>

/// The chosen file cannot be created (or put in place): "Datei <name> kann nicht erstellt werden".
class EFCreateError final : public std::runtime_error {
public:
    explicit EFCreateError(const QString& fileName);
};

/// The chosen name is a pipe, a device or a socket: "Datei <name> ist keine reguläre Datei".
class ENotRegularFile final : public std::runtime_error {
public:
    explicit ENotRegularFile(const QString& fileName);
};

/// Fewer bytes reached the file than the text holds: "Stream-Schreibfehler".
class EWriteError final : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream-Schreibfehler") {}
};

/// Writes `bytes` as the whole content of the file at `path`. A regular file is replaced
/// atomically, so a failed save leaves an existing file as it was. Where the folder refuses the
/// new file but the existing file is writable, the file is written in place: the new length is
/// reserved before the first byte changes (a full disk or a size limit then fails with the old
/// content intact), and if a write fails after that the old content, kept in memory, is written
/// back. Anything that is not a regular file is refused at once, never opened: opening a pipe
/// would wait for a reader. Raises EFCreateError, ENotRegularFile or EWriteError.
void WriteProfileFile(const QString& path, const std::string& bytes);
