#include "KWinApplicationSource.h"

#include "base/Logger.h"
#include "platform/RunningApplication.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

#include <algorithm>

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");

QRect frameFrom(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return {};
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        // KWin may give fractional coordinates on scaled outputs.
        values[i] = qRound(parts.at(i).toDouble(&ok));
        if (!ok)
            return {};
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

KWinWindow windowFrom(const QString& id, const QString& resourceClass, const QString& resourceName,
                      const QString& desktopFileName, const QString& pid, const QString& frame, const QString& ordinary)
{
    KWinWindow window;
    window.internalId = id;
    window.resourceClass = resourceClass;
    window.resourceName = resourceName;
    window.desktopFileName = desktopFileName;
    window.pid = std::max<qint64>(0, pid.toLongLong());
    window.frame = frameFrom(frame);
    window.isOrdinary = ordinary == QLatin1String("1");
    return window;
}

} // namespace

KWinApplicationSource::KWinApplicationSource(QDBusConnection bus, DesktopEntryIndex& desktopEntries, QString scriptPath,
                                             QObject* parent)
    : ApplicationSource(parent)
    , m_bus(bus)
    , m_desktopEntries(desktopEntries)
    , m_scriptPath(std::move(scriptPath))
    , m_script(bus, QString::fromLatin1(kObjectPath), QStringLiteral("com.kelvora.Tolvane.KWinScript"))
{
    qRegisterMetaType<RunningApplication>();
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &KWinApplicationSource::stop);
}

KWinApplicationSource::~KWinApplicationSource()
{
    stop();
    if (m_registered)
        m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool KWinApplicationSource::start()
{
    if (!m_registered) {
        m_registered =
            m_bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportScriptableSlots);
        if (!m_registered) {
            Logger::shared().error(QStringLiteral("Could not offer KWin's script an object on the session bus: ")
                                   + m_bus.lastError().message());
            return false;
        }
    }
    if (!m_kwinWatcher) {
        // A KWin that restarts (after a crash, or `kwin_wayland --replace`) has
        // forgotten the script.
        m_kwinWatcher = new QDBusServiceWatcher(kKWinService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(m_kwinWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString&, const QString& newOwner) {
                    m_windows.clear();
                    m_windowOrder.clear();
                    m_active.reset();
                    if (!newOwner.isEmpty())
                        loadScript();
                });
    }
    loadScript();
    return m_script.isLoaded();
}

void KWinApplicationSource::loadScript()
{
    m_kwinOwner = m_bus.interface()->serviceOwner(kKWinService).value();
    if (m_kwinOwner.isEmpty()) {
        Logger::shared().error(QStringLiteral("KWin does not answer on the session bus; the application in front "
                                              "cannot be known"));
        return;
    }
    if (!m_script.load(m_scriptPath))
        Logger::shared().error(QStringLiteral("KWin did not run Tolvane's window script: ") + m_script.lastError());
}

void KWinApplicationSource::stop()
{
    if (m_script.isLoaded())
        m_script.unload();
}

bool KWinApplicationSource::isFromKWin()
{
    return !calledFromDBus() || (!m_kwinOwner.isEmpty() && message().service() == m_kwinOwner);
}

void KWinApplicationSource::WindowActivated(const QString& id, const QString& resourceClass,
                                            const QString& resourceName, const QString& desktopFileName,
                                            const QString& pid, const QString& frame, const QString& ordinary)
{
    if (!isFromKWin())
        return;
    if (id.isEmpty()) {
        m_active.reset();
        Q_EMIT scriptReported();
        return;
    }
    m_active = windowFrom(id, resourceClass, resourceName, desktopFileName, pid, frame, ordinary);
    if (m_windows.contains(id))
        m_windows.insert(id, *m_active);
    const RunningApplication app = m_active->application(m_desktopEntries);
    Q_EMIT applicationActivated(app);
    Q_EMIT scriptReported();
}

void KWinApplicationSource::WindowAdded(const QString& id, const QString& resourceClass, const QString& resourceName,
                                        const QString& desktopFileName, const QString& pid, const QString& frame,
                                        const QString& ordinary)
{
    if (!isFromKWin() || id.isEmpty())
        return;
    if (!m_windows.contains(id))
        m_windowOrder.append(id);
    m_windows.insert(id, windowFrom(id, resourceClass, resourceName, desktopFileName, pid, frame, ordinary));
}

void KWinApplicationSource::WindowRemoved(const QString& id)
{
    if (!isFromKWin())
        return;
    m_windows.remove(id);
    m_windowOrder.removeOne(id);
}

std::optional<RunningApplication> KWinApplicationSource::frontmostApplication()
{
    if (!m_active)
        return std::nullopt;
    return m_active->application(m_desktopEntries);
}

std::optional<QRect> KWinApplicationSource::activeWindowFrame()
{
    if (!m_active || !m_active->frame.isValid())
        return std::nullopt;
    return m_active->frame;
}

// One row per application id, as on X11.
QList<RunningApplication> KWinApplicationSource::runningApplications()
{
    QList<RunningApplication> apps;
    for (const QString& id : std::as_const(m_windowOrder)) {
        const KWinWindow& window = m_windows[id];
        if (!window.isOrdinary)
            continue;
        const RunningApplication app = window.application(m_desktopEntries);
        const bool listed = std::any_of(apps.cbegin(), apps.cend(), [&](const RunningApplication& other) {
            return app.bundleIdentifier ? other.bundleIdentifier == app.bundleIdentifier : other == app;
        });
        if (!listed)
            apps.append(app);
    }
    return apps;
}
