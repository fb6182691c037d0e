#pragma once

#include <QObject>
#include <QString>

// Announces every change Preferences::setValue and Preferences::remove make,
// synchronously, with the key's name.
class PreferenceChanges : public QObject {
    Q_OBJECT
public:
    static PreferenceChanges& shared();

Q_SIGNALS:
    void changed(const QString& key);
};
