// tolvane-test-im-client --framework fcitx5 [--class CLASS]
//
// Plays the part of an application's input-method module: maps one ordinary
// top-level window with the given WM_CLASS, creates an input context in fcitx5
// and focuses it while the window has the X input focus. Prints, one per line:
//   "window 0x..."            once the window is mapped
//   "focus in" / "focus out"  after the framework acknowledged the focus change
//   "im <monotonic-us> <name>" whenever fcitx5 tells the context its input method
// With --framework sni it instead owns org.kde.StatusNotifierWatcher on the
// session bus, so that a framework that shows a tray item publishes it.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

using StringPairs = QList<QPair<QString, QString>>;

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

class Client : public QObject {
    Q_OBJECT
public:
    bool start()
    {
        QDBusMessage create = QDBusMessage::createMethodCall(
            QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/org/freedesktop/portal/inputmethod"),
            QStringLiteral("org.fcitx.Fcitx.InputMethod1"), QStringLiteral("CreateInputContext"));
        create << QVariant::fromValue(StringPairs{{QStringLiteral("program"), QStringLiteral("tolvane-test")}});
        const QDBusMessage reply = QDBusConnection::sessionBus().call(create);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return false;
        m_path = reply.arguments().at(0).value<QDBusObjectPath>().path();
        m_service = reply.service();
        QDBusConnection::sessionBus().connect(m_service, m_path, m_interface, QStringLiteral("CurrentIM"), this,
                                              SLOT(currentIM(QString, QString, QString)));
        // Key events are handled, so the context has the capabilities of a text field.
        call(QStringLiteral("SetCapability"), {QVariant::fromValue(qulonglong(0))});
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
        QDBusConnection::sessionBus().call(message);
    }

    const QString m_interface = QStringLiteral("org.fcitx.Fcitx.InputContext1");
    QString m_service;
    QString m_path;
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

#include "InputMethodTestClient.moc"

// Xlib defines Bool, Status and the like, which the meta-object code above must not see.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<QPair<QString, QString>>();
    qDBusRegisterMetaType<StringPairs>();
    const QStringList args = app.arguments();
    const QString framework = args.value(args.indexOf(QStringLiteral("--framework")) + 1);
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
    if (framework != QLatin1String("fcitx5") || !client.start()) {
        say(QStringLiteral("error no input context"));
        return 1;
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
