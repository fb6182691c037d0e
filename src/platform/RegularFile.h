#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Careful access to a file that something else may have put in our place: a
// FIFO, a device, a directory or an oversized file is reported, never waited
// on or read whole.
namespace RegularFile {

enum class Kind {
    Missing,
    Regular,
    Other, // a FIFO, device, socket or directory (after following symbolic links)
};

Kind kindOf(const QString& path);

struct ReadResult {
    Kind kind = Kind::Missing;
    std::optional<QByteArray> contents; // absent on any failure
    QString error; // set when contents is absent
};

// Opens without blocking, accepts only a regular file and reads at most
// `limit` bytes; a file holding more fails as too large.
ReadResult read(const QString& path, qint64 limit);

// Gives the file at `path` a second name, `keptPath`, without copying its
// data (a hard link), or, where that is impossible, renames it. Neither needs
// free space. nullopt on success, else the reason.
std::optional<QString> keepAside(const QString& path, const QString& keptPath);

} // namespace RegularFile
