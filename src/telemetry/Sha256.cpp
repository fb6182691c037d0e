#include "Sha256.h"

#include <QCryptographicHash>

namespace telemetrydeck {

QString Sha256::hex(const QString& text, const QString& salt)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(text.toUtf8());
    hash.addData(salt.toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace telemetrydeck
