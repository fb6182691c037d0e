#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One Tolvane per user: the first process listens on a local socket in the
// user's runtime directory; a later one hands its request to that process and
// ends. Claiming is serialised through a lock file beside the socket, so two
// processes started together cannot both become the first, and a socket left
// behind by a crashed process is taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary, Failed };

    // `directory`: where the socket and its lock live; empty: the user's
    // runtime directory.
    explicit SingleInstance(const QString& directory = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary instance, or, when one runs, asks it to open its
    // settings (waiting at most `timeoutMs` for its answer).
    Role claim(int timeoutMs = 3000);

    QString socketPath() const;

    // The request a later process sends, and the answer.
    static QByteArray openSettingsRequest() { return QByteArrayLiteral("open-settings\n"); }
    static QByteArray acknowledgement() { return QByteArrayLiteral("ok\n"); }
    // A peer saying more than this without a line end is dropped.
    static constexpr int kMaximumRequestLength = 256;

Q_SIGNALS:
    // Another launch asked for the settings window.
    void openSettingsRequested();

private:
    void acceptConnections();

    QString m_directory;
    std::unique_ptr<QLocalServer> m_server;
};
