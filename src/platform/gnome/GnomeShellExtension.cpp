#include "GnomeShellExtension.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>

namespace {

constexpr int kCallTimeoutMs = 1000;

QString text(const char* value)
{
    return QString::fromLatin1(value);
}

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const GnomeShellExtension::PanelMenuRow& row)
{
    argument.beginStructure();
    argument << row.key << row.text << row.enabled;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, GnomeShellExtension::PanelMenuRow& row)
{
    argument.beginStructure();
    argument >> row.key >> row.text >> row.enabled;
    argument.endStructure();
    return argument;
}

GnomeShellExtension::GnomeShellExtension(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_watcher(new QDBusServiceWatcher(
          text(kBusName), m_bus,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { setRunning(true); });
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setRunning(false); });
    const auto signal = [this](const char* name, const char* slot) {
        m_bus.connect(text(kBusName), text(kObjectPath), text(kInterface), text(name), this, slot);
    };
    signal("FocusChanged", SLOT(onFocusChanged(QVariantMap)));
    signal("CurrentInputSourceChanged", SLOT(onCurrentInputSourceChanged(int)));
    signal("InputSourcesChanged", SLOT(onInputSourcesChanged()));
    signal("PanelMenuActivated", SLOT(onPanelMenuActivated(QString)));
    qDBusRegisterMetaType<PanelMenuRow>();
    qDBusRegisterMetaType<QList<PanelMenuRow>>();
    m_running =
        m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(text(kBusName)).value();
}

void GnomeShellExtension::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    Q_EMIT isRunningChanged();
}

QDBusMessage GnomeShellExtension::call(const QString& method, const QVariantList& arguments)
{
    if (!m_running)
        return QDBusMessage::createError(QDBusError::ServiceUnknown, QString());
    QDBusMessage message = QDBusMessage::createMethodCall(text(kBusName), text(kObjectPath), text(kInterface), method);
    message.setArguments(arguments);
    return m_bus.call(message, QDBus::Block, kCallTimeoutMs);
}

std::optional<QVariantMap> GnomeShellExtension::focusedWindow()
{
    const QDBusMessage reply = call(QStringLiteral("GetFocusedWindow"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

std::optional<QList<QVariantMap>> GnomeShellExtension::windows()
{
    const QDBusMessage reply = call(QStringLiteral("GetWindows"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1
        || !reply.arguments().constFirst().canConvert<QDBusArgument>())
        return std::nullopt;
    QList<QVariantMap> result;
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("aa{sv}"))
        return std::nullopt;
    argument >> result;
    return result;
}

std::optional<QList<GnomeShellExtension::InputSource>> GnomeShellExtension::inputSources()
{
    const QDBusMessage reply = call(QStringLiteral("GetInputSources"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1
        || !reply.arguments().constFirst().canConvert<QDBusArgument>())
        return std::nullopt;
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(ssss)"))
        return std::nullopt;
    QList<InputSource> sources;
    argument.beginArray();
    while (!argument.atEnd()) {
        InputSource source;
        argument.beginStructure();
        argument >> source.type >> source.id >> source.name >> source.language;
        argument.endStructure();
        sources.append(source);
    }
    argument.endArray();
    return sources;
}

std::optional<int> GnomeShellExtension::currentInputSource()
{
    const QDBusMessage reply = call(QStringLiteral("GetCurrentInputSource"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const int index = reply.arguments().constFirst().toInt();
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

bool GnomeShellExtension::activateInputSource(int index)
{
    if (index < 0)
        return false;
    const QDBusMessage reply = call(QStringLiteral("ActivateInputSource"), {QVariant::fromValue(uint(index))});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
        && reply.arguments().constFirst().toBool();
}

bool GnomeShellExtension::showOverlay(const QImage& image, const QString& placement, int margin)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (pixels.isNull())
        return false;
    // Premultiplied ARGB words are B, G, R, A bytes in memory on little-endian machines.
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the Shell is told the rows are BGRA");
    const QByteArray bytes(reinterpret_cast<const char*>(pixels.constBits()), qsizetype(pixels.sizeInBytes()));
    const QDBusMessage reply =
        call(QStringLiteral("ShowOverlay"),
             {bytes, pixels.width(), pixels.height(), int(pixels.bytesPerLine()), placement, margin});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
        && reply.arguments().constFirst().toBool();
}

void GnomeShellExtension::setOverlayOpacity(double opacity)
{
    send(QStringLiteral("SetOverlayOpacity"), {opacity});
}

void GnomeShellExtension::hideOverlay()
{
    send(QStringLiteral("HideOverlay"));
}

void GnomeShellExtension::setPanelMenu(const QString& label, const QList<PanelMenuRow>& rows)
{
    send(QStringLiteral("SetPanelMenu"), {label, QVariant::fromValue(rows)});
}

void GnomeShellExtension::send(const QString& method, const QVariantList& arguments)
{
    if (!m_running)
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(text(kBusName), text(kObjectPath), text(kInterface), method);
    message.setArguments(arguments);
    m_bus.send(message);
}

void GnomeShellExtension::onFocusChanged(const QVariantMap& window)
{
    Q_EMIT focusChanged(window);
}

void GnomeShellExtension::onCurrentInputSourceChanged(int index)
{
    Q_EMIT currentInputSourceChanged(index);
}

void GnomeShellExtension::onInputSourcesChanged()
{
    Q_EMIT inputSourcesChanged();
}

void GnomeShellExtension::onPanelMenuActivated(const QString& key)
{
    Q_EMIT panelMenuActivated(key);
}
