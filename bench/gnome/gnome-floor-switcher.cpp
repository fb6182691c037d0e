// The least a switcher can do over Tolvane's GNOME Shell interface: on each
// FocusChanged it looks the window's class up in its arguments
// (WM_CLASS=INDEX ...) and asks the Shell to activate that source index.
// Prints "ready" once it listens.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QVariantMap>

#include <cstdio>

class FloorSwitcher : public QObject {
    Q_OBJECT
public:
    QHash<QString, uint> sources;

public Q_SLOTS:
    void focusChanged(const QVariantMap& window)
    {
        const auto found = sources.constFind(window.value(QStringLiteral("wmClass")).toString());
        if (found == sources.constEnd())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("com.kelvora.Tolvane.Shell"), QStringLiteral("/com/kelvora/Tolvane/Shell"),
            QStringLiteral("com.kelvora.Tolvane.Shell1"), QStringLiteral("ActivateInputSource"));
        call.setArguments({QVariant::fromValue(*found)});
        QDBusConnection::sessionBus().call(call);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FloorSwitcher switcher;
    for (const QString& argument : app.arguments().mid(1))
        switcher.sources.insert(argument.section(QLatin1Char('='), 0, 0),
                                argument.section(QLatin1Char('='), 1).toUInt());
    if (!QDBusConnection::sessionBus().connect(
            QStringLiteral("com.kelvora.Tolvane.Shell"), QStringLiteral("/com/kelvora/Tolvane/Shell"),
            QStringLiteral("com.kelvora.Tolvane.Shell1"), QStringLiteral("FocusChanged"), &switcher,
            SLOT(focusChanged(QVariantMap))))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "gnome-floor-switcher.moc"
