// tolvane-test-im-client --framework fcitx5 [--class CLASS]
//
// Plays the part of an application's input-method module: maps one ordinary
// top-level window with the given WM_CLASS, creates an input context in fcitx5
// and focuses it while the window has the X input focus. Prints, one per line:
//   "window 0x..."            once the window is mapped (by the window manager, if any)
//   "focus in" / "focus out"  after the framework acknowledged the focus change
//   "im <monotonic-us> <name>" whenever fcitx5 tells the context its input method
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

using StringPairs = QList<QPair<QString, QString>>;

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
        // steady_clock is CLOCK_MONOTONIC, the clock the benchmark reads.
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        say(QStringLiteral("im %1 %2")
                .arg(std::chrono::duration_cast<std::chrono::microseconds>(now).count())
                .arg(name));
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
    const qsizetype classAt = args.indexOf(QStringLiteral("--class"));
    QByteArray className = classAt < 0 ? QByteArray("TolvaneImClient") : args.value(classAt + 1).toUtf8();

    static Client client;
    Display* display = XOpenDisplay(nullptr);
    if (framework != QLatin1String("fcitx5") || !display || !client.start()) {
        say(QStringLiteral("error no display or input context"));
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
    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(display, window);
    // Activating a window the window manager does not manage yet would fail.
    XEvent mapped;
    do
        XNextEvent(display, &mapped);
    while (mapped.type != MapNotify);
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
