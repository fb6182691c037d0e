#include "KdeKeyboardLayoutProvider.h"

#include "KxkbConfig.h"

#include "platform/freedesktop/InputSourceCountry.h"
#include "platform/freedesktop/XkbRegistry.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace {

const QString kService = QStringLiteral("org.kde.keyboard");
const QString kPath = QStringLiteral("/Layouts");
const QString kInterface = QStringLiteral("org.kde.KeyboardLayouts");
constexpr int kCallTimeoutMs = 3000;

QString identifier(const QString& layout, const QString& variant)
{
    QString id = QStringLiteral("xkb:") + layout;
    if (!variant.isEmpty())
        id += QLatin1Char('(') + variant + QLatin1Char(')');
    return id;
}

QString countryOf(const QString& id)
{
    return InputSourceCountry::ofXkbGroupIdentifier(id.mid(4));
}

} // namespace

KdeKeyboardLayoutProvider::KdeKeyboardLayoutProvider(QDBusConnection bus, const XkbRegistry& registry,
                                                     std::function<KxkbConfig()> readConfig, QObject* parent)
    : InputSourceProvider(parent)
    , m_bus(std::move(bus))
    , m_registry(registry)
    , m_readConfig(std::move(readConfig))
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("layoutChanged"), this, SLOT(handleLayoutChanged(uint)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("layoutListChanged"), this,
                  SLOT(handleLayoutListChanged()));
    // KWin drops the service when one layout is left and offers it again for two.
    auto* watcher = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &KdeKeyboardLayoutProvider::handleLayoutListChanged);
}

QList<KdeKeyboardLayoutProvider::Layout> KdeKeyboardLayoutProvider::layoutsFrom(const QList<QStringList>& entries,
                                                                                const XkbRegistry& registry,
                                                                                const KxkbConfig& config)
{
    QList<Layout> result;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString shortName = entries.at(i).value(0).trimmed();
        const QString label = entries.at(i).value(1).trimmed();
        const QString longName = entries.at(i).value(2).trimmed();
        QString id;
        if (const auto known = registry.findByDescription(longName); known && known->layout == shortName)
            id = identifier(known->layout, known->variant);
        else
            id = identifier(shortName, config.variantAt(i, shortName));
        result.append(Layout{id, !longName.isEmpty() ? longName : !label.isEmpty() ? label : shortName});
    }
    return result;
}

std::optional<QVariant> KdeKeyboardLayoutProvider::call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().constFirst();
}

std::optional<QList<QStringList>> KdeKeyboardLayoutProvider::readLayoutList()
{
    const auto value = call(QStringLiteral("getLayoutsList"));
    if (!value || !value->canConvert<QDBusArgument>())
        return std::nullopt;
    const auto argument = value->value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sss)"))
        return std::nullopt;
    QList<QStringList> entries;
    argument.beginArray();
    while (!argument.atEnd()) {
        QString shortName, label, longName;
        argument.beginStructure();
        argument >> shortName >> label >> longName;
        argument.endStructure();
        entries.append({shortName, label, longName});
    }
    argument.endArray();
    return entries;
}

std::optional<QList<KdeKeyboardLayoutProvider::Layout>> KdeKeyboardLayoutProvider::layouts()
{
    if (!m_layouts) {
        const auto entries = readLayoutList();
        if (!entries)
            return std::nullopt;
        m_layouts = layoutsFrom(*entries, m_registry, m_readConfig());
    }
    return m_layouts;
}

std::optional<QList<InputSourceProperties>> KdeKeyboardLayoutProvider::enabledInputSources()
{
    const auto all = layouts();
    if (!all)
        return std::nullopt;
    QList<InputSourceProperties> sources;
    for (const Layout& layout : *all)
        sources.append(InputSourceProperties::of(layout.id, layout.name, true, countryOf(layout.id)));
    return sources;
}

std::optional<InputSourceProperties> KdeKeyboardLayoutProvider::currentInputSource()
{
    const auto index = call(QStringLiteral("getLayout"));
    const auto all = layouts();
    if (!index || !all)
        return std::nullopt;
    bool ok = false;
    const uint current = index->toUInt(&ok);
    if (!ok || current >= uint(all->size()))
        return std::nullopt;
    const Layout& layout = all->at(qsizetype(current));
    return InputSourceProperties::of(layout.id, layout.name, std::nullopt, countryOf(layout.id));
}

bool KdeKeyboardLayoutProvider::selectInputSource(const QString& id)
{
    const auto all = layouts();
    if (!all)
        return false;
    for (qsizetype i = 0; i < all->size(); ++i) {
        if (all->at(i).id != id)
            continue;
        const auto accepted = call(QStringLiteral("setLayout"), {QVariant::fromValue(uint(i))});
        return accepted && accepted->toBool();
    }
    return false;
}

void KdeKeyboardLayoutProvider::handleLayoutChanged(uint)
{
    Q_EMIT selectedInputSourceChanged();
}

void KdeKeyboardLayoutProvider::handleLayoutListChanged()
{
    m_layouts.reset();
    Q_EMIT enabledInputSourcesChanged();
    Q_EMIT selectedInputSourceChanged();
}
