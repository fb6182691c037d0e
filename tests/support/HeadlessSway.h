#pragma once

#include "platform/sway/SwayIpcSocket.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

namespace tolvane::test {

// A sway of its own for a test: headless, software rendering, no input
// devices, the layouts us, de and ru for every keyboard. Sway will not run as
// root, so under root it runs as "nobody" in a runtime directory that account
// owns; the test, being root, still reaches its sockets. Programs started with
// `exec()` run as sway's children, with its Wayland and X displays.
class HeadlessSway {
public:
    static bool isInstalled() { return !QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty(); }

    ~HeadlessSway() { stop(); }

    bool start(const QString& extraConfig = {})
    {
        if (!m_dir.isValid())
            return false;
        const QString config = m_dir.path() + QStringLiteral("/config");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("input * xkb_layout us,de,ru\nxwayland enable\n");
        file.write(extraConfig.toUtf8());
        file.close();
        QDir(m_dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QStringList program{QStringLiteral("sway"), QStringLiteral("-c"), config};
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody)
                return false;
            for (const QString& path : {m_dir.path(), config, runtimeDir()}) {
                if (chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                    return false;
            }
            program = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"),
                                  QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")}
                + program;
        }
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
        environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
        environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
        m_sway.setProcessEnvironment(environment);
        m_sway.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sway.setStandardOutputFile(QProcess::nullDevice());
        m_sway.start(program.takeFirst(), program);
        if (!m_sway.waitForStarted())
            return false;
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_sway.state() == QProcess::Running) {
            const QStringList sockets = QDir(runtimeDir()).entryList({QStringLiteral("sway-ipc.*.sock")}, QDir::System);
            if (!sockets.isEmpty() && QFile::exists(waylandDisplay())) {
                m_socketPath = runtimeDir() + QLatin1Char('/') + sockets.constFirst();
                if (m_control.connectTo(m_socketPath))
                    return true;
            }
            QTest::qWait(20);
        }
        return false;
    }

    void stop()
    {
        // A keyboard's program removes it and ends when its input closes.
        for (const auto& keyboard : m_keyboards) {
            keyboard->closeWriteChannel();
            if (!keyboard->waitForFinished(2000))
                keyboard->kill();
        }
        m_keyboards.clear();
        if (m_sway.state() != QProcess::NotRunning) {
            m_sway.terminate();
            if (!m_sway.waitForFinished(5000))
                m_sway.kill();
            m_sway.waitForFinished(1000);
        }
    }

    QString runtimeDir() const { return m_dir.path() + QStringLiteral("/runtime"); }
    QString socketPath() const { return m_socketPath; }
    QString waylandDisplay() const { return runtimeDir() + QStringLiteral("/wayland-1"); }

    // Runs sway commands; true when sway reports every one a success.
    bool command(const QString& text)
    {
        const auto reply = m_control.request(SwayIpcSocket::RunCommand, text.toUtf8(), kControlTimeoutMs);
        if (!reply)
            return false;
        const QJsonArray results = QJsonDocument::fromJson(*reply).array();
        for (const QJsonValue& result : results) {
            if (!result.toObject().value(QLatin1String("success")).toBool())
                return false;
        }
        return !results.isEmpty();
    }

    // Starts a program as a child of sway.
    bool exec(const QString& commandLine) { return command(QStringLiteral("exec ") + commandLine); }

    QJsonArray inputs()
    {
        return QJsonDocument::fromJson(
                   m_control.request(SwayIpcSocket::GetInputs, {}, kControlTimeoutMs).value_or(QByteArray()))
            .array();
    }

    // The active layout index of every keyboard with layouts, in sway's order.
    QList<int> activeLayouts()
    {
        QList<int> active;
        for (const QJsonValue& input : inputs()) {
            const QJsonObject device = input.toObject();
            if (device.value(QLatin1String("type")).toString() == QLatin1String("keyboard")
                && device.value(QLatin1String("xkb_layout_names")).toArray().first().isString())
                active.append(device.value(QLatin1String("xkb_active_layout_index")).toInt());
        }
        return active;
    }

    // Whether sway's tree has a window with this app_id (or X class).
    bool hasWindow(const QString& id)
    {
        const QByteArray tree = m_control.request(SwayIpcSocket::GetTree, {}, kControlTimeoutMs).value_or(QByteArray());
        return tree.contains("\"app_id\": \"" + id.toUtf8() + '"')
            || tree.contains("\"class\": \"" + id.toUtf8() + '"');
    }

    // Adds a virtual keyboard with these layouts; it stays until sway stops.
    bool addKeyboard(const QString& layouts = QStringLiteral("us,de,ru"))
    {
        auto keyboard = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay());
        keyboard->setProcessEnvironment(environment);
        keyboard->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        keyboard->start(QStringLiteral(TOLVANE_VIRTUAL_KEYBOARD), {layouts});
        const QDeadlineTimer deadline(5000);
        QByteArray output;
        while (!output.contains("ready")) {
            if (deadline.hasExpired() || !keyboard->waitForReadyRead(int(deadline.remainingTime())))
                return false;
            output += keyboard->readAllStandardOutput();
        }
        m_keyboards.push_back(std::move(keyboard));
        return true;
    }

    // Presses and releases an evdev key on the first keyboard, without waiting.
    bool pressKey(int code)
    {
        if (m_keyboards.empty())
            return false;
        QProcess& keyboard = *m_keyboards.front();
        keyboard.write("key " + QByteArray::number(code) + '\n');
        keyboard.waitForBytesWritten(100);
        return true;
    }

private:
    // The test's own connection gives sway longer than Tolvane does: on a busy
    // machine a software-rendering sway can stall, and a request that times out
    // closes the connection for good.
    static constexpr int kControlTimeoutMs = 5000;

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/tolvane-sway-XXXXXX")};
    QProcess m_sway;
    QString m_socketPath;
    SwayIpcSocket m_control;
    std::vector<std::unique_ptr<QProcess>> m_keyboards;
};

} // namespace tolvane::test
