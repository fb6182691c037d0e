// tolvane-test-im-client --framework fcitx5|ibus [--class CLASS] [--no-window]
//
// Plays the part of an application's input-method module: maps one ordinary
// top-level window with the given WM_CLASS (unless --no-window), creates an
// input context in the framework and focuses it while the window has the X
// input focus (or at once with --no-window). Prints, one per line:
//   "window 0x..."            once the window is mapped
//   "focus in" / "focus out"  after the framework acknowledged the focus change
//   "im <monotonic-us> <name>" whenever fcitx5 tells the context its input method
// With --framework sni it instead owns org.kde.StatusNotifierWatcher on the
// session bus, so that a framework that shows a tray item publishes it.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStringList>
#include <QSysInfo>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

struct StringPair {
    QString first;
    QString second;
};

QDBusArgument& operator<<(QDBusArgument& argument, const StringPair& pair)
{
    argument.beginStructure();
    argument << pair.first << pair.second;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StringPair& pair)
{
    argument.beginStructure();
    argument >> pair.first >> pair.second;
    argument.endStructure();
    return argument;
}

qint64 monotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The ibus address, as the daemon publishes it for this display.
QString ibusAddress()
{
    if (!qEnvironmentVariableIsEmpty("IBUS_ADDRESS"))
        return qEnvironmentVariable("IBUS_ADDRESS");
    QString display = qEnvironmentVariable("DISPLAY");
    QString host = display.section(QLatin1Char(':'), 0, 0);
    if (host.isEmpty())
        host = QStringLiteral("unix");
    const QString number = display.section(QLatin1Char(':'), 1).section(QLatin1Char('.'), 0, 0);
    const QString config = qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME") ? QDir::homePath() + QStringLiteral("/.config")
                                                                           : qEnvironmentVariable("XDG_CONFIG_HOME");
    QFile file(config + QStringLiteral("/ibus/bus/") + QString::fromLatin1(QSysInfo::machineUniqueId()) + QLatin1Char('-')
               + host + QLatin1Char('-') + number);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("IBUS_ADDRESS="))
            return QString::fromUtf8(line.mid(13));
    }
    return {};
}

class Client : public QObject {
    Q_OBJECT
public:
    bool start(const QString& framework)
    {
        m_framework = framework;
        if (framework == QLatin1String("fcitx5")) {
            m_bus = std::make_unique<QDBusConnection>(QDBusConnection::sessionBus());
            QDBusMessage create = QDBusMessage::createMethodCall(
                QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/org/freedesktop/portal/inputmethod"),
                QStringLiteral("org.fcitx.Fcitx.InputMethod1"), QStringLiteral("CreateInputContext"));
            create << QVariant::fromValue(QList<StringPair>{{QStringLiteral("program"), QStringLiteral("tolvane-test")}});
            const QDBusMessage reply = m_bus->call(create);
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return false;
            m_path = reply.arguments().at(0).value<QDBusObjectPath>().path();
            m_service = reply.service();
            m_interface = QStringLiteral("org.fcitx.Fcitx.InputContext1");
            m_bus->connect(m_service, m_path, m_interface, QStringLiteral("CurrentIM"), this,
                           SLOT(currentIM(QString, QString, QString)));
            // Key events are handled, so the context has the capabilities of a text field.
            call(QStringLiteral("SetCapability"), {QVariant::fromValue(qulonglong(0))});
        } else {
            const QString address = ibusAddress();
            if (address.isEmpty())
                return false;
            m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("ibus-client")));
            if (!m_bus->isConnected())
                return false;
            QDBusMessage create = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.IBus"),
                                                                 QStringLiteral("/org/freedesktop/IBus"),
                                                                 QStringLiteral("org.freedesktop.IBus"),
                                                                 QStringLiteral("CreateInputContext"));
            create << QStringLiteral("tolvane-test");
            const QDBusMessage reply = m_bus->call(create);
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return false;
            m_path = reply.arguments().at(0).value<QDBusObjectPath>().path();
            m_service = QStringLiteral("org.freedesktop.IBus");
            m_interface = QStringLiteral("org.freedesktop.IBus.InputContext");
            call(QStringLiteral("SetCapabilities"), {QVariant::fromValue(uint(0x8))}); // focus
        }
        return true;
    }

    void setFocused(bool focused)
    {
        call(focused ? QStringLiteral("FocusIn") : QStringLiteral("FocusOut"), {});
        say(focused ? QStringLiteral("focus in") : QStringLiteral("focus out"));
    }

public Q_SLOTS:
    void currentIM(const QString& name, const QString&, const QString&)
    {
        say(QStringLiteral("im %1 %2").arg(monotonicMicroseconds()).arg(name));
    }

private:
    void call(const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(m_service, m_path, m_interface, method);
        message.setArguments(arguments);
        m_bus->call(message);
    }

    QString m_framework;
    std::unique_ptr<QDBusConnection> m_bus;
    QString m_service;
    QString m_path;
    QString m_interface;
};

// Just enough of a StatusNotifierWatcher for a tray item to register.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return m_items; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& item) { m_items.append(item); say(QStringLiteral("item ") + item); }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString&);
    void StatusNotifierItemUnregistered(const QString&);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
};

} // namespace

Q_DECLARE_METATYPE(StringPair)


#include "InputMethodTestClient.moc"

// Xlib defines Bool, Status and the like, which the meta-object code above must not see.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<StringPair>();
    qDBusRegisterMetaType<QList<StringPair>>();
    const QStringList args = app.arguments();
    const QString framework = args.value(args.indexOf(QStringLiteral("--framework")) + 1);
    const bool withWindow = !args.contains(QStringLiteral("--no-window"));
    QByteArray className = args.contains(QStringLiteral("--class"))
                                     ? args.value(args.indexOf(QStringLiteral("--class")) + 1).toUtf8()
                                     : QByteArray("TolvaneImClient");

    if (framework == QLatin1String("sni")) {
        static Watcher watcher;
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties
                               | QDBusConnection::ExportAllSignals);
        if (!bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
            say(QStringLiteral("error no watcher"));
            return 1;
        }
        say(QStringLiteral("watcher"));
        return app.exec();
    }

    static Client client;
    if (!client.start(framework)) {
        say(QStringLiteral("error no input context"));
        return 1;
    }
    if (!withWindow) {
        client.setFocused(true);
        return app.exec();
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        say(QStringLiteral("error no display"));
        return 1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 120, 120, 320, 200, 1,
                                        BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask | FocusChangeMask);
    XClassHint hint;
    hint.res_name = className.data();
    hint.res_class = className.data();
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, className.constData());
    XWMHints wmHints;
    wmHints.flags = InputHint;
    wmHints.input = True;
    XSetWMHints(display, window, &wmHints);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    XTextProperty machine;
    char* hostList[] = {host};
    if (XStringListToTextProperty(hostList, 1, &machine)) {
        XSetWMClientMachine(display, window, &machine);
        XFree(machine.value);
    }
    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(display, window);
    XFlush(display);
    say(QStringLiteral("window 0x%1").arg(window, 0, 16));

    QSocketNotifier notifier(ConnectionNumber(display), QSocketNotifier::Read);
    auto drain = [display] {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if ((event.type == FocusIn || event.type == FocusOut) && event.xfocus.mode != NotifyGrab
                && event.xfocus.mode != NotifyUngrab && event.xfocus.detail != NotifyPointer)
                client.setFocused(event.type == FocusIn);
        }
    };
    QObject::connect(&notifier, &QSocketNotifier::activated, drain);
    drain();
    return app.exec();
}
