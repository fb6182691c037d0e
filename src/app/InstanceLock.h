#pragma once

#include <QString>

// An exclusive lock on a file in the user's runtime directory, held for the
// life of the process: whoever holds it is the one Tolvane that switches and
// writes the rules. The kernel drops it when the process ends, however it ends,
// so nothing stale is ever left to clean up.
class InstanceLock {
public:
    // `directory`: where the lock file lives; empty: the user's runtime directory.
    explicit InstanceLock(const QString& directory = QString());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting; true when this process holds it now.
    bool tryLock();
    bool isHeld() const { return m_descriptor >= 0; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_descriptor = -1;
};
