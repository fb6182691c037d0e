#include "GnomeDesktopIssues.h"

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

} // namespace

GnomeDesktopIssues::GnomeDesktopIssues(GnomeShellExtension& extension, QDBusConnection bus, QObject* parent)
    : DesktopIssues(parent)
    , m_extension(extension)
    , m_bus(std::move(bus))
{
    connect(&m_extension, &GnomeShellExtension::isRunningChanged, this, &GnomeDesktopIssues::checkExtension);
    m_bus.connect(kShellService, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                  SLOT(extensionStateChanged(QString, QVariantMap)));
    checkExtension();
    readPerWindow();
}

GnomeDesktopIssues::~GnomeDesktopIssues()
{
    if (m_monitor) {
        m_monitor->disconnect(this);
        m_monitor->kill();
        m_monitor->waitForFinished(1000);
    }
}

bool GnomeDesktopIssues::isExtensionInstalled()
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

void GnomeDesktopIssues::checkExtension()
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

void GnomeDesktopIssues::extensionStateChanged(const QString& changedUuid, const QVariantMap& state)
{
    if (changedUuid != uuid())
        return;
    if (m_extension.isRunning()) {
        m_extensionIssue.reset();
    } else if (state.isEmpty()) {
        // The Shell does not know it: not installed, or installed after it started.
        m_extensionIssue = DesktopIssue{isExtensionInstalled() ? DesktopIssue::Kind::shellExtensionNotLoaded
                                                               : DesktopIssue::Kind::shellExtensionNotInstalled,
                                        uuid()};
    } else {
        const int code = state.value(QStringLiteral("state")).toInt();
        if (code == error || code == outOfDate) {
            QString reason = state.value(QStringLiteral("error")).toString();
            if (reason.isEmpty())
                reason = code == outOfDate ? QStringLiteral("not made for this version of GNOME Shell") : uuid();
            m_extensionIssue = DesktopIssue{DesktopIssue::Kind::shellExtensionFailed, reason};
        } else if (code == enabled) {
            // Enabled and about to serve its name: nothing to ask of the user.
            m_extensionIssue.reset();
        } else {
            m_extensionIssue = DesktopIssue{DesktopIssue::Kind::shellExtensionDisabled, uuid()};
        }
    }
    update();
}

void GnomeDesktopIssues::readPerWindow()
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

void GnomeDesktopIssues::update()
{
    QList<DesktopIssue> issues;
    if (m_extensionIssue)
        issues.append(*m_extensionIssue);
    if (m_perWindow)
        issues.append(DesktopIssue{DesktopIssue::Kind::perWindowInputSources, QString()});
    setIssues(issues);
}
