#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces a file in one step: readers see the old contents or the new ones,
// never a mix, and a failed write leaves the old file as it was.
namespace AtomicFile {

// nullopt on success, else what went wrong (without the path).
std::optional<QString> write(const QString& path, const QByteArray& contents);

} // namespace AtomicFile
