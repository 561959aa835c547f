#pragma once

#include <QString>

#include <stdexcept>
#include <string>

/// The chosen file cannot be created (or put in place): "Datei <name> kann nicht erstellt werden".
class EFCreateError final : public std::runtime_error {
public:
    explicit EFCreateError(const QString& fileName);
};

/// Fewer bytes reached the file than the text holds: "Stream-Schreibfehler".
class EWriteError final : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream-Schreibfehler") {}
};

/// Writes `bytes` as the whole content of the file at `path`. A regular file is replaced
/// atomically, so a failed save leaves an existing file as it was; a device or pipe is written
/// directly. Raises EFCreateError or EWriteError.
void WriteProfileFile(const QString& path, const std::string& bytes);
