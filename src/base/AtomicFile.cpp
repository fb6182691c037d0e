#include "AtomicFile.h"

#include <QSaveFile>

std::optional<QString> AtomicFile::write(const QString& path, const QByteArray& contents)
{
    // Unbuffered, so that a short write (a full disk, a size limit) shows in
    // write()'s result; buffered, QSaveFile can commit a truncated file.
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        error = file.errorString();
    else if (file.write(contents) != contents.size())
        error = QStringLiteral("only part of the data could be written (%1)").arg(file.errorString());
    else if (!file.commit())
        error = file.errorString();
    if (error.isEmpty())
        return std::nullopt;
    file.cancelWriting();
    return error;
}
