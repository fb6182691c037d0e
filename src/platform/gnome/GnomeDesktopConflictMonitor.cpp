#include "GnomeDesktopConflictMonitor.h"

#include "GnomeShellExtension.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kShellService = QStringLiteral("org.gnome.Shell");
const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kExtensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
const QString kSchema = QStringLiteral("org.gnome.desktop.input-sources");
const QString kPerWindowKey = QStringLiteral("per-window");

// The Shell's extension states (ExtensionState in its extensionUtils).
enum ShellExtensionState { enabled = 1, disabled = 2, error = 3, outOfDate = 4, initialized = 6 };

QString uuid()
{
    return QString::fromLatin1(GnomeShellExtension::kUuid);
}

const char* const kNotInstalled = QT_TRANSLATE_NOOP(
    "Tolvane",
    "Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor "
    "switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1");
const char* const kNotLoaded = QT_TRANSLATE_NOOP(
    "Tolvane",
    "GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly "
    "installed extension only after you log out and back in. Then run: gnome-extensions enable %1");
const char* const kDisabled = QT_TRANSLATE_NOOP("Tolvane",
                                                "Tolvane's GNOME Shell extension is turned off, so nothing is "
                                                "switched. Turn it on with: gnome-extensions enable %1");
const char* const kFailed =
    QT_TRANSLATE_NOOP("Tolvane", "Tolvane's GNOME Shell extension could not start, so nothing is switched: %1");
const char* const kPerWindow = QT_TRANSLATE_NOOP(
    "Tolvane",
    "GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input "
    "sources individually for each window” in Settings › Keyboard, or run: gsettings set "
    "org.gnome.desktop.input-sources per-window false");

} // namespace

GnomeDesktopConflictMonitor::GnomeDesktopConflictMonitor(GnomeShellExtension& extension, QDBusConnection bus,
                                                         QObject* parent)
    : DesktopConflictMonitor(parent)
    , m_extension(extension)
    , m_bus(std::move(bus))
{
    connect(&m_extension, &GnomeShellExtension::isRunningChanged, this, &GnomeDesktopConflictMonitor::checkExtension);
    m_bus.connect(kShellService, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                  SLOT(extensionStateChanged(QString, QVariantMap)));
    checkExtension();
    readPerWindow();
}

GnomeDesktopConflictMonitor::~GnomeDesktopConflictMonitor()
{
    if (m_monitor) {
        m_monitor->disconnect(this);
        m_monitor->kill();
        m_monitor->waitForFinished(1000);
    }
}

bool GnomeDesktopConflictMonitor::isExtensionInstalled()
{
    QStringList roots = {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)};
    roots += QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& root : roots) {
        if (QFileInfo::exists(QDir(root).filePath(QStringLiteral("gnome-shell/extensions/") + uuid()
                                                  + QStringLiteral("/metadata.json"))))
            return true;
    }
    return false;
}

void GnomeDesktopConflictMonitor::checkExtension()
{
    if (m_extension.isRunning()) {
        m_extensionIssue.reset();
        update();
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(kShellService, kShellPath, kExtensionsInterface,
                                                          QStringLiteral("GetExtensionInfo"));
    message.setArguments({uuid()});
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QVariantMap> reply = *watcher;
        extensionStateChanged(uuid(), reply.isError() ? QVariantMap{} : reply.value());
    });
}

void GnomeDesktopConflictMonitor::extensionStateChanged(const QString& changedUuid, const QVariantMap& state)
{
    if (changedUuid != uuid())
        return;
    if (m_extension.isRunning()) {
        m_extensionIssue.reset();
    } else if (state.isEmpty()) {
        // The Shell does not know it: not installed, or installed after it started.
        m_extensionIssue = conflict(
            isExtensionInstalled() ? Issue::shellExtensionNotLoaded : Issue::shellExtensionNotInstalled, uuid());
    } else {
        const int code = state.value(QStringLiteral("state")).toInt();
        if (code == error || code == outOfDate) {
            QString reason = state.value(QStringLiteral("error")).toString();
            if (reason.isEmpty())
                reason = code == outOfDate ? QStringLiteral("not made for this version of GNOME Shell") : uuid();
            m_extensionIssue = conflict(Issue::shellExtensionFailed, reason);
        } else if (code == enabled) {
            // Enabled and about to serve its name: nothing to ask of the user.
            m_extensionIssue.reset();
        } else {
            m_extensionIssue = conflict(Issue::shellExtensionDisabled, uuid());
        }
    }
    update();
}

void GnomeDesktopConflictMonitor::readPerWindow()
{
    if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
        return;
    const auto parse = [](const QString& value) { return value.trimmed().endsWith(QLatin1String("true")); };
    auto* reader = new QProcess(this);
    connect(reader, &QProcess::finished, this, [this, reader, parse](int exitCode, QProcess::ExitStatus status) {
        reader->deleteLater();
        if (status == QProcess::NormalExit && exitCode == 0) {
            m_perWindow = parse(QString::fromUtf8(reader->readAllStandardOutput()));
            update();
        }
    });
    reader->start(QStringLiteral("gsettings"), {QStringLiteral("get"), kSchema, kPerWindowKey});

    m_monitor = new QProcess(this);
    connect(m_monitor, &QProcess::readyReadStandardOutput, this, [this, parse] {
        while (m_monitor->canReadLine()) {
            const QString line = QString::fromUtf8(m_monitor->readLine());
            if (line.startsWith(kPerWindowKey + QLatin1Char(':')))
                m_perWindow = parse(line);
        }
        update();
    });
    m_monitor->start(QStringLiteral("gsettings"), {QStringLiteral("monitor"), kSchema, kPerWindowKey});
}

void GnomeDesktopConflictMonitor::update()
{
    QList<DesktopConflict> conflicts;
    if (m_extensionIssue)
        conflicts.append(*m_extensionIssue);
    if (m_perWindow)
        conflicts.append(conflict(Issue::perWindowInputSources));
    if (conflicts == m_conflicts)
        return;
    m_conflicts = conflicts;
    Q_EMIT conflictsChanged();
}

DesktopConflict GnomeDesktopConflictMonitor::conflict(Issue issue, const QString& detail)
{
    DesktopConflict result;
    result.dismissable = false;
    result.arguments = {detail};
    switch (issue) {
    case Issue::shellExtensionNotInstalled:
        result.key = QStringLiteral("gnome.shell-extension.not-installed");
        result.text = kNotInstalled;
        result.logMessage = QStringLiteral("Tolvane's GNOME Shell extension %1 is not installed").arg(detail);
        break;
    case Issue::shellExtensionNotLoaded:
        result.key = QStringLiteral("gnome.shell-extension.not-loaded");
        result.text = kNotLoaded;
        result.logMessage =
            QStringLiteral("GNOME Shell has not loaded Tolvane's extension %1 yet (log out and back in)").arg(detail);
        break;
    case Issue::shellExtensionDisabled:
        result.key = QStringLiteral("gnome.shell-extension.disabled");
        result.text = kDisabled;
        result.logMessage =
            QStringLiteral("Tolvane's GNOME Shell extension is turned off: gnome-extensions enable %1").arg(detail);
        break;
    case Issue::shellExtensionFailed:
        result.key = QStringLiteral("gnome.shell-extension.failed");
        result.text = kFailed;
        result.logMessage = QStringLiteral("Tolvane's GNOME Shell extension could not start: %1").arg(detail);
        break;
    case Issue::perWindowInputSources:
        result.key = QStringLiteral("gnome.input-sources.per-window");
        result.text = kPerWindow;
        result.arguments.clear();
        result.logMessage = QStringLiteral("GNOME keeps an input source per window (org.gnome.desktop.input-sources "
                                           "per-window), which undoes Tolvane's switches");
        break;
    }
    return result;
}
