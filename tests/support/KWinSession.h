#pragma once

#include "support/ProcessEnvironment.h"
#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace tolvane::test {

// A real KWin, headless (virtual output, software rendering), on a private
// D-Bus session bus, with Xwayland, and GTK 3 windows on it.
//
// In a container the installed kwin_wayland cannot be executed: its file
// capability (cap_sys_resource) makes exec fail with EPERM. A plain copy has
// none; it keeps the name kwin_wayland, which KWin's Qt platform plugin checks.
class KWinSession {
public:
    static bool isAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")).isEmpty(); }

    // Layouts us, de and de(neo), switched globally.
    KWinSession()
    {
        if (!m_root.isValid())
            return;
        for (const char* folder : {"run", "config", "data"})
            QDir(m_root.path()).mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(kxkbrcPath(), "[Layout]\nUse=true\nLayoutList=us,de,de\nVariantList=,,neo\nSwitchMode=Global\n");
        if (!startBus() || !startKWin()) {
            QFile log(path(QStringLiteral("kwin.log")));
            if (log.open(QIODevice::ReadOnly))
                m_error += QStringLiteral("\n") + QString::fromUtf8(log.readAll().right(2000));
        }
    }

    ~KWinSession()
    {
        for (auto& window : m_windows)
            stopProcess(*window);
        if (m_connected)
            QDBusConnection::disconnectFromBus(m_busName);
        stopProcess(m_kwin);
        stopProcess(m_bus);
    }

    bool isRunning() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QDBusConnection bus() const { return QDBusConnection(m_busName); }
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString kxkbrcPath() const { return path(QStringLiteral("config/kxkbrc")); }

    // Opens a GTK 3 window (`backend` "wayland" or "x11"); its pid once mapped, 0 on failure.
    qint64 openWindow(const QString& id, const QString& backend)
    {
        auto window = std::make_unique<QProcess>();
        QProcessEnvironment environment = clientEnvironment();
        window->setProcessEnvironment(environment);
        window->setStandardErrorFile(QProcess::nullDevice());
        window->start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(TOLVANE_TEST_SUPPORT_DIR "/gtk-test-window.py"), QStringLiteral("--id"), id,
                       QStringLiteral("--backend"), backend, QStringLiteral("--title"), id});
        if (!window->waitForStarted(5000))
            return 0;
        const QDeadlineTimer deadline(15000);
        while (!window->readAllStandardOutput().contains("ready") && !deadline.hasExpired()) {
            if (window->state() != QProcess::Running)
                return 0;
            window->waitForReadyRead(100);
        }
        const qint64 pid = window->processId();
        m_windows.push_back(std::move(window));
        return deadline.hasExpired() ? 0 : pid;
    }

    void closeWindow(qint64 pid)
    {
        for (auto& window : m_windows) {
            if (window->processId() == pid)
                stopProcess(*window);
        }
    }

    // Makes the window of this process the active one, as a click on it would.
    bool activate(qint64 pid)
    {
        return runScript(
            QStringLiteral("const all = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
                           "for (let i = 0; i < all.length; ++i) {\n"
                           "    if (all[i].pid === %1) {\n"
                           "        if (workspace.windowList) workspace.activeWindow = all[i];\n"
                           "        else workspace.activeClient = all[i];\n"
                           "    }\n"
                           "}\n")
                .arg(pid));
    }

    // Runs a one-off KWin script and unloads it.
    bool runScript(const QString& source)
    {
        const QString name = QStringLiteral("tolvane-test-%1").arg(++m_scripts);
        const QString file = path(name + QStringLiteral(".js"));
        if (!writeFile(file, source.toUtf8()))
            return false;
        const auto id = kwinCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
                                 QStringLiteral("loadScript"), {file, name});
        if (!id)
            return false;
        const bool ran = kwinCall(QStringLiteral("/%1").arg(id->toInt()), QStringLiteral("org.kde.kwin.Script"),
                                  QStringLiteral("run"), {})
                             .has_value();
        kwinCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"),
                 {name});
        return ran;
    }

    bool isScriptLoaded(const QString& name)
    {
        const auto loaded = kwinCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
                                     QStringLiteral("isScriptLoaded"), {name});
        return loaded && loaded->toBool();
    }

    // The layout index KWin has current, or -1.
    int currentLayout()
    {
        const auto index = call(QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
                                QStringLiteral("org.kde.KeyboardLayouts"), QStringLiteral("getLayout"), {});
        return index ? int(index->toUInt()) : -1;
    }

    // Switches the layout as the user's layout hotkey or the panel's switcher would.
    bool switchLayoutOutside(uint index)
    {
        const auto done =
            call(QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
                 QStringLiteral("org.kde.KeyboardLayouts"), QStringLiteral("setLayout"), {QVariant::fromValue(index)});
        return done && done->toBool();
    }

    std::optional<QVariant> kwinCall(const QString& objectPath, const QString& interface, const QString& method,
                                     const QVariantList& arguments)
    {
        return call(QStringLiteral("org.kde.KWin"), objectPath, interface, method, arguments);
    }

    std::optional<QVariant> call(const QString& service, const QString& objectPath, const QString& interface,
                                 const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, objectPath, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus().call(message, QDBus::Block, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage)
            return std::nullopt;
        return reply.arguments().value(0);
    }

private:
    bool startBus()
    {
        m_bus.setProgram(QStringLiteral("dbus-daemon"));
        m_bus.setArguments(
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        m_bus.start();
        if (!m_bus.waitForStarted(5000)) {
            m_error = QStringLiteral("dbus-daemon did not start");
            return false;
        }
        const QDeadlineTimer deadline(5000);
        while (!m_bus.canReadLine() && !deadline.hasExpired())
            m_bus.waitForReadyRead(100);
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        m_busName = QStringLiteral("tolvane-kwin-test-%1").arg(quintptr(this));
        m_connected = QDBusConnection::connectToBus(m_address, m_busName).isConnected();
        if (!m_connected)
            m_error = QStringLiteral("could not connect to the private bus at ") + m_address;
        return m_connected;
    }

    QProcessEnvironment baseEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.insert(QStringLiteral("HOME"), m_root.path());
        environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"})
            environment.remove(QString::fromLatin1(name));
        return environment;
    }

    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment environment = baseEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
        environment.insert(QStringLiteral("DISPLAY"), m_xDisplay);
        return environment;
    }

    bool startKWin()
    {
        const QString copy = path(QStringLiteral("kwin_wayland"));
        if (!QFile::copy(QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")), copy)) {
            m_error = QStringLiteral("could not copy kwin_wayland");
            return false;
        }
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_socket = QStringLiteral("tolvane-kwin-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment environment = baseEnvironment();
        environment.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("Q"));
        m_kwin.setProcessEnvironment(environment);
        m_kwin.setStandardErrorFile(path(QStringLiteral("kwin.log")));
        // `env` runs once Xwayland is up and prints the session's DISPLAY.
        m_kwin.start(copy,
                     {QStringLiteral("--virtual"), QStringLiteral("--width"), QStringLiteral("1280"),
                      QStringLiteral("--height"), QStringLiteral("800"), QStringLiteral("--no-lockscreen"),
                      QStringLiteral("--xwayland"), QStringLiteral("--socket"), m_socket, QStringLiteral("env")});
        if (!m_kwin.waitForStarted(10000)) {
            m_error = QStringLiteral("kwin_wayland could not be started: ") + m_kwin.errorString();
            return false;
        }
        const QDeadlineTimer deadline(30000);
        QByteArray output;
        while (!deadline.hasExpired() && m_kwin.state() == QProcess::Running) {
            m_kwin.waitForReadyRead(100);
            output += m_kwin.readAllStandardOutput();
            const qsizetype at = output.indexOf("\nDISPLAY=");
            const qsizetype first = output.startsWith("DISPLAY=") ? 0 : at + 1;
            if ((at >= 0 || output.startsWith("DISPLAY=")) && output.indexOf('\n', first) > first) {
                m_xDisplay = QString::fromUtf8(output.mid(first + 8, output.indexOf('\n', first) - first - 8));
                break;
            }
        }
        while (!deadline.hasExpired()
               && !bus().interface()->isServiceRegistered(QStringLiteral("org.kde.keyboard")).value())
            QTest::qWait(50);
        if (m_xDisplay.isEmpty() || deadline.hasExpired()) {
            m_error = QStringLiteral("KWin did not start");
            return false;
        }
        return true;
    }

    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/tolvane-kwin-XXXXXX")};
    QProcess m_bus;
    QProcess m_kwin;
    QString m_address;
    QString m_busName;
    bool m_connected = false;
    QString m_socket;
    QString m_xDisplay;
    QString m_error;
    int m_scripts = 0;
    std::vector<std::unique_ptr<QProcess>> m_windows;
};

} // namespace tolvane::test
